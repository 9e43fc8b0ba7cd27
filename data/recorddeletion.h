#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "data/dataset.h"

class Tdm;

// The lists and selections of contacts and products, as far as the explorer needs them.
// Every hook is empty until that feature installs it; empty means "no list active".
struct TListHooks
{
    // The active list or selection of module 1 or 6 (0: none).
    std::function<int(int module)> activeList;
    // The members of the active list.
    std::function<int(int module)> activeListCount;
    // A list's member count changed by delta (a member was deleted or added).
    std::function<void(int module, int list, int delta)> adjustMemberCount;

    int ActiveList(int module) const { return activeList ? activeList(module) : 0; }
    int ActiveListCount(int module) const { return activeListCount ? activeListCount(module) : 0; }
};

// The record counts of contacts (module 1) and products (module 6).
struct TRecordCounts
{
    int contacts = 0;
    int products = 0;
    // The count of the module; other modules have none (a scratch value).
    int& Of(int module);

private:
    int m_none = 0;
};

// What a deletion works on: the module's data set (tabContacts, tabProducts, TabFact).
struct TDeletion
{
    Tdm* dm = nullptr;
    int module = 1;
    TDataSet* dataSet = nullptr;
    TRecordCounts* counts = nullptr;
    TListHooks lists;
};

// The progress of a long deletion: begin with the number of steps, step after each record
// (false: the user asked to stop), end at the end. Empty hooks: no progress shown.
struct TDeleteProgress
{
    std::function<void(int maximum)> begin;
    std::function<bool()> step;
    std::function<void()> end;
};

// Whether the current record may be deleted; a refusal is told to the user. A locked
// document: "Dit verkoopsdocument is vergrendeld..."; a contact with documents: "Er zijn
// facturen voor contact %s...". Other records pass.
bool CheckBeforeDelete(const TDeletion& deletion);
// Deletes the current record (checked before): a document together with its lines in one
// transaction, so neither is ever left without the other. Afterwards the member count of
// every list the record was in and the module's record count go down by one. A failure is
// told ("Record kan niet verwijderd worden") and the record stays.
bool DeleteCheckedRecord(const TDeletion& deletion);
// CheckBeforeDelete, then DeleteCheckedRecord.
bool DeleteCurrentRecord(const TDeletion& deletion);

// Every record of the data set from the first on, each checked; one that does not pass or
// whose delete fails is told once and skipped. Stops when progress.step says so. The number
// deleted.
int DeleteAllRecords(const TDeletion& deletion, const TDeleteProgress& progress);
// The records of the bookmarks, in that order; one that cannot be reached is skipped.
int DeleteMarkedRecords(const TDeletion& deletion, const QList<TBookmark>& rows);

// The explorer's "%s verwijderen" after its question: all records (allSelected), the rows
// marked (more than one), or the current record. Nothing happens unless the user answers Ja.
struct TDeleteRequest
{
    bool allSelected = false;
    QList<TBookmark> marked;
    QString plural;       // the module's noun for many records
    QString moduleTitle;  // holds the selection's name while one is active
    TDeleteProgress progress;
};
// The number of records deleted.
int DeleteRecords(const TDeletion& deletion, const TDeleteRequest& request);

// "%s" and "%d" replaced in order by the values (a value is never searched again). The data
// layer's own: shell/messagesink's FillPlaceholders knows "%s" only and lies above it.
QString ReplacePlaceholders(const QString& text, const QStringList& values);
