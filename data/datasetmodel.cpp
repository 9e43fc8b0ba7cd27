#include "data/datasetmodel.h"

TDataSetModel::TDataSetModel(TDataSet* dataSet, QObject* parent)
    : QAbstractTableModel(parent), m_dataSet(dataSet)
{
    if (!dataSet)
        return;
    RebuildColumns();
    m_rows = dataSet->RecordCount();
    connect(dataSet, &TDataSet::layoutReset, this, &TDataSetModel::Reset);
    connect(dataSet, &TDataSet::rowAboutToBeInserted, this, [this](int row) {
        m_pending = Pending::None;
        if (row < 0 || row > m_rows)
            return;
        beginInsertRows(QModelIndex(), row, row);
        m_pending = Pending::Insert;
    });
    connect(dataSet, &TDataSet::rowInserted, this, [this](int) {
        if (m_pending != Pending::Insert)
            return Reset();
        ++m_rows;
        m_pending = Pending::None;
        endInsertRows();
    });
    connect(dataSet, &TDataSet::rowAboutToBeRemoved, this, [this](int row) {
        m_pending = Pending::None;
        if (row < 0 || row >= m_rows)
            return;
        beginRemoveRows(QModelIndex(), row, row);
        m_pending = Pending::Remove;
    });
    connect(dataSet, &TDataSet::rowRemoved, this, [this](int) {
        if (m_pending != Pending::Remove)
            return Reset();
        --m_rows;
        m_pending = Pending::None;
        endRemoveRows();
    });
    connect(dataSet, &TDataSet::rowAboutToBeMoved, this, [this](int from, int to) {
        m_pending = Pending::None;
        if (from < 0 || from >= m_rows || to < 0 || to >= m_rows)
            return;
        // Qt counts the destination before the move; the data set counts it after.
        const int destination = to > from ? to + 1 : to;
        if (from != to && beginMoveRows(QModelIndex(), from, from, QModelIndex(), destination))
            m_pending = Pending::Move;
        else
            m_pending = Pending::Update;
    });
    connect(dataSet, &TDataSet::rowMoved, this, [this](int from, int to) {
        const Pending pending = m_pending;
        m_pending = Pending::None;
        if (pending == Pending::Move)
            endMoveRows();
        else if (pending != Pending::Update)
            return Reset();
        if (!m_fieldIndexes.empty())
            Q_EMIT dataChanged(index(to, 0), index(to, int(m_fieldIndexes.size()) - 1));
        (void)from;
    });
    connect(dataSet, &TDataSet::rowUpdated, this, [this](int row) {
        if (row < 0 || row >= m_rows || m_fieldIndexes.empty())
            return;
        Q_EMIT dataChanged(index(row, 0), index(row, int(m_fieldIndexes.size()) - 1));
    });
    connect(dataSet, &TDataSet::currentRowChanged, this, &TDataSetModel::currentRowChanged);
    connect(dataSet, &TDataSet::dataChanged, this, [this](TField* field) {
        // A value typed into the current record shows in its row at once.
        if (!field || !m_dataSet)
            return;
        const int row = m_dataSet->CurrentRow();
        if (row < 0 || row >= m_rows)
            return;
        for (int c = 0; c < int(m_fieldIndexes.size()); ++c)
            if (m_fieldIndexes[c] == field->Index())
                Q_EMIT dataChanged(index(row, c), index(row, c));
    });
}

void TDataSetModel::Reset()
{
    beginResetModel();
    RebuildColumns();
    m_rows = m_dataSet ? m_dataSet->RecordCount() : 0;
    endResetModel();
}

void TDataSetModel::RebuildColumns()
{
    m_fieldIndexes.clear();
    if (!m_dataSet)
        return;
    if (m_columnNames.isEmpty()) {
        for (int i = 0; i < m_dataSet->FieldCount(); ++i)
            if (m_dataSet->Field(i)->Visible())
                m_fieldIndexes.push_back(i);
        return;
    }
    for (const QString& name : m_columnNames)
        if (TField* field = m_dataSet->FindField(name))
            m_fieldIndexes.push_back(field->Index());
}

void TDataSetModel::SetColumns(const QStringList& fieldNames)
{
    beginResetModel();
    m_columnNames = fieldNames;
    RebuildColumns();
    endResetModel();
}

QStringList TDataSetModel::Columns() const
{
    QStringList names;
    for (int index : m_fieldIndexes)
        if (TField* field = m_dataSet ? m_dataSet->Field(index) : nullptr)
            names << field->FieldName();
    return names;
}

TField* TDataSetModel::FieldOfColumn(int column) const
{
    if (!m_dataSet || column < 0 || column >= int(m_fieldIndexes.size()))
        return nullptr;
    return m_dataSet->Field(m_fieldIndexes[column]);
}

bool TDataSetModel::MoveTo(int row)
{
    return m_dataSet && row >= 0 && m_dataSet->SetRecNo(row + 1);
}

int TDataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TDataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fieldIndexes.size());
}

QVariant TDataSetModel::data(const QModelIndex& index, int role) const
{
    TField* field = FieldOfColumn(index.column());
    // Rows past the data set's end can be asked for while its controls are disabled.
    if (!field || !index.isValid() || index.row() >= m_dataSet->RecordCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_dataSet->DisplayTextAt(index.row(), field->Index());
    case Qt::EditRole:
        return field->TypedOf(m_dataSet->StoredValueAt(index.row(), field->Index()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(field->Alignment());
    default:
        return {};
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    TField* field = FieldOfColumn(section);
    if (!field)
        return {};
    if (role == Qt::DisplayRole)
        return field->DisplayLabel();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(field->Alignment());
    return {};
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    TField* field = FieldOfColumn(index.column());
    if (m_editable && field && !field->ReadOnly() && !field->IsCalculated())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TDataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    TField* field = FieldOfColumn(index.column());
    if (role != Qt::EditRole || !field || !m_editable || !m_dataSet)
        return false;
    if (m_dataSet->CurrentRow() != index.row() && !MoveTo(index.row()))
        return false;
    if (!m_dataSet->Edit() || !field->SetValue(value)) {
        m_dataSet->Cancel();
        return false;
    }
    return m_dataSet->Post();
}
