#include "data/fielddefs.h"

#include "data/engine_statement.h"
#include "data/fieldkinds.h"
#include "data/schema.h"
#include "foundation/files.h"
#include "foundation/msgdlg.h"
#include "foundation/records.h"
#include "foundation/textfile.h"
#include "foundation/translate.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>

QString FieldDefinitionFile(const QString& administrationFolder, const QString& tableName)
{
    return NormaliseFolder(administrationFolder) + tableName + QStringLiteral(".dat");
}

QString ListValueFile(const QString& administrationFolder, const QString& columnName)
{
    return NormaliseFolder(administrationFolder) + columnName + QStringLiteral(".fld");
}

QString GridLayoutFile(const QString& administrationFolder, const QString& tableName)
{
    return NormaliseFolder(administrationFolder) + tableName + QStringLiteral(".grw");
}

namespace {

void TellMissing(const QString& file)
{
    QString text = Translate(NL("Bestand <%s> ontbreekt of kan niet gelezen worden"));
    ShowNotice(text.replace(QStringLiteral("%s"), file), false);
}

} // namespace

bool LoadDefinitionLines(const QString& file, QStringList* lines, bool tellUser)
{
    bool ok = false;
    *lines = LoadTextLines(file, &ok);
    if (!ok && tellUser)
        TellMissing(file);
    return ok;
}

QStringList WithoutDefinitionsOf(const QStringList& lines, const QStringList& names)
{
    QStringList kept;
    for (const QString& line : lines)
        if (!names.contains(FieldOf(line, 1).trimmed()))
            kept.append(line);
    return kept;
}

bool SetDefinitionSize(QStringList* lines, const QString& columnName, int size)
{
    for (QString& line : *lines) {
        if (FieldOf(line, 1).trimmed() == columnName) {
            line = SetFieldOf(line, 3, QString::number(size));
            return true;
        }
    }
    return false;
}

bool AppendListValue(const QString& file, const QString& value)
{
    QStringList lines;
    if (!LoadLinesForRewrite(file, &lines))
        return false;
    for (const QString& line : lines)
        if (line.trimmed().compare(value, Qt::CaseInsensitive) == 0)
            return true;
    lines.append(value);
    return SaveTextLines(file, lines);
}

bool RemoveListValue(const QString& file, const QString& value)
{
    if (!QFileInfo(file).isFile())
        return true;
    QStringList lines;
    if (!LoadLinesForRewrite(file, &lines))
        return false;
    QStringList kept;
    for (int i = 0; i < lines.size(); ++i)
        if (i == 0 || lines.at(i).trimmed().compare(value, Qt::CaseInsensitive) != 0)
            kept.append(lines.at(i));
    return kept.size() == lines.size() || SaveTextLines(file, kept);
}

bool LoadReservedNames(const QString& dataFolder, QStringList* names, bool tellUser)
{
    const QString file = FindFileCaseInsensitive(NormaliseFolder(dataFolder) + QStringLiteral("RWSQL.txt"));
    bool ok = false;
    const QStringList lines = LoadTextLines(file, &ok);
    names->clear();
    if (!ok) {
        if (tellUser)
            TellMissing(file);
        return false;
    }
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            names->append(line.trimmed().toUpper());
    return true;
}

bool IsValidNewColumnName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    return pattern.match(name).hasMatch() && IsValidColumnName(name);
}

NewNameProblem CheckNewColumnName(const QString& name, int kind, const QStringList& existingColumns,
                                  const QStringList& reservedNames)
{
    QStringList names{name};
    if (kind == fkPrice)
        names.append(name + QLatin1Char('E'));
    for (const QString& n : names)
        if (!IsValidNewColumnName(n))
            return NewNameProblem::Invalid;
    for (const QString& n : names)
        for (const QString& existing : existingColumns)
            if (existing.compare(n, Qt::CaseInsensitive) == 0)
                return NewNameProblem::Exists;
    for (const QString& n : names)
        if (reservedNames.contains(n.toUpper()))
            return NewNameProblem::Reserved;
    return NewNameProblem::None;
}

void ShowNameProblem(NewNameProblem problem, const QString& name)
{
    switch (problem) {
    case NewNameProblem::Exists:
        ShowNotice(NL("Naam bestaat al!"), true, NL("OK"));
        break;
    case NewNameProblem::Invalid:
    case NewNameProblem::Reserved: {
        QString text = Translate(NL("<%s> mag niet gebruikt worden als veldnaam"));
        ShowNotice(text.replace(QStringLiteral("%s"), name), false, NL("OK"));
        break;
    }
    case NewNameProblem::None:
    case NewNameProblem::NoReservedList:
        break;
    }
}

QList<FieldDefinition> TableColumns(QSqlDatabase db, const QString& tableName)
{
    QList<FieldDefinition> columns;
    if (!IsSafeIdentifier(tableName))
        return columns;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA main.table_info(%1)").arg(QuoteIdentifier(tableName))))
        return columns;
    while (q.next()) {
        FieldDefinition def;
        def.name = q.value(1).toString();
        int size = 0;
        def.dataType = DataTypeOfDeclared(q.value(2).toString(), &size);
        def.size = StoredSize(def.dataType, size);
        columns.append(def);
    }
    return columns;
}

namespace {

int KindOfDataType(int dataType)
{
    switch (dataType) {
    case dtText:
        return fkText;
    case dtMemo:
        return fkNotes;
    case dtBoolean:
        return fkYesNo;
    case dtDate:
        return fkDate;
    case dtTime:
        return fkTime;
    case dtGraphic:
        return fkPicture;
    default:
        return fkNumber;
    }
}

} // namespace

bool RepairFieldDefinitions(QSqlDatabase db, const QString& administrationFolder, const QString& tableName,
                            QStringList* changedColumns)
{
    const QList<FieldDefinition> columns = TableColumns(db, tableName);
    if (columns.isEmpty())
        return false;
    const QString file = FieldDefinitionFile(administrationFolder, tableName);
    QStringList lines;
    if (!QFileInfo(file).isFile() || !LoadLinesForRewrite(file, &lines))
        return false;   // unreadable: never replace what could not be seen
    QStringList repaired;
    QStringList changed;
    for (const FieldDefinition& column : columns) {
        QString found;
        for (const QString& line : lines) {
            FieldDefinition def;
            if (ParseFieldDefinition(line, &def) && def.name.compare(column.name, Qt::CaseInsensitive) == 0) {
                // The kind and flag stay; name, type and size are the table's.
                found = line;
                if (def.name != column.name)
                    found = SetFieldOf(found, 1, column.name);
                if (def.dataType != column.dataType)
                    found = SetFieldOf(found, 2, QString::number(column.dataType));
                if (def.size != column.size && (column.dataType == dtText || column.dataType == dtMemo))
                    found = SetFieldOf(found, 3, QString::number(column.size));
                if (found != line)
                    changed.append(column.name);
                break;
            }
        }
        if (found.isEmpty()) {
            FieldDefinition def = column;
            def.kind = KindOfDataType(column.dataType);
            found = def.Line();
            changed.append(column.name);
        }
        repaired.append(found);
    }
    QStringList before;
    for (const QString& line : lines) {
        FieldDefinition def;
        if (ParseFieldDefinition(line, &def)) {
            before.append(line);
            if (!repaired.contains(line))
                changed.append(def.name);
        }
    }
    if (before == repaired)
        return false;
    if (changed.isEmpty())
        changed.append(tableName);   // only the order differed
    changed.removeDuplicates();
    if (changedColumns)
        *changedColumns = changed;
    return SaveTextLines(file, repaired);
}
