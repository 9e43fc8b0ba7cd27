#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

#include "data/connection.h"
#include "data/field.h"

class TDatabase;

enum class TDataSetState { Inactive, Browse, Edit, Insert, CalcFields };

struct TLocateOptions
{
    bool caseInsensitive = false;  // also accent-insensitive: "Élo" finds "elodie"
    bool partial = false;          // the field starts with the value
};

// A place in a data set that survives reordering and filtering (the row's identity, not its
// position).
struct TBookmark
{
    qint64 key = 0;
    bool valid = false;
    bool operator==(const TBookmark& other) const = default;
};

// What an OnPostError/OnDeleteError/OnEditError handler decides.
enum class TDataAction { Fail, Abort, Retry };

// A navigational data set: a current record in an ordered row set, with fields, states and
// events. TTable and TQuery supply the rows.
//
// Events fire in this order (a handler may call Abort() to stop the operation where marked
// "abortable"; the data set then stays as it was before the call):
//   Open:    BeforeOpen (abortable), rows read, state Browse, OnCalcFields, OnDataChange,
//            AfterOpen, AfterScroll (when not empty)
//   Close:   BeforeClose (abortable), state Inactive (pending edits are dropped), AfterClose
//   Move (First, Last, Next, Prior, MoveBy, RecNo, Locate, GotoBookmark, FindKey):
//            a pending edit is posted first (or cancelled when nothing changed);
//            BeforeScroll (abortable), move, OnCalcFields, OnDataChange, AfterScroll.
//            First/Last/Next/Prior fire them even when the position does not change
//            (OnDataChange only when it does); a Locate, FindKey or GotoBookmark that finds
//            nothing fires BeforeScroll only and does not move.
//   Insert/Append: a pending edit is posted; BeforeInsert (abortable), BeforeScroll
//            (abortable), state Insert, OnNewRecord (abortable: cancels the insert),
//            OnDataChange, AfterInsert, AfterScroll
//   Edit:    (on an empty data set: Insert) BeforeEdit (abortable), state Edit,
//            OnDataChange, AfterEdit
//   SetValue in Edit/Insert: the field's OnChange, OnDataChange(field)
//   Post:    transaction begins (the busy question when another session writes);
//            BeforePost (abortable); row written; on failure OnPostError (Fail: Post
//            returns false with the error, Abort: returns false silently, Retry: writes
//            again); state Browse; OnCalcFields; OnDataChange; AfterPost (abortable: the
//            write is rolled back and the state returns to Edit/Insert with the values
//            kept); commit. Post returns false and keeps the edit when anything fails, so
//            nothing typed is lost.
//   Cancel:  BeforeCancel, state Browse, OnDataChange, AfterCancel
//   Delete:  (in Insert: Cancel) transaction begins; BeforeDelete (abortable),
//            BeforeScroll (abortable), row deleted (OnDeleteError as for posts), state
//            Browse on the next row, OnCalcFields, OnDataChange, AfterDelete (abortable:
//            rolled back, the row returns), commit, AfterScroll
// OnCalcFields runs whenever a record is read into a buffer (also rows a grid shows) in
// state CalcFields: only calculated and lookup fields may be set then. OnDataChange is held
// back between DisableControls and EnableControls, which fires one OnDataChange at the end.
// Tag() 1 means "being set up": the record rules that hang on these events do nothing then
// (the engine itself fires every event; the rules read the tag).
class TDataSet : public QObject
{
    Q_OBJECT
public:
    using Event = std::function<void(TDataSet&)>;
    using ErrorEvent = std::function<void(TDataSet&, const QString& error, TDataAction& action)>;
    using DataChangeEvent = std::function<void(TDataSet&, TField* field)>;

    explicit TDataSet(QObject* parent = nullptr);
    ~TDataSet() override;

    void SetDatabase(TDatabase* database);
    TDatabase* Database() const { return m_database; }
    // A name for messages and the log ("tabContacts").
    QString Name() const { return objectName(); }

    bool Open();
    void Close();
    bool Active() const { return m_state != TDataSetState::Inactive; }
    bool SetActive(bool active);
    TDataSetState State() const { return m_state; }
    // The reason the last operation failed, empty after a success.
    QString LastError() const { return m_lastError; }

    // Navigation. RecNo counts from 1 (0 when empty); RecordCount is the number of rows in
    // the current order and filter.
    bool First();
    bool Last();
    bool Next();
    bool Prior();
    int MoveBy(int distance);
    int RecNo() const;
    bool SetRecNo(int recNo);
    int RecordCount();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty();
    // Position of the current record from 0 (-1 when empty or inserting).
    int CurrentRow() const { return m_state == TDataSetState::Insert ? -1 : m_row; }

    // Editing.
    bool Edit();
    bool Insert();
    bool Append();
    bool Post();
    void Cancel();
    bool Delete();
    bool Modified() const { return m_modified; }
    virtual bool CanModify() const { return !m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool ReadOnly() const { return m_readOnly; }
    // Posts a pending edit (or cancels it when nothing changed); false when the post failed.
    bool CheckBrowseMode();

    // Fields. FieldByName never returns nullptr: an unknown name gives an inert field that
    // reads as null and refuses writes (and sets LastError); FindField returns nullptr.
    TField* FieldByName(const QString& name);
    TField* FindField(const QString& name) const;
    TField* Field(int index) const;
    int FieldCount() const { return int(m_fields.size()); }
    QStringList FieldNames() const;
    // Declared before Open (kept across Close/Open).
    TField* AddCalculatedField(const QString& name, int dataType, int size = 0);
    TField* AddLookupField(const QString& name, int dataType, int size, const QString& keyFields,
                           TDataSet* lookupDataSet, const QString& lookupKeyFields,
                           const QString& lookupResultField);
    bool AutoCalcFields() const { return m_autoCalcFields; }
    void SetAutoCalcFields(bool on) { m_autoCalcFields = on; }

    // Moves to the first record (in the current order and filter) whose fields ("a;b") hold
    // the values (one value, or a QVariantList for several fields). Text fields honour the
    // options; other fields compare by value. False (and no move) when none matches.
    bool Locate(const QString& fieldNames, const QVariant& values, TLocateOptions options = {});
    // The result field's value in the first row matching, without moving. Tables look in
    // all their rows, whatever the filter.
    virtual QVariant Lookup(const QString& keyFields, const QVariant& keyValues, const QString& resultField);

    TBookmark GetBookmark() const;
    bool GotoBookmark(const TBookmark& bookmark);
    bool BookmarkValid(const TBookmark& bookmark);

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // Called from an abortable handler: stops the operation in progress. The reason, when
    // given, becomes LastError.
    void Abort(const QString& reason = {});

    // Re-reads the rows (and sees others' writes), keeping the current record when it is
    // still there.
    bool Refresh();

    // Values of any row without moving, for grids (OnCalcFields runs for calculated ones).
    // Rows are fetched on demand and cached.
    QVariant StoredValueAt(int row, int fieldIndex);
    QString DisplayTextAt(int row, int fieldIndex);

    Event BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    Event BeforeInsert, OnNewRecord, AfterInsert;
    Event BeforeEdit, AfterEdit;
    Event BeforePost, AfterPost;
    Event BeforeCancel, AfterCancel;
    Event BeforeDelete, AfterDelete;
    Event BeforeScroll, AfterScroll;
    Event OnCalcFields;
    ErrorEvent OnPostError, OnDeleteError, OnEditError;
    DataChangeEvent OnDataChange;

Q_SIGNALS:
    // For data sources and models; not fired while controls are disabled (a layoutReset
    // follows EnableControls then).
    void dataChanged(TField* field);
    void stateChanged();
    void layoutReset();          // rows reordered, refiltered, reopened or closed
    // Around each change of the row list (the "about" signal comes before the list changes).
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowAboutToBeMoved(int from, int to);  // to: the row's position afterwards
    void rowMoved(int from, int to);
    void rowUpdated(int row);
    void currentRowChanged(int row);

protected:
    // The row source, supplied by TTable and TQuery.
    struct Column
    {
        QString name;
        int dataType = ftUnknown;
        int size = 0;
        bool required = false;
        bool rowId = false;
    };
    virtual bool OpenCursor(std::vector<Column>* columns, QString* error) = 0;
    virtual void CloseCursor() = 0;
    // Number of rows; streams (one-direction queries) return -1 until read to the end.
    virtual int RowCount() = 0;
    // The number RecordCount reports (a stream counts its rows without reading them).
    virtual int TotalRowCount() { return RowCount(); }
    // Reads the data values of a row; false past the end.
    virtual bool FetchRow(int row, QVariantList* values) = 0;
    virtual qint64 RowKey(int row) = 0;
    virtual int RowOfKey(qint64 key) = 0;
    // Writes the edit buffer. inserting: a new row, row is unused; otherwise row is the edited
    // row. On success *newRow is its position afterwards (-1 when the filter hides it) and
    // *stored the values as stored. Default: read-only.
    virtual bool WriteRow(bool inserting, int row, const QVariantList& values,
                          const std::vector<bool>& changed, int* newRow, QVariantList* stored,
                          QString* error);
    virtual bool RemoveRow(int row, QString* error);
    // The first row matching, -1 when none; default scans the rows.
    virtual int FindRow(const std::vector<int>& fieldIndexes, const QVariantList& values,
                        TLocateOptions options);
    // Re-reads the row set.
    virtual bool ReloadRows(QString* error) = 0;
    // Reads a row again from the database, past any cache (Edit starts from fresh values).
    virtual bool RefetchRow(int row, QVariantList* values) { return FetchRow(row, values); }
    // Forget cached rows (after another writer changed them).
    virtual void DropRowCache() {}
    virtual bool Unidirectional() const { return false; }
    // Grows whenever rows may have changed under the data set (writes on the connection).
    virtual quint64 RowsVersion() { return 0; }

    void SetLastError(const QString& error) { m_lastError = error; }
    // Row sources announce each change of their row list before and after making it.
    void AnnounceInsert(int row);
    void FinishInsert(int row);
    void AnnounceRemove(int row);
    void FinishRemove(int row);
    void AnnounceMove(int from, int to);
    void FinishMove(int from, int to);
    // Re-reads the rows and returns to the record with this key (or the nearest row).
    bool ReloadKeeping(qint64 key, int fallbackRow);
    bool InHandler() const { return m_handlerDepth > 0; }

private:
    friend class TField;

    bool FireAbortable(const Event& event);
    void Fire(const Event& event);
    void Fire(const DataChangeEvent& event, TField* field);
    void NotifyDataChange(TField* field);
    void NotifyLayout();
    bool AnnounceRows();
    void NotifyRowUpdated(int row);
    void NotifyCurrentRow();
    bool CheckActive();
    bool CheckWritable();
    bool ScrollTo(int row, bool setBof, bool setEof);
    void LoadCurrent();
    void ComputeCalcFields(QVariantList* values);
    QVariant FieldValue(int index) const;
    bool SetFieldValue(int index, const QVariant& value);
    bool BeginInsert();
    void SetState(TDataSetState state);
    void BuildFields(const std::vector<Column>& columns);
    QVariantList EmptyValues() const;
    bool HasRow(int row);
    void RestoreEdit(TDataSetState state, const QVariantList& buffer, const QVariantList& original,
                     const std::vector<bool>& changed, qint64 key, int fallbackRow);
    const QVariantList* GridRow(int row);

    QPointer<TDatabase> m_database;
    TDataSetState m_state = TDataSetState::Inactive;
    QString m_lastError;
    QString m_abortReason;
    std::vector<std::unique_ptr<TField>> m_dataFields;
    std::vector<std::unique_ptr<TField>> m_calcFields;  // declared ones, kept across opens
    std::vector<std::unique_ptr<TField>> m_retiredFields;  // columns gone after a reopen
    std::vector<TField*> m_fields;                      // data fields, then calculated ones
    QHash<QString, TField*> m_fieldsByName;             // folded name
    std::unique_ptr<TField> m_missingField;
    int m_row = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_modified = false;
    bool m_readOnly = false;
    bool m_autoCalcFields = true;
    int m_tag = 0;
    int m_disableCount = 0;
    bool m_changedWhileDisabled = false;
    int m_handlerDepth = 0;
    bool m_abortRequested = false;
    bool m_busy = false;  // inside Post/Delete: refuses re-entry
    QVariantList m_current;          // browse: the current row; edit/insert: the edit buffer
    QVariantList m_original;         // the row as it was when Edit began
    std::vector<bool> m_changed;
    QVariantList* m_active = &m_current;  // the buffer fields read (another row while calculating)
    int m_insertReturnRow = -1;      // where Cancel of an insert returns to
    // Rows with calculated values for grids, by row key.
    QHash<qint64, QVariantList> m_gridRows;
    QVariantList m_gridScratch;
    bool m_gridScratchValid = false;
    qint64 m_gridScratchKey = -1;
    quint64 m_gridScratchVersion = 0;
};

// Marks a data set as being set up (Tag 1) for the life of the guard, restoring the previous
// tag afterwards.
class TBeingSetUp
{
public:
    explicit TBeingSetUp(TDataSet& dataSet) : m_dataSet(dataSet), m_previous(dataSet.Tag())
    {
        m_dataSet.SetTag(1);
    }
    ~TBeingSetUp() { m_dataSet.SetTag(m_previous); }
    TBeingSetUp(const TBeingSetUp&) = delete;
    TBeingSetUp& operator=(const TBeingSetUp&) = delete;

private:
    TDataSet& m_dataSet;
    int m_previous;
};

// Splits "a;b" field lists.
QStringList SplitFieldNames(const QString& fieldNames);
