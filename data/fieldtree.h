#pragma once

#include <QIcon>
#include <QList>
#include <QStandardItemModel>

#include <functional>

#include "data/columnops.h"

// The designer's field tree as an item model: one node per column (its translated name,
// the icon of its kind, the kind as overlay) with the type and size children and, when an
// index covers exactly that column, an index child ("Primary" for the primary index).
enum FieldTreeRole {
    ftrColumnName = Qt::UserRole + 1,   // on column nodes: the stored column name
    ftrIconIndex,                       // index into the small image list
    ftrOverlay,                         // column nodes: the field kind
    ftrNodeType,                        // FieldTreeNodeType
};
enum FieldTreeNodeType { ftnColumn = 1, ftnType, ftnSize, ftnIndex };

// The icon of an image list index; an empty icon when there is none.
using TreeIconProvider = std::function<QIcon(int index)>;

// Appends a column node; returns it.
QStandardItem* AppendFieldNode(QStandardItemModel& model, const TFieldNode& node, const TreeIconProvider& icons = {});
// Clears the model and fills it from the definition file of the context's table; false (told)
// when the file is missing.
bool FillFieldTree(const TFieldContext& context, QStandardItemModel& model, const TreeIconProvider& icons = {});
// The column node of a node (a child stands for its parent), or nullptr.
QStandardItem* ColumnNodeOf(QStandardItem* item);
// The column node of a stored column name, or nullptr.
QStandardItem* FindFieldNode(const QStandardItemModel& model, const QString& columnName);
// Sets, adds or removes the index child of a column node.
void SetIndexChild(QStandardItem* columnNode, const QString& indexName, const TreeIconProvider& icons = {});
// Shows a new size in the size child.
void SetSizeChild(QStandardItem* columnNode, int size);
