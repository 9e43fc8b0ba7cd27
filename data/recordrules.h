#pragma once

#include <QString>

#include <functional>

#include "data/recordsettings.h"

class TDataSet;
class TField;
class TTable;
class Tdm;

// Work of windows and later features that the record rules set off. Each is empty until its
// owner fills it in; an empty hook does nothing (or gives the default said).
struct TRecordHooks
{
    // Selections: whether a list or selection of contacts is active in the contacts module.
    // Empty: the data module's activeContactList decides (0, the default, is "no list active").
    std::function<bool()> contactListOrSelectionActive;
    // Brings "LISTS" and "INLIST" of the record being posted up to date with the lists of
    // module 1 (contacts) or 6 (products).
    std::function<void(TDataSet& dataSet, int module)> normaliseListMembership;

    // Explorer and record window of contacts and products.
    std::function<void()> resetExplorerSelection;       // a new contact is inserted
    std::function<bool()> explorerFirstColumnBound;     // empty: bound
    std::function<void(const QString& letter)> selectLetter;  // empty letter: no entry
    std::function<void(int icon)> drawRecordIcon;       // contact icon index (13: the default)
    std::function<void()> refreshRecordCounter;

    // Documents.
    std::function<void()> enableDocumentGrid;           // a new document is inserted
    std::function<void()> refreshDocumentView;          // a document was stored
    std::function<void()> saveEditedDocument;           // before the documents scroll, open, close
    std::function<void(const QString& caption)> setDocumentCaption;
    std::function<void(bool visible)> showUnpaidMarker;
    std::function<void(bool visible)> showEuroPanel;
    std::function<void(int contactId)> rememberContact;
};

// The business rules of the data module's tables, hung on their events so they hold whatever
// window (or import) causes the change:
// - new records get their identifier (shown at once) and defaults; the identifier is
//   allocated for good inside the post's transaction, together with a document's number, so
//   two programs posting at once never get the same one and a failed post uses up nothing;
// - contacts get their display name "ComName", products a known currency and their defaults;
// - a deleted newest document gives its number back;
// - stored documents and lines are written to the audit logs "factuur.bup" and "faclijn.bup";
// - the documents' calculated columns KLANTNAAM, FNR+DATUM and totvalincTB;
// - a failed post of a document line shows the error and is abandoned (busy databases are
//   asked about by the engine itself);
// - the windows are kept in step through TRecordHooks, only in run phase 1, only in the
//   table's own module and never while the table is being set up (Tag 1).
//
// Identifiers belong to the rules: a caller appends, fills in the values and posts; the
// identifier (first column) is (re)allocated when the new record is stored.
class TRecordRules
{
public:
    explicit TRecordRules(Tdm& dm);
    TRecordRules(const TRecordRules&) = delete;
    TRecordRules& operator=(const TRecordRules&) = delete;

    TRecordHooks& Hooks() { return m_hooks; }

    // The settings of the bound administration, read once per binding.
    const TRecordSettings& Settings();
    // Reads them again (after the settings dialog saved).
    void ReloadSettings();

    // Set while the invoicing-years operation moves documents: deleting them gives no number back.
    bool documentsBeingMoved = false;

    QString AdminIni() const;

private:
    bool UiActive(TDataSet& dataSet, int module) const;
    int CurrentModule() const;
    bool ContactListActive() const;

    // Identifiers: shown at insert (nothing is stored), allocated for good at post.
    bool PutNextIdentifier(TTable& table, qint64* id);
    bool ShowIdentifier(TTable& table);
    bool AllocateIdentifier(TTable& table);
    void EmptyDefaults(TDataSet& dataSet);

    void ContactNewRecord(TTable& table);
    void ContactBeforePost(TTable& table);
    void ProductNewRecord(TTable& table);
    void ProductBeforePost(TTable& table);
    void DocumentNewRecord(TTable& table);
    void DocumentBeforePost(TTable& table);
    void DocumentAfterPost(TTable& table);
    void DocumentBeforeDelete(TTable& table);
    void DocumentCalcFields(TDataSet& dataSet);
    void LineNewRecord(TTable& table);
    void Audit(TTable& table, const QString& tableName);

    void RecordWindowChange(TTable& table, int module);
    void DocumentWindowChange(TTable& table);

    Tdm& m_dm;
    TRecordHooks m_hooks;
    TRecordSettings m_settings;
    quint64 m_settingsBinding = 0;
    bool m_settingsRead = false;
    int m_lastIcon = -1;
};

// The display name of a contact: trimmed company, then trimmed name and given name, at most
// 99 characters.
QString ComposeComName(const QString& company, const QString& name, const QString& givenName);
