#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "data/tabletemplate.h"

// The side files of user-defined columns: the field definition file (table name + ".dat"),
// list-value files (column name + ".fld"), the reserved names of "RWSQL.txt" and the explorer's
// remembered column set (table name + ".grw").

QString FieldDefinitionFile(const QString& administrationFolder, const QString& tableName);
QString ListValueFile(const QString& administrationFolder, const QString& columnName);
QString GridLayoutFile(const QString& administrationFolder, const QString& tableName);

// The lines of a definition file as they are, for changes that keep every other line verbatim.
// False (with the user told which file) when the file is missing or unreadable.
bool LoadDefinitionLines(const QString& file, QStringList* lines, bool tellUser = true);
// Removes every line whose field 1 equals one of the names (case-sensitive, as stored).
QStringList WithoutDefinitionsOf(const QStringList& lines, const QStringList& names);
// Field 3 of the first line naming the column set to the size; false when no line names it.
bool SetDefinitionSize(QStringList* lines, const QString& columnName, int size);

// Appends a choice to a list-value file (created when missing; a choice already listed is not
// added twice).
bool AppendListValue(const QString& file, const QString& value);
// Removes a choice from a list-value file; line 1 (the default) is never removed, and a
// missing file is left missing.
bool RemoveListValue(const QString& file, const QString& value);

// The words of the data folder's "RWSQL.txt", upper-cased. False (with the user told) when
// the file is missing.
bool LoadReservedNames(const QString& dataFolder, QStringList* names, bool tellUser = true);

// A name a new column may have: a letter, then letters, digits or "_", within the engine's
// length for names.
bool IsValidNewColumnName(const QString& name);

enum class NewNameProblem { None, Invalid, Exists, Reserved, NoReservedList };
// Why a new column (and, for a price, its companion name + "E") may not have this name: the
// pattern, a column of the table of the same name without regard to case, or a reserved word.
NewNameProblem CheckNewColumnName(const QString& name, int kind, const QStringList& existingColumns,
                                  const QStringList& reservedNames);
// Tells the user why, with the system's message: "Naam bestaat al!" or "<%s> mag niet
// gebruikt worden als veldnaam".
void ShowNameProblem(NewNameProblem problem, const QString& name);

// The columns of a table in order, with their data type code and size.
QList<FieldDefinition> TableColumns(QSqlDatabase db, const QString& tableName);

// Brings a ".dat" file in line with its table: one line per column in the table's order;
// lines of columns that exist are kept as they are (their kind), lines of columns that no
// longer exist are dropped, columns without a line get one from the table (kind 0 for the
// template columns the table was made with is unknown, so: text 2, memo 1, yes/no 4, date 11,
// time 12, picture 6, numbers 110). True when the file had to change (and was rewritten).
// A missing file is left missing (its users tell about it).
bool RepairFieldDefinitions(QSqlDatabase db, const QString& administrationFolder, const QString& tableName,
                            QStringList* changedColumns = nullptr);
