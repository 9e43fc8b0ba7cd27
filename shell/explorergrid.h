#pragma once

#include <QColor>
#include <QPoint>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <vector>

class QMimeData;
class QStyledItemDelegate;
class TDataSet;
class TDataSetModel;

// The mime type of records dragged out of the explorer: the module number and the record
// identifiers, one a line.
inline constexpr const char* kRecordsMimeType = "application/x-quillon-records";
QMimeData* RecordsMimeData(int module, const QList<qint64>& ids);
// The module and identifiers of such data; false when it holds none.
bool ReadRecordsMimeData(const QMimeData* data, int* module, QList<qint64>* ids);

// The explorer's grid: read-only, rows fetched only when shown (TDataSetModel), the current
// row following the data set's current record and back. Only Esc and the navigation keys
// reach the table itself; characters typed go to the type-ahead search.
class TDBGridwListX : public QTableView
{
    Q_OBJECT
public:
    explicit TDBGridwListX(QWidget* parent = nullptr);
    ~TDBGridwListX() override;

    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const;
    TDataSetModel* Model() const { return m_model; }
    // The columns shown, by field name, in order.
    void SetColumns(const QStringList& fields);
    QStringList Columns() const;
    // The field of a column / of the selected column (the current one).
    QString FieldOfColumn(int column) const;
    QString SelectedField() const;
    int ColumnOfField(const QString& field) const;
    // The columns in the order the user sees them.
    QStringList VisualColumns() const;

    // One entry per table column: "1" or "0" (a case-insensitive index on exactly that
    // column) followed by its display label.
    QStringList fieldList;
    bool open = false;
    QString typedText;

    // The dark (black text) columns; every other column has white text on the grey grid.
    void SetDarkFields(const QStringList& fields);
    QStringList DarkFields() const { return m_darkFields; }
    bool IsDarkColumn(int column) const;

    // All-records-selected mode: no single selections, the grid in the highlight colour.
    void SetAllSelected(bool on);
    bool AllSelected() const { return m_allSelected; }
    // The rows marked (from 0), in the order they were marked.
    QList<int> MarkedRows() const;
    // Selects the row of the data set's current record.
    void FollowCurrentRecord();

    // The picture at the cell's right edge (record icon, unpaid clip); empty: none.
    std::function<QPixmap(const QModelIndex& index)> cellPicture;
    // Records dragged from the grid (modules 1 and 6 set it); empty: no dragging.
    std::function<QMimeData*()> dragData;

    static QColor NormalColour() { return QColor(0x80, 0x80, 0x80); }

Q_SIGNALS:
    void typedTextChanged(const QString& text);
    void enterPressed();
    void deleteWithoutCtrl();
    void f2Pressed();
    // Any normal use (click, navigation): ends all-records-selected mode.
    void normalUse();
    void cellClicked();
    void columnEntered(const QString& field);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void TypeAhead(const QString& text);
    void ApplyColour();
    void MarkDarkColumns();
    // Lays out, while idle, the texts of the pages next to the one shown.
    void LayOutNearbyTexts();

    TDataSetModel* m_model = nullptr;
    QStyledItemDelegate* m_delegate = nullptr;
    bool m_layOutQueued = false;
    QStringList m_darkFields;
    std::vector<bool> m_darkColumns;  // per model column, read for every cell painted
    bool m_allSelected = false;
    bool m_syncing = false;
    QPoint m_pressAt;
    bool m_pressed = false;
};
