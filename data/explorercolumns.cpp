#include "data/explorercolumns.h"

#include "data/dataset.h"
#include "data/fielddefs.h"
#include "foundation/columns.h"
#include "foundation/records.h"
#include "foundation/textfile.h"

#include <QSet>

namespace {

const QString kHeader = QStringLiteral("[QuillonColumns 1]");

} // namespace

QString ExplorerColumnsFile(const QString& administrationFolder, const QString& tableName, int module)
{
    return GridLayoutFile(administrationFolder, tableName + QString::number(module));
}

QList<TExplorerColumn> LoadExplorerColumns(const QString& file, bool* ok)
{
    bool read = false;
    const QStringList lines = LoadTextLines(file, &read);
    QList<TExplorerColumn> columns;
    if (!read || lines.isEmpty() || lines.first().trimmed() != kHeader) {
        if (ok)
            *ok = false;
        return columns;
    }
    for (int i = 1; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        TExplorerColumn column;
        column.field = FieldOf(line, 1);
        bool widthOk = false;
        column.width = FieldOf(line, 2).toInt(&widthOk);
        if (column.field.isEmpty() || !widthOk || column.width < 0)
            continue;
        column.visible = FieldOf(line, 3).compare(QStringLiteral("FALSE"), Qt::CaseInsensitive) != 0;
        column.dark = FieldOf(line, 4).compare(QStringLiteral("dark"), Qt::CaseInsensitive) == 0;
        columns.append(column);
    }
    if (ok)
        *ok = true;
    return columns;
}

bool SaveExplorerColumns(const QString& file, const QList<TExplorerColumn>& columns)
{
    QStringList lines{kHeader};
    for (const TExplorerColumn& column : columns) {
        lines << column.field + QLatin1Char('|') + QString::number(column.width) + QLatin1Char('|')
                     + (column.visible ? QStringLiteral("TRUE") : QStringLiteral("FALSE")) + QLatin1Char('|')
                     + (column.dark ? QStringLiteral("dark") : QStringLiteral("light")) + QLatin1Char('|');
    }
    return SaveTextLines(file, lines);
}

bool IsExplorerListable(TDataSet& dataSet, const QString& field)
{
    TField* f = dataSet.FindField(field);
    if (!f)
        return false;
    if (f->IsCalculated())
        return true;
    return IsListableField(f->FieldName(), f->DataType());
}

QList<TExplorerColumn> ReconcileExplorerColumns(const QList<TExplorerColumn>& remembered, TDataSet& dataSet,
                                                int maxWidth, int defaultWidth)
{
    QList<TExplorerColumn> result;
    QSet<QString> seen;
    auto add = [&](TExplorerColumn column) {
        TField* field = dataSet.FindField(column.field);
        if (!field || !IsExplorerListable(dataSet, field->FieldName()))
            return;
        const QString key = field->FieldName().toLower();
        if (seen.contains(key))
            return;
        seen.insert(key);
        column.field = field->FieldName();
        if (maxWidth > 0 && column.width > maxWidth)
            column.width = maxWidth;
        result.append(column);
    };
    for (const TExplorerColumn& column : remembered)
        add(column);
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        TExplorerColumn column;
        column.field = dataSet.Field(i)->FieldName();
        column.width = defaultWidth;
        add(column);
    }
    return result;
}
