#pragma once

#include "documents/notices.h"

#include <QDate>
#include <QString>

#include <memory>

class SqlDocumentStore;
class TDataSet;
class TField;
class TFactuur;
class Tdm;

// Ties the one document engine to the data module's document table: the header's events
// save, load and show the document's lines, and header changes reach the engine. Made by the
// main window after the data module and the engine; the handlers it adds keep the ones
// already installed and run them first.
class DocumentBinder
{
public:
    DocumentBinder(Tdm& dm, TFactuur& factuur, SqlDocumentStore& store,
                   NoticeSink notices = DefaultNoticeSink());
    ~DocumentBinder();
    DocumentBinder(const DocumentBinder&) = delete;
    DocumentBinder& operator=(const DocumentBinder&) = delete;

    // Whether the sales documents module is shown: only then does a scroll load and show the
    // lines. Leaving it saves pending line changes (false when that failed); entering it
    // shows the current document.
    bool SetDocumentsShown(bool shown);
    bool DocumentsShown() const { return m_shown; }

    // Reads the current document and its lines into the engine and shows them.
    void ShowCurrent();

    // Appends a new document of the type for the contact (pending line changes of the
    // current one are saved first) and opens it for editing. False when the header refused.
    bool NewDocument(int type, int contactId, const QDate& today = QDate::currentDate());

    // The header events, also callable directly.
    void TabFactAfterOpen(TDataSet& dataSet);
    void TabFactBeforeScroll(TDataSet& dataSet);
    void TabFactAfterScroll(TDataSet& dataSet);
    void TabFactBeforeClose(TDataSet& dataSet);
    void TabFactF_DISCOUNTChange(TField& field);
    void TabFactF_PREPAYEDChange(TField& field);

private:
    void Install();
    void HookFields();
    bool SaveIfEditing(QString* error);

    Tdm& m_dm;
    TFactuur& m_factuur;
    SqlDocumentStore& m_store;
    NoticeSink m_notices;
    bool m_shown = false;
    // The handlers hold this; it points nowhere once the binder is gone, so they then only
    // run the handlers they wrap.
    std::shared_ptr<DocumentBinder*> m_self;
    TField* m_discountField = nullptr;
    TField* m_prepaidField = nullptr;
};
