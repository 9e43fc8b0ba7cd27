#include "data/fieldtree.h"

#include "data/fieldkinds.h"

namespace {

QStandardItem* Item(const QString& text, int icon, int nodeType, const TreeIconProvider& icons)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    item->setData(icon, ftrIconIndex);
    item->setData(nodeType, ftrNodeType);
    if (icons) {
        const QIcon shown = icons(icon);
        if (!shown.isNull())
            item->setIcon(shown);
    }
    return item;
}

QStandardItem* ChildOfType(QStandardItem* node, int nodeType)
{
    for (int i = 0; i < node->rowCount(); ++i)
        if (node->child(i)->data(ftrNodeType).toInt() == nodeType)
            return node->child(i);
    return nullptr;
}

} // namespace

QStandardItem* AppendFieldNode(QStandardItemModel& model, const TFieldNode& node, const TreeIconProvider& icons)
{
    QStandardItem* item = Item(node.caption, node.icon, ftnColumn, icons);
    item->setData(node.columnName, ftrColumnName);
    item->setData(node.kind, ftrOverlay);
    item->setDragEnabled(true);
    item->appendRow(Item(node.typeText, node.childIcon, ftnType, icons));
    item->appendRow(Item(QString::number(node.size), node.childIcon, ftnSize, icons));
    if (!node.indexName.isEmpty())
        item->appendRow(Item(node.indexName, kTreeIconIndex, ftnIndex, icons));
    model.appendRow(item);
    return item;
}

bool FillFieldTree(const TFieldContext& context, QStandardItemModel& model, const TreeIconProvider& icons)
{
    model.clear();
    bool ok = false;
    const QList<TFieldNode> nodes = FieldNodes(context, &ok);
    for (const TFieldNode& node : nodes)
        AppendFieldNode(model, node, icons);
    return ok;
}

QStandardItem* ColumnNodeOf(QStandardItem* item)
{
    while (item && item->data(ftrNodeType).toInt() != ftnColumn)
        item = item->parent();
    return item;
}

QStandardItem* FindFieldNode(const QStandardItemModel& model, const QString& columnName)
{
    for (int i = 0; i < model.rowCount(); ++i)
        if (model.item(i)->data(ftrColumnName).toString().compare(columnName, Qt::CaseInsensitive) == 0)
            return model.item(i);
    return nullptr;
}

void SetIndexChild(QStandardItem* columnNode, const QString& indexName, const TreeIconProvider& icons)
{
    if (!columnNode)
        return;
    QStandardItem* child = ChildOfType(columnNode, ftnIndex);
    if (indexName.isEmpty()) {
        if (child)
            columnNode->removeRow(child->row());
        return;
    }
    if (child)
        child->setText(indexName);
    else
        columnNode->appendRow(Item(indexName, kTreeIconIndex, ftnIndex, icons));
}

void SetSizeChild(QStandardItem* columnNode, int size)
{
    if (QStandardItem* child = columnNode ? ChildOfType(columnNode, ftnSize) : nullptr)
        child->setText(QString::number(size));
}
