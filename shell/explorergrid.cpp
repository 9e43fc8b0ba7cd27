#include "shell/explorergrid.h"

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/quicksearch.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStaticText>
#include <QTimer>
#include <QStyledItemDelegate>

QMimeData* RecordsMimeData(int module, const QList<qint64>& ids)
{
    QStringList lines{QString::number(module)};
    for (qint64 id : ids)
        lines << QString::number(id);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kRecordsMimeType), lines.join(QLatin1Char('\n')).toLatin1());
    return data;
}

bool ReadRecordsMimeData(const QMimeData* data, int* module, QList<qint64>* ids)
{
    if (!data || !data->hasFormat(QString::fromLatin1(kRecordsMimeType)))
        return false;
    const QStringList lines = QString::fromLatin1(data->data(QString::fromLatin1(kRecordsMimeType))).split(QLatin1Char('\n'));
    bool ok = false;
    *module = lines.value(0).toInt(&ok);
    if (!ok)
        return false;
    ids->clear();
    for (int i = 1; i < lines.size(); ++i) {
        const qint64 id = lines.at(i).toLongLong(&ok);
        if (ok)
            ids->append(id);
    }
    return !ids->isEmpty();
}

namespace {

// Sort column in black, the others in white; the record picture at the right edge. Cells
// are drawn directly (no style per cell): a page of the open explorer has a thousand.
// Texts are drawn from laid-out copies kept by text, so a page shows without shaping when
// its texts were laid out before (shown already, or laid out ahead by the grid while idle).
class TExplorerDelegate : public QStyledItemDelegate
{
public:
    explicit TExplorerDelegate(TDBGridwListX* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    const QStaticText& LaidOut(const QString& text, const QFont& font) const
    {
        if (font != m_font || m_texts.size() > kMaxTexts) {
            m_texts.clear();
            m_font = font;
        }
        auto it = m_texts.constFind(text);
        if (it == m_texts.constEnd()) {
            QStaticText laidOut(text);
            laidOut.setTextFormat(Qt::PlainText);
            laidOut.prepare(QTransform(), font);
            it = m_texts.insert(text, laidOut);
        }
        return *it;
    }

protected:
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect cell = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(cell, option.palette.brush(QPalette::Highlight));
        QColor text = m_grid->IsDarkColumn(index.column()) ? QColor(Qt::black) : QColor(Qt::white);
        if (selected)
            text = option.palette.color(QPalette::HighlightedText);
        QPixmap picture;
        if (m_grid->cellPicture)
            picture = m_grid->cellPicture(index);
        const int reserved = picture.isNull() ? 0 : qMin(16, picture.width()) + 2;
        const QRect area = cell.adjusted(3, 0, -3 - reserved, 0);
        // Clipped at the cell, not elided: eliding would lay every text out twice.
        const QString shown = index.data(Qt::DisplayRole).toString();
        if (!shown.isEmpty()) {
            const QVariant alignment = index.data(Qt::TextAlignmentRole);
            const int flags = alignment.isValid() ? alignment.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter);
            // Placed as QPainter::drawText(rect, flags, text) places a single line.
            const QStaticText& laidOut = LaidOut(shown, painter->font());
            const QSizeF size = laidOut.size();
            qreal x = area.left();
            if (flags & Qt::AlignRight)
                x += area.width() - size.width();
            else if (flags & Qt::AlignHCenter)
                x += (area.width() - size.width()) / 2;
            qreal y = area.top();
            if (flags & Qt::AlignBottom)
                y += area.height() - size.height();
            else if (flags & Qt::AlignVCenter)
                y += (area.height() - size.height()) / 2;
            const bool clip = !QRectF(area).contains(QRectF(QPointF(x, y), size));
            if (clip) {
                painter->save();
                painter->setClipRect(area, Qt::IntersectClip);
            }
            painter->setPen(text);
            painter->drawStaticText(QPointF(x, y), laidOut);
            if (clip)
                painter->restore();
        }
        if (!picture.isNull()) {
            const QSize size = picture.size().boundedTo(QSize(16, cell.height()));
            painter->drawPixmap(QRect(cell.right() - size.width(), cell.top() + (cell.height() - size.height()) / 2,
                                      size.width(), size.height()),
                                picture);
        }
    }

private:
    static constexpr int kMaxTexts = 20000;
    TDBGridwListX* m_grid;
    mutable QFont m_font;
    mutable QHash<QString, QStaticText> m_texts;
};

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

} // namespace

TDBGridwListX::TDBGridwListX(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("mainExplorer"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_delegate = new TExplorerDelegate(this);
    setItemDelegate(m_delegate);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // Fixed row heights: the view never measures 100,000 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ApplyColour();
}

TDBGridwListX::~TDBGridwListX() = default;

void TDBGridwListX::SetDataSet(TDataSet* dataSet)
{
    if (m_model && m_model->DataSet() == dataSet)
        return;
    TDataSetModel* old = m_model;
    m_model = dataSet ? new TDataSetModel(dataSet, this) : nullptr;
    setModel(m_model);
    delete old;
    if (m_model)
        connect(m_model, &TDataSetModel::currentRowChanged, this, [this](int) { FollowCurrentRecord(); });
}

TDataSet* TDBGridwListX::DataSet() const
{
    return m_model ? m_model->DataSet() : nullptr;
}

void TDBGridwListX::SetColumns(const QStringList& fields)
{
    if (!m_model)
        return;
    // Section moves belong to the old columns.
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual) {
        const int logical = horizontalHeader()->logicalIndex(visual);
        if (logical != visual)
            horizontalHeader()->moveSection(visual, logical);
    }
    m_syncing = true;
    m_model->SetColumns(fields);
    MarkDarkColumns();
    for (int i = 0; i < m_model->columnCount(); ++i)
        setColumnHidden(i, false);
    m_syncing = false;
    FollowCurrentRecord();
}

QStringList TDBGridwListX::Columns() const
{
    return m_model ? m_model->Columns() : QStringList();
}

QString TDBGridwListX::FieldOfColumn(int column) const
{
    TField* field = m_model ? m_model->FieldOfColumn(column) : nullptr;
    return field ? field->FieldName() : QString();
}

QString TDBGridwListX::SelectedField() const
{
    const int column = currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndex(0);
    return FieldOfColumn(column < 0 ? 0 : column);
}

int TDBGridwListX::ColumnOfField(const QString& field) const
{
    const QStringList columns = Columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QStringList TDBGridwListX::VisualColumns() const
{
    QStringList result;
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual)
        result << FieldOfColumn(horizontalHeader()->logicalIndex(visual));
    return result;
}

void TDBGridwListX::SetDarkFields(const QStringList& fields)
{
    m_darkFields = fields;
    MarkDarkColumns();
    viewport()->update();
}

void TDBGridwListX::MarkDarkColumns()
{
    m_darkColumns.clear();
    const QStringList columns = Columns();
    for (const QString& column : columns)
        m_darkColumns.push_back(m_darkFields.contains(column, Qt::CaseInsensitive));
}

bool TDBGridwListX::IsDarkColumn(int column) const
{
    return column >= 0 && column < int(m_darkColumns.size()) && m_darkColumns[size_t(column)];
}

void TDBGridwListX::SetAllSelected(bool on)
{
    if (on)
        clearSelection();
    m_allSelected = on;
    ApplyColour();
    if (!on)
        FollowCurrentRecord();
}

void TDBGridwListX::ApplyColour()
{
    QPalette p = palette();
    p.setColor(QPalette::Base, m_allSelected ? QApplication::palette().color(QPalette::Highlight) : NormalColour());
    setPalette(p);
}

QList<int> TDBGridwListX::MarkedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    return rows;
}

void TDBGridwListX::FollowCurrentRecord()
{
    if (!m_model || m_syncing || m_allSelected)
        return;
    TDataSet* dataSet = m_model->DataSet();
    const int row = dataSet ? dataSet->CurrentRow() : -1;
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int column = currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndex(0);
    const QModelIndex target = m_model->index(row, qMax(0, column));
    m_syncing = true;
    if (currentIndex() != target) {
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else if (!selectionModel()->isRowSelected(row, QModelIndex())) {
        selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    m_syncing = false;
    scrollTo(target);
}

void TDBGridwListX::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid())
        return;
    if (current.column() != previous.column() || !previous.isValid())
        emit columnEntered(FieldOfColumn(current.column()));
    if (m_syncing || !m_model)
        return;
    TDataSet* dataSet = m_model->DataSet();
    if (dataSet && dataSet->CurrentRow() != current.row()) {
        m_syncing = true;
        m_model->MoveTo(current.row());
        m_syncing = false;
    }
}

void TDBGridwListX::TypeAhead(const QString& text)
{
    for (const QChar c : text)
        typedText = TypeAheadText(typedText, c);
    TDataSet* dataSet = DataSet();
    const QString field = SelectedField();
    if (dataSet && dataSet->Active() && QuickSearchKindOf(*dataSet, field) == TQuickSearchKind::Text) {
        typedText = TypeAheadCut(typedText, dataSet->FindField(field)->Size());
        if (!typedText.isEmpty())
            QuickSearchLocate(*dataSet, field, typedText);
    }
    emit typedTextChanged(typedText);
}

void TDBGridwListX::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (IsNavigationKey(key)) {
        emit normalUse();
        QTableView::keyPressEvent(event);
        // Ctrl with a navigation key moves without selecting: the current row stays marked.
        const QModelIndex current = currentIndex();
        if (current.isValid() && !(event->modifiers() & Qt::ShiftModifier)
            && !selectionModel()->isRowSelected(current.row(), QModelIndex()))
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit enterPressed();
        return;
    }
    if (key == Qt::Key_Delete && !(event->modifiers() & Qt::ControlModifier)) {
        emit deleteWithoutCtrl();
        return;
    }
    if (key == Qt::Key_F2) {
        emit f2Pressed();
        return;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        // Shortcuts belong to the window.
        event->ignore();
        return;
    }
    if (key == Qt::Key_Backspace) {
        TypeAhead(QString(QChar(8)));
        return;
    }
    if (!event->text().isEmpty() && key != Qt::Key_Tab) {
        TypeAhead(event->text());
        return;
    }
    event->ignore();
}

void TDBGridwListX::mousePressEvent(QMouseEvent* event)
{
    emit normalUse();
    m_pressAt = event->position().toPoint();
    m_pressed = event->button() == Qt::LeftButton;
    QTableView::mousePressEvent(event);
    emit cellClicked();
}

void TDBGridwListX::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && dragData && (event->buttons() & Qt::LeftButton)
        && (event->position().toPoint() - m_pressAt).manhattanLength() >= QApplication::startDragDistance()) {
        m_pressed = false;
        if (QMimeData* data = dragData()) {
            auto* drag = new QDrag(this);
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        }
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void TDBGridwListX::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    emit enterPressed();
}

void TDBGridwListX::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!m_layOutQueued) {
        m_layOutQueued = true;
        QTimer::singleShot(0, this, &TDBGridwListX::LayOutNearbyTexts);
    }
}

void TDBGridwListX::LayOutNearbyTexts()
{
    // The page above and the page below the one shown, so that paging shows at once.
    m_layOutQueued = false;
    if (!m_model || !isVisible())
        return;
    const int rows = m_model->rowCount();
    const int top = rowAt(0);
    if (top < 0)
        return;
    int bottom = rowAt(viewport()->height() - 1);
    if (bottom < 0)
        bottom = rows - 1;
    const int page = bottom - top + 1;
    int left = columnAt(0);
    int right = columnAt(viewport()->width() - 1);
    if (left < 0)
        left = 0;
    if (right < 0)
        right = m_model->columnCount() - 1;
    const QFont font = viewport()->font();
    auto* delegate = static_cast<TExplorerDelegate*>(m_delegate);
    auto layOut = [&](int from, int to) {
        for (int row = qMax(0, from); row <= to && row < rows; ++row) {
            for (int visual = horizontalHeader()->visualIndex(left); visual <= horizontalHeader()->visualIndex(right); ++visual) {
                const int column = horizontalHeader()->logicalIndex(visual);
                if (column < 0 || isColumnHidden(column))
                    continue;
                const QString text = m_model->index(row, column).data(Qt::DisplayRole).toString();
                if (!text.isEmpty())
                    delegate->LaidOut(text, font);
            }
        }
    };
    layOut(bottom + 1, bottom + page);
    layOut(top - page, top - 1);
}
