#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

#include "data/dataset.h"

// A table model over a data set for grids and choosers. Each column is a field; rows are
// read from the data set only when the view asks for them (the rows on screen), and the
// model follows posts, inserts, deletes, reorders and moves of the current record made
// through the data set. DisplayRole gives the field's display text, EditRole its typed value,
// TextAlignmentRole its alignment. Editing through setData moves to the row, edits and posts.
class TDataSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TDataSetModel(TDataSet* dataSet, QObject* parent = nullptr);

    TDataSet* DataSet() const { return m_dataSet; }
    // The fields shown, by name; empty = every visible field.
    void SetColumns(const QStringList& fieldNames);
    QStringList Columns() const;
    TField* FieldOfColumn(int column) const;
    void SetEditable(bool editable) { m_editable = editable; }

    // Makes the row the data set's current record (with its scroll events).
    bool MoveTo(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // The data set's current record moved to this row (-1: none), for the view's selection.
    void currentRowChanged(int row);

private:
    void Reset();
    void RebuildColumns();

    QPointer<TDataSet> m_dataSet;
    QStringList m_columnNames;
    std::vector<int> m_fieldIndexes;
    int m_rows = 0;
    enum class Pending { None, Insert, Remove, Move, Update };
    Pending m_pending = Pending::None;
    bool m_editable = false;
};
