#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TDataSet;

// One column of the open explorer as the user left it.
struct TExplorerColumn
{
    QString field;
    int width = 64;
    bool visible = true;
    bool dark = false;  // black text: the sort column; the others are white on grey
    bool operator==(const TExplorerColumn& other) const = default;
};

// The remembered column set of the open explorer: administration folder + table name +
// module number + ".grw" ("Adressen1.grw").
QString ExplorerColumnsFile(const QString& administrationFolder, const QString& tableName, int module);

// The file holds a first line "[QuillonColumns 1]" and one line per column, in order:
// "field|width|TRUE or FALSE (visible)|dark or light|". A missing or unreadable file, or one
// of another format, gives no columns and *ok false; unreadable lines are skipped.
QList<TExplorerColumn> LoadExplorerColumns(const QString& file, bool* ok = nullptr);
// Rewrites the file atomically; false when it cannot be written.
bool SaveExplorerColumns(const QString& file, const QList<TExplorerColumn>& columns);

// The columns the open explorer shows for a data set: the remembered set without columns
// the data set no longer has (and without duplicates), then every data set column not yet in
// it (visible, default width), each field once. Columns that cannot be listed (memo,
// picture, system columns) are left out. Widths are cut to maxWidth.
QList<TExplorerColumn> ReconcileExplorerColumns(const QList<TExplorerColumn>& remembered, TDataSet& dataSet,
                                                int maxWidth, int defaultWidth = 100);
// Whether the open explorer may show this column of the data set.
bool IsExplorerListable(TDataSet& dataSet, const QString& field);
