#include "data/dataset.h"

#include "data/collation.h"
#include "data/connection.h"

namespace {

QString FoldedName(const QString& name)
{
    return name.trimmed().toCaseFolded();
}

// Counts nested handler calls, so re-entry checks know an event is running.
class HandlerScope
{
public:
    explicit HandlerScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~HandlerScope() { --m_depth; }

private:
    int& m_depth;
};

} // namespace

QStringList SplitFieldNames(const QString& fieldNames)
{
    QStringList names;
    for (const QString& part : fieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

TDataSet::TDataSet(QObject* parent) : QObject(parent)
{
    m_missingField = std::make_unique<TField>(nullptr, QString(), ftUnknown, 0, TFieldKind::Data);
}

TDataSet::~TDataSet() = default;

void TDataSet::SetDatabase(TDatabase* database)
{
    if (Active())
        Close();
    m_database = database;
}

bool TDataSet::CheckActive()
{
    if (Active())
        return true;
    m_lastError = QStringLiteral("%1: data set is not open").arg(Name());
    return false;
}

// --- events ---

bool TDataSet::FireAbortable(const Event& event)
{
    if (!event)
        return true;
    const bool outerAbort = m_abortRequested;
    m_abortRequested = false;
    m_abortReason.clear();
    {
        HandlerScope scope(m_handlerDepth);
        event(*this);
    }
    const bool aborted = m_abortRequested;
    m_abortRequested = outerAbort;
    if (aborted)
        m_lastError = m_abortReason;
    return !aborted;
}

void TDataSet::Fire(const Event& event)
{
    if (!event)
        return;
    HandlerScope scope(m_handlerDepth);
    event(*this);
}

void TDataSet::Fire(const DataChangeEvent& event, TField* field)
{
    if (!event)
        return;
    HandlerScope scope(m_handlerDepth);
    event(*this, field);
}

void TDataSet::Abort(const QString& reason)
{
    m_abortRequested = true;
    m_abortReason = reason;
}

void TDataSet::NotifyDataChange(TField* field)
{
    if (m_disableCount > 0) {
        m_changedWhileDisabled = true;
        return;
    }
    Fire(OnDataChange, field);
    Q_EMIT dataChanged(field);
}

void TDataSet::NotifyLayout()
{
    m_gridRows.clear();
    m_gridScratchValid = false;
    if (m_disableCount > 0) {
        m_changedWhileDisabled = true;
        return;
    }
    Q_EMIT layoutReset();
}

// Row sources call these around every change of their row list, so models can tell their
// views before and after, as Qt's models must.
bool TDataSet::AnnounceRows()
{
    m_gridRows.clear();
    m_gridScratchValid = false;
    if (m_disableCount > 0) {
        m_changedWhileDisabled = true;
        return false;
    }
    return true;
}

void TDataSet::AnnounceInsert(int row)
{
    if (AnnounceRows())
        Q_EMIT rowAboutToBeInserted(row);
}

void TDataSet::FinishInsert(int row)
{
    if (AnnounceRows())
        Q_EMIT rowInserted(row);
}

void TDataSet::AnnounceRemove(int row)
{
    if (AnnounceRows())
        Q_EMIT rowAboutToBeRemoved(row);
}

void TDataSet::FinishRemove(int row)
{
    if (AnnounceRows())
        Q_EMIT rowRemoved(row);
}

void TDataSet::AnnounceMove(int from, int to)
{
    if (AnnounceRows())
        Q_EMIT rowAboutToBeMoved(from, to);
}

void TDataSet::FinishMove(int from, int to)
{
    if (AnnounceRows())
        Q_EMIT rowMoved(from, to);
}

void TDataSet::NotifyRowUpdated(int row)
{
    if (AnnounceRows())
        Q_EMIT rowUpdated(row);
}

void TDataSet::NotifyCurrentRow()
{
    if (m_disableCount == 0)
        Q_EMIT currentRowChanged(CurrentRow());
}

void TDataSet::DisableControls()
{
    ++m_disableCount;
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    if (m_changedWhileDisabled) {
        m_changedWhileDisabled = false;
        m_gridRows.clear();
    m_gridScratchValid = false;
        Q_EMIT layoutReset();
        NotifyDataChange(nullptr);
        NotifyCurrentRow();
    }
}

void TDataSet::SetState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

// --- fields ---

void TDataSet::BuildFields(const std::vector<Column>& columns)
{
    // Field objects survive a reopen when their column is still there, so pointers held by
    // callers stay good; fields of vanished columns read as null from then on.
    std::vector<std::unique_ptr<TField>> old = std::move(m_dataFields);
    m_dataFields.clear();
    for (const Column& column : columns) {
        std::unique_ptr<TField> field;
        for (auto& candidate : old)
            if (candidate && candidate->m_name.compare(column.name, Qt::CaseInsensitive) == 0
                && candidate->m_dataType == column.dataType) {
                field = std::move(candidate);
                break;
            }
        if (!field)
            field = std::make_unique<TField>(this, column.name, column.dataType, column.size, TFieldKind::Data);
        field->m_name = column.name;
        field->m_size = column.size;
        field->m_required = column.required;
        field->m_rowId = column.rowId;
        m_dataFields.push_back(std::move(field));
    }
    for (auto& gone : old)
        if (gone) {
            gone->m_index = -1;
            m_retiredFields.push_back(std::move(gone));
        }
    m_fields.clear();
    m_fieldsByName.clear();
    for (auto& field : m_dataFields)
        m_fields.push_back(field.get());
    for (auto& field : m_calcFields)
        m_fields.push_back(field.get());
    for (int i = 0; i < int(m_fields.size()); ++i) {
        m_fields[i]->m_index = i;
        const QString key = FoldedName(m_fields[i]->m_name);
        if (!m_fieldsByName.contains(key))
            m_fieldsByName.insert(key, m_fields[i]);
    }
}

TField* TDataSet::FindField(const QString& name) const
{
    return m_fieldsByName.value(FoldedName(name), nullptr);
}

TField* TDataSet::FieldByName(const QString& name)
{
    if (TField* field = FindField(name))
        return field;
    m_lastError = QStringLiteral("%1: field '%2' not found").arg(Name(), name);
    return m_missingField.get();
}

TField* TDataSet::Field(int index) const
{
    return index >= 0 && index < int(m_fields.size()) ? m_fields[index] : nullptr;
}

QStringList TDataSet::FieldNames() const
{
    QStringList names;
    for (TField* field : m_fields)
        names << field->FieldName();
    return names;
}

TField* TDataSet::AddCalculatedField(const QString& name, int dataType, int size)
{
    auto field = std::make_unique<TField>(this, name, dataType, size, TFieldKind::Calculated);
    field->m_readOnly = false;
    TField* raw = field.get();
    m_calcFields.push_back(std::move(field));
    if (Active()) {
        // Declared late: rebuild the field list around the same data fields.
        raw->m_index = int(m_fields.size());
        m_fields.push_back(raw);
        m_fieldsByName.insert(FoldedName(name), raw);
        m_current.append(QVariant());
        m_changed.push_back(false);
        LoadCurrent();
    }
    return raw;
}

TField* TDataSet::AddLookupField(const QString& name, int dataType, int size,
                                 const QString& keyFields, TDataSet* lookupDataSet,
                                 const QString& lookupKeyFields, const QString& lookupResultField)
{
    TField* field = AddCalculatedField(name, dataType, size);
    field->m_kind = TFieldKind::Lookup;
    field->m_keyFields = keyFields;
    field->m_lookupDataSet = lookupDataSet;
    field->m_lookupKeyFields = lookupKeyFields;
    field->m_lookupResultField = lookupResultField;
    if (Active())
        LoadCurrent();
    return field;
}

QVariantList TDataSet::EmptyValues() const
{
    QVariantList values;
    values.resize(m_fields.size());
    return values;
}

QVariant TDataSet::FieldValue(int index) const
{
    if (index < 0 || !m_active || index >= m_active->size())
        return {};
    return m_active->at(index);
}

bool TDataSet::SetFieldValue(int index, const QVariant& value)
{
    TField* field = Field(index);
    if (!field) {
        m_lastError = QStringLiteral("%1: no such field").arg(Name());
        return false;
    }
    QVariant stored;
    if (m_state == TDataSetState::CalcFields) {
        if (!field->IsCalculated() || !field->ToStored(value, &stored))
            return false;
        (*m_active)[index] = stored;
        return true;
    }
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert) {
        m_lastError = QStringLiteral("%1: not in edit or insert mode").arg(Name());
        return false;
    }
    if (field->ReadOnly() || field->IsCalculated()) {
        m_lastError = QStringLiteral("%1: field '%2' cannot be modified").arg(Name(), field->FieldName());
        return false;
    }
    if (!field->ToStored(value, &stored)) {
        m_lastError = QStringLiteral("'%1' is not a valid value for field '%2'")
                          .arg(value.toString(), field->FieldName());
        return false;
    }
    m_current[index] = stored;
    m_changed[index] = true;
    m_modified = true;
    if (!m_calcFields.empty() && m_autoCalcFields)
        ComputeCalcFields(&m_current);
    if (field->OnChange) {
        HandlerScope scope(m_handlerDepth);
        field->OnChange(*field);
    }
    NotifyDataChange(field);
    if (m_state == TDataSetState::Edit)
        NotifyRowUpdated(m_row);
    return true;
}

void TDataSet::ComputeCalcFields(QVariantList* values)
{
    if (m_calcFields.empty())
        return;
    const int first = int(m_dataFields.size());
    for (int i = first; i < values->size(); ++i)
        (*values)[i] = QVariant();
    QVariantList* savedActive = m_active;
    const TDataSetState savedState = m_state;
    m_active = values;
    m_state = TDataSetState::CalcFields;
    for (auto& field : m_calcFields) {
        if (field->m_kind != TFieldKind::Lookup || !field->m_lookupDataSet
            || !field->m_lookupDataSet->Active())
            continue;
        const QStringList keys = SplitFieldNames(field->m_keyFields);
        QVariantList keyValues;
        bool allSet = !keys.isEmpty();
        for (const QString& key : keys) {
            TField* keyField = FindField(key);
            const QVariant v = keyField ? keyField->AsVariant() : QVariant();
            if (!v.isValid())
                allSet = false;
            keyValues << v;
        }
        if (!allSet)
            continue;
        const QVariant result = field->m_lookupDataSet->Lookup(
            field->m_lookupKeyFields, keyValues.size() == 1 ? keyValues.first() : QVariant(keyValues),
            field->m_lookupResultField);
        QVariant stored;
        if (field->ToStored(result, &stored))
            (*values)[field->m_index] = stored;
    }
    if (m_autoCalcFields)
        Fire(OnCalcFields);
    m_state = savedState;
    m_active = savedActive;
}

// --- open and close ---

bool TDataSet::Open()
{
    if (Active())
        return true;
    m_lastError.clear();
    if (!m_database) {
        m_lastError = QStringLiteral("%1: no database").arg(Name());
        return false;
    }
    if (!FireAbortable(BeforeOpen))
        return false;
    std::vector<Column> columns;
    QString error;
    if (!OpenCursor(&columns, &error)) {
        m_lastError = error.isEmpty() ? QStringLiteral("%1: cannot open").arg(Name()) : error;
        return false;
    }
    BuildFields(columns);
    m_changed.assign(m_fields.size(), false);
    m_modified = false;
    m_gridRows.clear();
    m_gridScratchValid = false;
    SetState(TDataSetState::Browse);
    m_row = HasRow(0) ? 0 : -1;
    m_bof = true;
    m_eof = m_row < 0;
    LoadCurrent();
    NotifyLayout();
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
    Fire(AfterOpen);
    if (m_row >= 0)
        Fire(AfterScroll);
    return true;
}

void TDataSet::Close()
{
    if (!Active())
        return;
    if (!FireAbortable(BeforeClose))
        return;
    CloseCursor();
    m_state = TDataSetState::Inactive;
    m_current.clear();
    m_original.clear();
    m_changed.clear();
    m_modified = false;
    m_row = -1;
    m_bof = m_eof = true;
    m_gridRows.clear();
    m_gridScratchValid = false;
    Q_EMIT stateChanged();
    NotifyLayout();
    Fire(AfterClose);
}

bool TDataSet::SetActive(bool active)
{
    if (active)
        return Open();
    Close();
    return !Active();
}

// --- navigation ---

bool TDataSet::HasRow(int row)
{
    if (row < 0)
        return false;
    const int count = RowCount();
    if (count >= 0)
        return row < count;
    QVariantList scratch;
    return FetchRow(row, &scratch);
}

void TDataSet::LoadCurrent()
{
    m_current = EmptyValues();
    if (m_row >= 0) {
        QVariantList data;
        if (FetchRow(m_row, &data))
            for (int i = 0; i < data.size() && i < m_current.size(); ++i)
                m_current[i] = data.at(i);
    }
    m_active = &m_current;
    if (m_row >= 0)
        ComputeCalcFields(&m_current);
}

int TDataSet::RecordCount()
{
    if (!Active())
        return 0;
    const int count = TotalRowCount();
    return count < 0 ? 0 : count;
}

bool TDataSet::IsEmpty()
{
    return !Active() || !HasRow(0);
}

int TDataSet::RecNo() const
{
    if (!Active() || m_state == TDataSetState::Insert)
        return m_state == TDataSetState::Insert ? -1 : 0;
    return m_row + 1;
}

bool TDataSet::CheckBrowseMode()
{
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return Active();
    if (m_modified)
        return Post();
    Cancel();
    return true;
}

// Moves to a row with the scroll events. row -1 means "no row" (empty data set).
bool TDataSet::ScrollTo(int row, bool setBof, bool setEof)
{
    const int previous = m_row;
    if (row != m_row) {
        m_row = row;
        LoadCurrent();
    }
    m_bof = setBof;
    m_eof = setEof;
    if (row != previous || m_row < 0) {
        NotifyDataChange(nullptr);
        NotifyCurrentRow();
    }
    Fire(AfterScroll);
    return true;
}

bool TDataSet::First()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (!FireAbortable(BeforeScroll))
        return false;
    if (Unidirectional()) {
        QString error;
        if (!ReloadRows(&error)) {
            m_lastError = error;
            return false;
        }
        m_row = -2;  // forces a fresh read of the first row
    }
    const int row = HasRow(0) ? 0 : -1;
    return ScrollTo(row, true, row < 0);
}

bool TDataSet::Last()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (Unidirectional()) {
        m_lastError = QStringLiteral("%1: one-direction query").arg(Name());
        return false;
    }
    if (!FireAbortable(BeforeScroll))
        return false;
    const int count = RecordCount();
    return ScrollTo(count - 1, count == 0, true);
}

bool TDataSet::Next()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (!FireAbortable(BeforeScroll))
        return false;
    if (m_row >= 0 && HasRow(m_row + 1))
        return ScrollTo(m_row + 1, false, false);
    return ScrollTo(m_row, m_bof && m_row < 0, true);
}

bool TDataSet::Prior()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (Unidirectional()) {
        m_lastError = QStringLiteral("%1: one-direction query").arg(Name());
        return false;
    }
    if (!FireAbortable(BeforeScroll))
        return false;
    if (m_row > 0)
        return ScrollTo(m_row - 1, false, false);
    return ScrollTo(m_row, true, m_row < 0);
}

int TDataSet::MoveBy(int distance)
{
    if (distance == 0 || !CheckActive() || !CheckBrowseMode())
        return 0;
    if (distance < 0 && Unidirectional()) {
        m_lastError = QStringLiteral("%1: one-direction query").arg(Name());
        return 0;
    }
    if (!FireAbortable(BeforeScroll))
        return 0;
    if (m_row < 0) {
        ScrollTo(-1, true, true);
        return 0;
    }
    int target = m_row;
    bool bof = false, eof = false;
    if (distance > 0) {
        if (Unidirectional()) {
            while (target - m_row < distance && HasRow(target + 1))
                ++target;
        } else {
            target = qMin(m_row + distance, RecordCount() - 1);
        }
        eof = target - m_row < distance;
    } else {
        target = qMax(m_row + distance, 0);
        bof = m_row + distance < 0;
    }
    const int moved = target - m_row;
    ScrollTo(target, bof, eof);
    return moved;
}

bool TDataSet::SetRecNo(int recNo)
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    const int count = RecordCount();
    if (count == 0 || recNo < 1 || recNo > count) {
        m_lastError = QStringLiteral("%1: no record %2").arg(Name()).arg(recNo);
        return false;
    }
    if (Unidirectional() && recNo - 1 < m_row) {
        m_lastError = QStringLiteral("%1: one-direction query").arg(Name());
        return false;
    }
    if (!FireAbortable(BeforeScroll))
        return false;
    if (Unidirectional()) {
        QVariantList scratch;
        for (int r = m_row + 1; r < recNo - 1; ++r)
            FetchRow(r, &scratch);
    }
    return ScrollTo(recNo - 1, false, false);
}

// --- locate, lookup, bookmarks ---

bool TDataSet::Locate(const QString& fieldNames, const QVariant& values, TLocateOptions options)
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (Unidirectional()) {
        m_lastError = QStringLiteral("%1: one-direction query").arg(Name());
        return false;
    }
    const QStringList names = SplitFieldNames(fieldNames);
    QVariantList list = values.metaType().id() == QMetaType::QVariantList && names.size() > 1
        ? values.toList() : QVariantList{values};
    std::vector<int> indexes;
    for (const QString& name : names) {
        TField* field = FindField(name);
        if (!field || field->IsCalculated()) {
            m_lastError = QStringLiteral("%1: cannot locate on '%2'").arg(Name(), name);
            return false;
        }
        indexes.push_back(field->Index());
    }
    if (indexes.empty() || int(indexes.size()) != list.size()) {
        m_lastError = QStringLiteral("%1: locate needs one value per field").arg(Name());
        return false;
    }
    if (!FireAbortable(BeforeScroll))
        return false;
    const int row = FindRow(indexes, list, options);
    if (row < 0)
        return false;
    return ScrollTo(row, false, false);
}

int TDataSet::FindRow(const std::vector<int>& fieldIndexes, const QVariantList& values,
                      TLocateOptions options)
{
    // The plain way, for row sources that have no better one: compare row by row.
    std::vector<QVariant> wanted;
    for (size_t i = 0; i < fieldIndexes.size(); ++i) {
        QVariant stored;
        TField* field = Field(fieldIndexes[i]);
        if (IsTextType(field->DataType()))
            stored = values.at(int(i)).toString();
        else if (!field->ToStored(values.at(int(i)), &stored))
            return -1;
        wanted.push_back(stored);
    }
    QVariantList row;
    for (int r = 0; HasRow(r); ++r) {
        if (!FetchRow(r, &row))
            break;
        bool match = true;
        for (size_t i = 0; i < fieldIndexes.size() && match; ++i) {
            TField* field = Field(fieldIndexes[i]);
            const QVariant& have = row.at(fieldIndexes[i]);
            if (IsTextType(field->DataType())) {
                const QString text = have.toString();
                const QString want = wanted[i].toString();
                if (options.caseInsensitive)
                    match = options.partial ? StartsWithFolded(text, want) : CompareFolded(text, want) == 0;
                else
                    match = options.partial ? text.startsWith(want) : text == want;
                if (have.isNull() && !want.isEmpty())
                    match = false;
            } else if (!wanted[i].isValid()) {
                match = !have.isValid() || have.isNull();
            } else {
                match = have.isValid() && !have.isNull()
                    && (IsFloatType(field->DataType()) ? have.toDouble() == wanted[i].toDouble()
                                                       : have.toString() == wanted[i].toString());
            }
        }
        if (match)
            return r;
    }
    return -1;
}

QVariant TDataSet::Lookup(const QString& keyFields, const QVariant& keyValues, const QString& resultField)
{
    if (!Active())
        return {};
    const QStringList names = SplitFieldNames(keyFields);
    QVariantList list = keyValues.metaType().id() == QMetaType::QVariantList && names.size() > 1
        ? keyValues.toList() : QVariantList{keyValues};
    std::vector<int> indexes;
    for (const QString& name : names) {
        TField* field = FindField(name);
        if (!field || field->IsCalculated())
            return {};
        indexes.push_back(field->Index());
    }
    TField* result = FindField(resultField);
    if (!result || result->IsCalculated() || int(indexes.size()) != list.size())
        return {};
    const int row = FindRow(indexes, list, {});
    QVariantList values;
    if (row < 0 || !FetchRow(row, &values))
        return {};
    return result->TypedOf(values.value(result->Index()));
}

TBookmark TDataSet::GetBookmark() const
{
    if (!Active() || m_row < 0 || m_state == TDataSetState::Insert)
        return {};
    return {const_cast<TDataSet*>(this)->RowKey(m_row), true};
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark)
{
    return Active() && bookmark.valid && RowOfKey(bookmark.key) >= 0;
}

bool TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    if (!bookmark.valid) {
        m_lastError = QStringLiteral("%1: invalid bookmark").arg(Name());
        return false;
    }
    if (!FireAbortable(BeforeScroll))
        return false;
    const int row = RowOfKey(bookmark.key);
    if (row < 0) {
        m_lastError = QStringLiteral("%1: record not found").arg(Name());
        return false;
    }
    if (Unidirectional() && row < m_row)
        return false;
    return ScrollTo(row, false, false);
}

// --- editing ---

bool TDataSet::CheckWritable()
{
    if (!CheckActive())
        return false;
    if (Unidirectional() || !CanModify()) {
        m_lastError = QStringLiteral("%1: data set is read-only").arg(Name());
        return false;
    }
    if (m_busy) {
        m_lastError = QStringLiteral("%1: a post or delete is in progress").arg(Name());
        return false;
    }
    return true;
}

bool TDataSet::Edit()
{
    if (m_state == TDataSetState::Edit || m_state == TDataSetState::Insert)
        return true;
    if (!CheckWritable())
        return false;
    if (IsEmpty())
        return Insert();
    if (!FireAbortable(BeforeEdit))
        return false;
    // Edit starts from the row as stored now: another session may have changed it.
    QVariantList fresh;
    bool found = RefetchRow(m_row, &fresh);
    for (;;) {
        if (found)
            break;
        TDataAction action = TDataAction::Fail;
        const QString error = QStringLiteral("%1: the record was deleted by another session").arg(Name());
        if (OnEditError) {
            HandlerScope scope(m_handlerDepth);
            OnEditError(*this, error, action);
        }
        if (action == TDataAction::Retry) {
            found = RefetchRow(m_row, &fresh);
            continue;
        }
        m_lastError = action == TDataAction::Abort ? QString() : error;
        return false;
    }
    for (int i = 0; i < fresh.size() && i < m_current.size(); ++i)
        m_current[i] = fresh.at(i);
    ComputeCalcFields(&m_current);
    m_original = m_current;
    m_changed.assign(m_fields.size(), false);
    m_modified = false;
    SetState(TDataSetState::Edit);
    NotifyDataChange(nullptr);
    Fire(AfterEdit);
    return true;
}

bool TDataSet::BeginInsert()
{
    if (!CheckWritable() || !CheckBrowseMode())
        return false;
    if (!FireAbortable(BeforeInsert))
        return false;
    if (!FireAbortable(BeforeScroll))
        return false;
    m_insertReturnRow = m_row;
    m_original = EmptyValues();
    m_current = EmptyValues();
    m_active = &m_current;
    m_changed.assign(m_fields.size(), false);
    SetState(TDataSetState::Insert);
    ComputeCalcFields(&m_current);
    if (!FireAbortable(OnNewRecord)) {
        const QString reason = m_lastError;
        SetState(TDataSetState::Browse);
        m_row = m_insertReturnRow;
        LoadCurrent();
        m_lastError = reason;
        return false;
    }
    // Values the new-record rules filled in are defaults: a record nobody touched is
    // dropped again when the user moves away (a Post stores it all the same).
    m_modified = false;
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
    Fire(AfterInsert);
    Fire(AfterScroll);
    return true;
}

bool TDataSet::Insert()
{
    return BeginInsert();
}

bool TDataSet::Append()
{
    return BeginInsert();
}

void TDataSet::Cancel()
{
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return;
    if (!FireAbortable(BeforeCancel))
        return;
    const bool inserting = m_state == TDataSetState::Insert;
    SetState(TDataSetState::Browse);
    if (inserting) {
        m_row = m_insertReturnRow;
        if (!HasRow(m_row))
            m_row = RecordCount() - 1;
    }
    m_modified = false;
    m_changed.assign(m_fields.size(), false);
    LoadCurrent();
    if (!inserting)
        NotifyRowUpdated(m_row);
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
    Fire(AfterCancel);
}

void TDataSet::RestoreEdit(TDataSetState state, const QVariantList& buffer, const QVariantList& original,
                           const std::vector<bool>& changed, qint64 key, int fallbackRow)
{
    // After a rolled-back post or delete: the rows as stored, and the edit as it was.
    QString error;
    ReloadRows(&error);
    int row = key >= 0 ? RowOfKey(key) : -1;
    if (row < 0)
        row = qBound(-1, fallbackRow, RecordCount() - 1);
    m_row = row;
    LoadCurrent();
    if (state == TDataSetState::Edit || state == TDataSetState::Insert) {
        m_current = buffer;
        m_original = original;
        m_changed = changed;
        m_modified = true;
        m_state = state;
        Q_EMIT stateChanged();
    }
    NotifyLayout();
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
}

bool TDataSet::Post()
{
    if (m_state != TDataSetState::Edit && m_state != TDataSetState::Insert)
        return Active();
    if (m_busy) {
        m_lastError = QStringLiteral("%1: a post or delete is in progress").arg(Name());
        return false;
    }
    m_lastError.clear();
    if (!m_database) {
        m_lastError = QStringLiteral("%1: no database").arg(Name());
        return false;
    }
    struct BusyGuard {
        bool& flag;
        explicit BusyGuard(bool& f) : flag(f) { flag = true; }
        ~BusyGuard() { flag = false; }
    } guard(m_busy);

    if (!m_database->Transaction()) {
        m_lastError = BusyQuestion();
        return false;
    }
    if (!FireAbortable(BeforePost)) {
        m_database->Rollback();
        return false;
    }
    const bool inserting = m_state == TDataSetState::Insert;
    const TDataSetState editState = m_state;
    const int oldRow = inserting ? -1 : m_row;
    const qint64 oldKey = inserting ? -1 : RowKey(m_row);
    const QVariantList buffer = m_current;
    const QVariantList original = m_original;
    const std::vector<bool> changed = m_changed;
    int newRow = -1;
    QVariantList stored;
    for (;;) {
        // Read per attempt: an error handler that asks for a retry may have fixed a value.
        const QVariantList data = m_current.mid(0, int(m_dataFields.size()));
        const std::vector<bool> dataChanged(m_changed.begin(),
                                            m_changed.begin() + qMin(m_changed.size(), m_dataFields.size()));
        QString error;
        if (WriteRow(inserting, oldRow, data, dataChanged, &newRow, &stored, &error))
            break;
        TDataAction action = TDataAction::Fail;
        if (OnPostError) {
            HandlerScope scope(m_handlerDepth);
            OnPostError(*this, error, action);
        }
        if (action == TDataAction::Retry)
            continue;
        m_database->Rollback();
        RestoreEdit(editState, buffer, original, changed, oldKey, inserting ? m_insertReturnRow : oldRow);
        m_lastError = action == TDataAction::Abort ? QString() : error;
        return false;
    }

    SetState(TDataSetState::Browse);
    m_modified = false;
    m_changed.assign(m_fields.size(), false);
    if (newRow >= 0) {
        m_row = newRow;
    } else {
        // The filter hides the record now: the cursor goes to the row that took its place.
        const int base = inserting ? m_insertReturnRow : oldRow;
        m_row = qBound(-1, base, RecordCount() - 1);
    }
    LoadCurrent();
    if (!inserting && newRow == oldRow)
        NotifyRowUpdated(newRow);
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
    if (!FireAbortable(AfterPost)) {
        const QString reason = m_lastError;
        m_database->Rollback();
        RestoreEdit(editState, buffer, original, changed, oldKey, inserting ? m_insertReturnRow : oldRow);
        m_lastError = reason;
        return false;
    }
    if (!m_database->Commit()) {
        const QString reason = QStringLiteral("%1: commit failed").arg(Name());
        RestoreEdit(editState, buffer, original, changed, oldKey, inserting ? m_insertReturnRow : oldRow);
        m_lastError = reason;
        return false;
    }
    return true;
}

bool TDataSet::Delete()
{
    if (m_state == TDataSetState::Insert) {
        Cancel();
        return true;
    }
    if (!CheckWritable())
        return false;
    if (IsEmpty() || m_row < 0) {
        m_lastError = QStringLiteral("%1: data set is empty").arg(Name());
        return false;
    }
    if (!m_database) {
        m_lastError = QStringLiteral("%1: no database").arg(Name());
        return false;
    }
    m_lastError.clear();
    struct BusyGuard {
        bool& flag;
        explicit BusyGuard(bool& f) : flag(f) { flag = true; }
        ~BusyGuard() { flag = false; }
    } guard(m_busy);
    const TDataSetState editState = m_state;
    const QVariantList buffer = m_current;
    const QVariantList original = m_original;
    const std::vector<bool> changed = m_changed;
    const int row = m_row;
    const qint64 key = RowKey(row);

    if (!m_database->Transaction()) {
        m_lastError = BusyQuestion();
        return false;
    }
    if (!FireAbortable(BeforeDelete) || !FireAbortable(BeforeScroll)) {
        m_database->Rollback();
        return false;
    }
    for (;;) {
        QString error;
        if (RemoveRow(row, &error))
            break;
        TDataAction action = TDataAction::Fail;
        if (OnDeleteError) {
            HandlerScope scope(m_handlerDepth);
            OnDeleteError(*this, error, action);
        }
        if (action == TDataAction::Retry)
            continue;
        m_database->Rollback();
        RestoreEdit(editState, buffer, original, changed, key, row);
        m_lastError = action == TDataAction::Abort ? QString() : error;
        return false;
    }
    SetState(TDataSetState::Browse);
    m_modified = false;
    m_changed.assign(m_fields.size(), false);
    const int count = RecordCount();
    m_row = count == 0 ? -1 : qMin(row, count - 1);
    m_bof = m_row <= 0;
    m_eof = count == 0 || row >= count;
    LoadCurrent();
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
    if (!FireAbortable(AfterDelete)) {
        const QString reason = m_lastError;
        m_database->Rollback();
        RestoreEdit(TDataSetState::Browse, {}, {}, {}, key, row);
        m_lastError = reason;
        return false;
    }
    if (!m_database->Commit()) {
        RestoreEdit(TDataSetState::Browse, {}, {}, {}, key, row);
        m_lastError = QStringLiteral("%1: commit failed").arg(Name());
        return false;
    }
    Fire(AfterScroll);
    return true;
}

// --- reloading ---

bool TDataSet::ReloadKeeping(qint64 key, int fallbackRow)
{
    QString error;
    if (!ReloadRows(&error)) {
        m_lastError = error;
        return false;
    }
    int row = RowOfKey(key);
    if (row < 0)
        row = qBound(-1, fallbackRow, RecordCount() - 1);
    m_row = row;
    m_bof = m_row <= 0;
    m_eof = m_row < 0;
    LoadCurrent();
    NotifyLayout();
    NotifyDataChange(nullptr);
    NotifyCurrentRow();
    return true;
}

bool TDataSet::Refresh()
{
    if (!CheckActive() || !CheckBrowseMode())
        return false;
    DropRowCache();
    const qint64 key = m_row >= 0 ? RowKey(m_row) : -1;
    return ReloadKeeping(key, m_row);
}

// --- grid access ---

const QVariantList* TDataSet::GridRow(int row)
{
    if (!Active() || row < 0)
        return nullptr;
    // The record being edited shows as typed; other rows as stored now.
    if (row == m_row && (m_state == TDataSetState::Edit || Unidirectional()))
        return &m_current;
    if (Unidirectional())
        return nullptr;
    if (m_calcFields.empty()) {
        // A grid asks for a row cell by cell: keep the row it asked for last.
        const qint64 key = RowKey(row);
        const quint64 version = RowsVersion();
        if (m_gridScratchValid && key == m_gridScratchKey && version == m_gridScratchVersion)
            return &m_gridScratch;
        m_gridScratchValid = FetchRow(row, &m_gridScratch);
        m_gridScratchKey = key;
        m_gridScratchVersion = version;
        return m_gridScratchValid ? &m_gridScratch : nullptr;
    }
    const qint64 key = RowKey(row);
    auto it = m_gridRows.find(key);
    if (it != m_gridRows.end())
        return &it.value();
    QVariantList data;
    if (!FetchRow(row, &data))
        return nullptr;
    QVariantList values = EmptyValues();
    for (int i = 0; i < data.size() && i < values.size(); ++i)
        values[i] = data.at(i);
    ComputeCalcFields(&values);
    if (m_gridRows.size() > 1024)
        m_gridRows.clear();
    m_gridScratchValid = false;
    return &m_gridRows.insert(key, values).value();
}

QVariant TDataSet::StoredValueAt(int row, int fieldIndex)
{
    const QVariantList* values = GridRow(row);
    return values ? values->value(fieldIndex) : QVariant();
}

QString TDataSet::DisplayTextAt(int row, int fieldIndex)
{
    TField* field = Field(fieldIndex);
    if (!field)
        return {};
    return field->DisplayTextOf(StoredValueAt(row, fieldIndex));
}

bool TDataSet::WriteRow(bool, int, const QVariantList&, const std::vector<bool>&, int*, QVariantList*,
                        QString* error)
{
    *error = QStringLiteral("%1: data set is read-only").arg(Name());
    return false;
}

bool TDataSet::RemoveRow(int, QString* error)
{
    *error = QStringLiteral("%1: data set is read-only").arg(Name());
    return false;
}
