#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

// One line of a field definition file or of a template's column block:
// name|data type|size|protected|kind|
struct FieldDefinition
{
    QString name;
    int dataType = 1;
    int size = 0;
    bool isProtected = false;
    int kind = 0;

    QString Line() const;
};

// Reads one definition line; false for an empty or malformed line.
bool ParseFieldDefinition(const QString& line, FieldDefinition* out);

// The definitions of a ".dat" file, empty lines skipped.
QList<FieldDefinition> LoadFieldDefinitions(const QString& file, bool* ok = nullptr);
bool SaveFieldDefinitions(const QString& file, const QList<FieldDefinition>& fields);

// An index line of a template: an empty name is the primary index.
struct TemplateIndex
{
    QString name;
    QStringList fields;
};

// A table definition template (".cb" / ".pb"): line 1 is skipped, column lines run up to
// "[INDEXES]", index lines up to "[CONTROLS]", the card layout lines follow.
struct TableTemplate
{
    QList<FieldDefinition> fields;
    QList<TemplateIndex> indexes;
    QStringList controls;
};

bool ReadTableTemplate(const QString& file, TableTemplate* out, QString* error = nullptr);

// What creating a table needs besides the template. Column names of the profile record are
// matched without regard to case.
struct NewTableContext
{
    QString installFolder;   // program folder + "install/"
    QSqlRecord profile;      // the current profile row (may be empty)
    QString mainCurrency = QStringLiteral("BEF");
};

// Creates tableName in the administration's database from the template when it does not
// exist yet: the table and its indexes, one ".fld" list file per column that has one in
// install/ (leeg.txt for list fields without one), the first record (identifier 1) for the
// contacts (module 1) and products (module 6), and tableName + ".dat". All database work is
// one transaction. A table that exists already is left as it is (true).
bool CreateTableFromTemplate(int module, const QString& templateFile, const QString& tableName,
                             const QString& administrationFolder, QSqlDatabase db,
                             const NewTableContext& context, QString* error = nullptr);

// CREATE TABLE text for columns in order; primaryFields become the primary key; defaults holds
// per column an SQL default expression or nothing.
QString CreateTableSql(const QString& tableName, const QList<FieldDefinition>& fields,
                       const QStringList& primaryFields, const QStringList& defaults = {});

// CREATE INDEX text; the index is named tableName + "_" + indexName, text columns case- and
// accent-insensitive (collation QCI).
QString CreateIndexSql(const QString& tableName, const QString& indexName, const QStringList& fields,
                       bool caseInsensitive = true);

// A table the program defines itself (not from a template).
struct TableIndexDefinition
{
    QString name;
    QStringList fields;
    bool caseInsensitive = false;
};

struct TableDefinition
{
    QString name;
    QList<FieldDefinition> fields;
    QStringList defaults;   // per column: an SQL default expression or nothing
    QList<TableIndexDefinition> indexes;
    bool firstColumnIsKey = true;   // false: no primary key (rows are told apart by rowid)
};

FieldDefinition ColumnDefinition(const QString& name, int dataType, int size = 0);

// Creates the table with its indexes in one step unless a table of that name exists.
bool CreateTableIfMissing(QSqlDatabase db, const TableDefinition& table, QString* error = nullptr);

// Creates the administration's fixed tables that are not there yet: categorieA, categorieP,
// Log, factuur and faclijn, with their indexes.
bool CreateAdministrationTables(QSqlDatabase db, QString* error = nullptr);

// Copies the files listed in install/makenewadmin.ini (field 2 source, field 3 target) into a
// new administration folder; existing files are kept.
bool CopyNewAdministrationFiles(const QString& installFolder, const QString& administrationFolder);

// True when the database holds a table of that name (case ignored), in schema "main" or the
// one named.
bool TableExists(QSqlDatabase db, const QString& tableName, const QString& schema = QStringLiteral("main"));
