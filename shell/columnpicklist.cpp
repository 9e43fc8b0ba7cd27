#include "shell/columnpicklist.h"

#include "data/table.h"

#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmList::TfrmList(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lvList"));
    m_list->setColumnCount(2);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(true);
    layout->addWidget(m_list);
    connect(m_list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { Choose(item); });
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { Choose(item); });
}

TfrmList::~TfrmList() = default;

void TfrmList::SetEntries(const QList<TPickEntry>& entries)
{
    m_entries = entries;
    m_list->clear();
    for (const TPickEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(m_list, {entry.text, entry.detail});
        if (entry.underlined) {
            QFont font = item->font(0);
            font.setUnderline(true);
            item->setFont(0, font);
        }
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

int TfrmList::Pick(const QPoint& topLeft, int width, int maxHeight)
{
    m_picked = -1;
    const int itemHeight = m_list->topLevelItemCount() > 0
                               ? m_list->visualItemRect(m_list->topLevelItem(0)).height()
                               : fontMetrics().height();
    const int wanted = int(m_entries.size()) * (qMax(itemHeight, fontMetrics().height()) + 3);
    m_list->setColumnWidth(0, qMax(40, width * 2 / 3));
    setGeometry(topLeft.x(), topLeft.y(), qMax(40, width), qBound(24, wanted, qMax(24, maxHeight)));
    show();
    raise();
    activateWindow();
    m_list->setFocus();
    QEventLoop loop;
    m_loop = &loop;
    if (isVisible())
        loop.exec();
    m_loop = nullptr;
    hide();
    return m_picked;
}

void TfrmList::Choose(QTreeWidgetItem* item)
{
    if (!item)
        return;
    m_picked = m_list->indexOfTopLevelItem(item);
    hide();
}

void TfrmList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_picked = -1;
        hide();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Choose(m_list->currentItem());
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmList::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_loop)
        m_loop->quit();
}

QList<TPickEntry> SortColumnEntries(TTable& table)
{
    static const QStringList kLeftOut = {QStringLiteral("LISTS"), QStringLiteral("INLIST"), QStringLiteral("F_VATCOEF"),
                                         QStringLiteral("F_TYPE")};
    QList<TPickEntry> entries;
    const QList<TIndexDef> indexes = table.IndexDefs();
    for (int i = 0; i < table.FieldCount(); ++i) {
        TField* field = table.Field(i);
        if (field->DataType() == ftMemo || field->DataType() == ftGraphic || field->DataType() == ftBlob)
            continue;
        if (kLeftOut.contains(field->FieldName(), Qt::CaseInsensitive))
            continue;
        TPickEntry entry;
        entry.text = field->DisplayLabel();
        entry.detail = field->FieldName();
        entry.data = field->FieldName();
        for (const TIndexDef& def : indexes) {
            if (def.caseInsensitive && def.fields.size() == 1
                && def.fields.first().compare(field->FieldName(), Qt::CaseInsensitive) == 0)
                entry.underlined = true;
        }
        entries.append(entry);
    }
    return entries;
}
