#include "data/tabletemplate.h"

#include "data/engine_statement.h"
#include "data/schema.h"
#include "foundation/files.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/textutil.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

QString FieldDefinition::Line() const
{
    return QStringLiteral("%1|%2|%3|%4|%5|")
        .arg(name)
        .arg(dataType)
        .arg(size)
        .arg(isProtected ? QStringLiteral("TRUE") : QStringLiteral("FALSE"))
        .arg(kind);
}

bool ParseFieldDefinition(const QString& line, FieldDefinition* out)
{
    if (line.trimmed().isEmpty() || SeparatorCount(line) < 2)
        return false;
    FieldDefinition def;
    def.name = FieldOf(line, 1).trimmed();
    bool typeOk = false;
    def.dataType = FieldOf(line, 2).trimmed().toInt(&typeOk);
    def.size = FieldOf(line, 3).trimmed().toInt();
    def.isProtected = EvalBool(FieldOf(line, 4).trimmed());
    def.kind = FieldOf(line, 5).trimmed().toInt();
    if (def.kind == 106)
        def.kind = 11;   // older files stored dates as 106
    if (def.name.isEmpty() || !typeOk)
        return false;
    *out = def;
    return true;
}

QList<FieldDefinition> LoadFieldDefinitions(const QString& file, bool* ok)
{
    QList<FieldDefinition> result;
    bool read = false;
    const QStringList lines = LoadTextLines(file, &read);
    for (const QString& line : lines) {
        FieldDefinition def;
        if (ParseFieldDefinition(line, &def))
            result.append(def);
    }
    if (ok)
        *ok = read;
    return result;
}

bool SaveFieldDefinitions(const QString& file, const QList<FieldDefinition>& fields)
{
    QStringList lines;
    for (const FieldDefinition& def : fields)
        lines.append(def.Line());
    return SaveTextLines(file, lines);
}

bool ReadTableTemplate(const QString& file, TableTemplate* out, QString* error)
{
    bool ok = false;
    const QStringList lines = LoadTextLines(FindFileCaseInsensitive(file), &ok);
    if (!ok) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(file);
        return false;
    }
    TableTemplate result;
    enum { Columns, Indexes, Controls } section = Columns;
    for (int i = 1; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const QString bare = line.trimmed();
        if (bare.compare(u"[INDEXES]", Qt::CaseInsensitive) == 0 && section == Columns) {
            section = Indexes;
            continue;
        }
        if (bare.compare(u"[CONTROLS]", Qt::CaseInsensitive) == 0 && section != Controls) {
            section = Controls;
            continue;
        }
        if (bare.isEmpty())
            continue;
        switch (section) {
        case Columns: {
            FieldDefinition def;
            if (ParseFieldDefinition(line, &def))
                result.fields.append(def);
            break;
        }
        case Indexes: {
            TemplateIndex index;
            index.name = FieldOf(line, 1).trimmed();
            for (const QString& f : FieldOf(line, 2).split(QLatin1Char(';'), Qt::SkipEmptyParts))
                index.fields.append(f.trimmed());
            if (!index.fields.isEmpty())
                result.indexes.append(index);
            break;
        }
        case Controls:
            result.controls.append(line);
            break;
        }
    }
    if (result.fields.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 defines no columns").arg(file);
        return false;
    }
    *out = result;
    return true;
}

namespace {

const FieldDefinition* FindField(const QList<FieldDefinition>& fields, const QString& name)
{
    for (const FieldDefinition& def : fields)
        if (def.name.compare(name, Qt::CaseInsensitive) == 0)
            return &def;
    return nullptr;
}

bool IsTextType(int dataType)
{
    return dataType == dtText || dataType == dtMemo;
}

bool Run(QSqlDatabase db, const QString& sql, QString* error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text() + QStringLiteral(" [") + sql + QLatin1Char(']');
    return false;
}

// A savepoint works both inside and outside the caller's transaction.
class Savepoint
{
public:
    Savepoint(QSqlDatabase db, QString* error) : m_db(db), m_name(QStringLiteral("create_tables_%1").arg(++s_depth))
    {
        m_open = Run(m_db, QStringLiteral("SAVEPOINT ") + m_name, error);
    }
    ~Savepoint()
    {
        if (m_open) {
            Run(m_db, QStringLiteral("ROLLBACK TO ") + m_name, nullptr);
            Run(m_db, QStringLiteral("RELEASE ") + m_name, nullptr);
        }
        --s_depth;
    }
    bool IsOpen() const { return m_open; }
    bool Release(QString* error)
    {
        m_open = false;
        return Run(m_db, QStringLiteral("RELEASE ") + m_name, error);
    }

private:
    static inline int s_depth = 0;
    QSqlDatabase m_db;
    QString m_name;
    bool m_open = false;
};

bool CheckNames(const QString& tableName, const QList<FieldDefinition>& fields, QString* error)
{
    if (!IsValidColumnName(tableName)) {
        if (error)
            *error = QStringLiteral("invalid table name %1").arg(tableName);
        return false;
    }
    for (const FieldDefinition& def : fields) {
        if (!IsValidColumnName(def.name) || !IsKnownDataType(def.dataType)) {
            if (error)
                *error = QStringLiteral("invalid column %1").arg(def.Line());
            return false;
        }
    }
    return true;
}

QString ProfileText(const QSqlRecord& profile, const QString& column)
{
    const int i = profile.indexOf(column);
    return i < 0 ? QString() : profile.value(i).toString().trimmed();
}

// The first contact carries the user's own company data; its display name follows the
// composition every later post applies.
QList<QPair<QString, QVariant>> FirstContactValues(const NewTableContext& context)
{
    const QSqlRecord& p = context.profile;
    const QString company = ProfileText(p, QStringLiteral("company"));
    const QString name = ProfileText(p, QStringLiteral("Name"));
    const QString comName = company.isEmpty() ? name : QString(company + QLatin1Char(' ') + name).trimmed();
    return {
        {QStringLiteral("Name"), name},
        {QStringLiteral("COMPANY"), company},
        {QStringLiteral("ComName"), comName.left(99)},
        {QStringLiteral("Zip"), ProfileText(p, QStringLiteral("Zip"))},
        {QStringLiteral("Address"), ProfileText(p, QStringLiteral("Address"))},
        {QStringLiteral("Place"), ProfileText(p, QStringLiteral("Place"))},
        {QStringLiteral("Telephone private"), ProfileText(p, QStringLiteral("Telephone Private"))},
        {QStringLiteral("Telephone Office"), ProfileText(p, QStringLiteral("Telephone office"))},
        {QStringLiteral("fax"), ProfileText(p, QStringLiteral("Fax"))},
        {QStringLiteral("Gsm"), ProfileText(p, QStringLiteral("Gsm"))},
        {QStringLiteral("Emailaddress"), ProfileText(p, QStringLiteral("Email"))},
        {QStringLiteral("Website"), ProfileText(p, QStringLiteral("Website"))},
        {QStringLiteral("vatNumber"), ProfileText(p, QStringLiteral("vatnr"))},
        {QStringLiteral("AccountNr"), ProfileText(p, QStringLiteral("Accountnr"))},
        {QStringLiteral("CreatingDate"), QDate::currentDate().toString(Qt::ISODate)},
    };
}

bool InsertFirstRecord(int module, const QString& tableName, const QList<FieldDefinition>& fields,
                       QSqlDatabase db, const NewTableContext& context, QString* error)
{
    QList<QPair<QString, QVariant>> wanted;
    if (module == 1) {
        wanted = FirstContactValues(context);
    } else {
        wanted = {{QStringLiteral("P_CREATINGDATE"), QDate::currentDate().toString(Qt::ISODate)},
                  {QStringLiteral("P_CURRENCY"), context.mainCurrency}};
    }
    wanted.append({QStringLiteral("LISTS"), QStringLiteral("0")});
    wanted.append({QStringLiteral("INLIST"), 0});

    QStringList columns{QuoteIdentifier(fields.first().name)};
    QVariantList values{1};
    for (const auto& [name, value] : wanted) {
        const FieldDefinition* def = FindField(fields, name);
        if (!def || def == &fields.first())
            continue;
        QVariant v = value;
        if (def->dataType == dtText && def->size > 0)
            v = v.toString().left(def->size);
        columns.append(QuoteIdentifier(def->name));
        values.append(v);
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks.append(QStringLiteral("?"));
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(QuoteIdentifier(tableName), columns.join(u','), marks.join(u',')));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

void CopyListFiles(const QList<FieldDefinition>& fields, const QString& installFolder,
                   const QString& administrationFolder)
{
    for (const FieldDefinition& def : fields) {
        const QString target = administrationFolder + def.name + QStringLiteral(".fld");
        if (QFile::exists(target))
            continue;
        const QString source = FindFileCaseInsensitive(installFolder + def.name + QStringLiteral(".fld"));
        if (QFile::exists(source))
            CopyFileIfExists(source, target);
        else if (def.kind == 13)
            CopyFileIfExists(installFolder + QStringLiteral("leeg.txt"), target);
    }
}

} // namespace

QString CreateTableSql(const QString& tableName, const QList<FieldDefinition>& fields,
                       const QStringList& primaryFields, const QStringList& defaults)
{
    const bool inlinePrimary = primaryFields.size() == 1;
    QStringList columns;
    for (int i = 0; i < fields.size(); ++i) {
        const FieldDefinition& def = fields.at(i);
        QString column = QuoteIdentifier(def.name) + QLatin1Char(' ') + DeclaredTypeOf(def.dataType, def.size);
        if (i < defaults.size() && !defaults.at(i).isEmpty())
            column += QStringLiteral(" DEFAULT ") + defaults.at(i);
        if (inlinePrimary && def.name.compare(primaryFields.first(), Qt::CaseInsensitive) == 0)
            column += QStringLiteral(" NOT NULL PRIMARY KEY");
        columns.append(column);
    }
    if (primaryFields.size() > 1) {
        QStringList keys;
        for (const QString& f : primaryFields)
            keys.append(QuoteIdentifier(f));
        columns.append(QStringLiteral("PRIMARY KEY (%1)").arg(keys.join(u',')));
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QuoteIdentifier(tableName), columns.join(QStringLiteral(", ")));
}

QString CreateIndexSql(const QString& tableName, const QString& indexName, const QStringList& fields,
                       bool caseInsensitive)
{
    QStringList keys;
    for (const QString& f : fields)
        keys.append(QuoteIdentifier(f) + (caseInsensitive ? QStringLiteral(" COLLATE QCI") : QString()));
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(QuoteIdentifier(tableName + QLatin1Char('_') + indexName), QuoteIdentifier(tableName),
             keys.join(u','));
}

bool TableExists(QSqlDatabase db, const QString& tableName, const QString& schema)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE")
                  .arg(QuoteIdentifier(schema)));
    q.addBindValue(tableName);
    return q.exec() && q.next();
}

namespace {

bool CreateIndexes(QSqlDatabase db, const QString& tableName, const QList<FieldDefinition>& fields,
                   const QList<TemplateIndex>& indexes, QString* error)
{
    for (const TemplateIndex& index : indexes) {
        if (index.name.isEmpty())
            continue;
        if (!IsValidColumnName(index.name)) {
            if (error)
                *error = QStringLiteral("invalid index name %1").arg(index.name);
            return false;
        }
        bool text = false;
        for (const QString& f : index.fields) {
            const FieldDefinition* def = FindField(fields, f);
            if (!def) {
                if (error)
                    *error = QStringLiteral("index %1 names the unknown column %2").arg(index.name, f);
                return false;
            }
            text = text || IsTextType(def->dataType);
        }
        // Numbers and dates keep their natural order, so the planner can use the index for
        // plain comparisons on them.
        if (!Run(db, CreateIndexSql(tableName, index.name, index.fields, text), error))
            return false;
    }
    return true;
}

QStringList PrimaryFields(const QList<TemplateIndex>& indexes)
{
    for (const TemplateIndex& index : indexes)
        if (index.name.isEmpty())
            return index.fields;
    return {};
}

} // namespace

bool CreateTableFromTemplate(int module, const QString& templateFile, const QString& tableName,
                             const QString& administrationFolder, QSqlDatabase db,
                             const NewTableContext& context, QString* error)
{
    if (TableExists(db, tableName))
        return true;
    TableTemplate tpl;
    if (!ReadTableTemplate(templateFile, &tpl, error) || !CheckNames(tableName, tpl.fields, error))
        return false;
    const QString folder = NormaliseFolder(administrationFolder);
    {
        Savepoint savepoint(db, error);
        if (!savepoint.IsOpen())
            return false;
        if (!Run(db, CreateTableSql(tableName, tpl.fields, PrimaryFields(tpl.indexes)), error)
            || !CreateIndexes(db, tableName, tpl.fields, tpl.indexes, error))
            return false;
        if ((module == 1 || module == 6) && !InsertFirstRecord(module, tableName, tpl.fields, db, context, error))
            return false;
        if (!savepoint.Release(error))
            return false;
    }
    CopyListFiles(tpl.fields, NormaliseFolder(context.installFolder), folder);
    if (!SaveFieldDefinitions(folder + tableName + QStringLiteral(".dat"), tpl.fields)) {
        if (error)
            *error = QStringLiteral("cannot write %1.dat").arg(tableName);
        return false;
    }
    return true;
}

namespace {

FieldDefinition Col(const char* name, int type, int size = 0)
{
    FieldDefinition def;
    def.name = QString::fromLatin1(name);
    def.dataType = type;
    def.size = size;
    return def;
}

QList<FieldDefinition> CategoryColumns()
{
    return {Col("cnr", dtInteger), Col("categorie", dtText, 60), Col("aantal", dtInteger),
            Col("ima", dtGraphic), Col("dyna", dtBoolean), Col("dynax", dtMemo, 240)};
}

QList<TableDefinition> AdministrationTables()
{
    return {
        {QStringLiteral("categorieA"), CategoryColumns(), {}, {}},
        {QStringLiteral("categorieP"), CategoryColumns(), {}, {}},
        {QStringLiteral("Log"),
         {Col("lognr", dtInteger), Col("Datum", dtDate), Col("Tijd", dtTime), Col("ltype", dtInteger),
          Col("pnr", dtInteger), Col("BeNaam", dtText, 100), Col("ldata", dtText, 60), Col("Notitie", dtMemo, 240)},
         // Entries get the moment they are written unless the caller gives one.
         {QString(), QStringLiteral("(date('now','localtime'))"), QStringLiteral("(time('now','localtime'))")},
         {{QStringLiteral("iDatumTijd"), {QStringLiteral("Datum"), QStringLiteral("Tijd")}, false},
          {QStringLiteral("ipnr"), {QStringLiteral("pnr")}, false}}},
        {QStringLiteral("factuur"),
         {Col("F_ID", dtInteger), Col("F_FACNR", dtText, 12), Col("F_FACDATE", dtDate), Col("F_EXPDATE", dtDate),
          Col("F_CID", dtInteger), Col("F_CURRENCY", dtText, 5), Col("F_NOTES", dtText, 255),
          Col("F_PAYED", dtBoolean), Col("F_LOCKED", dtBoolean), Col("F_DISCOUNT", dtFloat),
          Col("F_TOTVAL", dtFloat), Col("F_TOTEURO", dtFloat), Col("F_TYPE", dtInteger),
          Col("F_HERCOUNT", dtInteger), Col("F_VNR", dtInteger), Col("F_FREE", dtText, 30),
          Col("F_VATCOEF", dtFloat), Col("F_PREPAYED", dtFloat)},
         {},
         {{QStringLiteral("iAdr1"), {QStringLiteral("F_FACNR")}, true},
          {QStringLiteral("iAdr2"), {QStringLiteral("F_FACDATE")}, false},
          {QStringLiteral("iAdr4"), {QStringLiteral("F_CID")}, false},
          {QStringLiteral("iAdr12"), {QStringLiteral("F_TYPE")}, false}}},
        {QStringLiteral("faclijn"),
         {Col("FL_ID", dtInteger), Col("FL_FNR", dtInteger), Col("FL_AMOUNT", dtFloat), Col("FL_PRODUCT", dtText, 255),
          Col("FL_PRICE", dtFloat), Col("FL_EURO", dtFloat), Col("FL_VAT", dtFloat), Col("FL_Discount", dtFloat),
          Col("FL_PID", dtInteger), Col("FL_IVK", dtFloat), Col("FL_Afkoef", dtFloat), Col("FL_Afsoort", dtInteger)},
         {},
         {{QStringLiteral("indFNR"), {QStringLiteral("FL_FNR")}, false},
          {QStringLiteral("iAdr8"), {QStringLiteral("FL_PID")}, false}}},
    };
}

} // namespace

FieldDefinition ColumnDefinition(const QString& name, int dataType, int size)
{
    FieldDefinition def;
    def.name = name;
    def.dataType = dataType;
    def.size = size;
    return def;
}

bool CreateTableIfMissing(QSqlDatabase db, const TableDefinition& table, QString* error)
{
    if (TableExists(db, table.name))
        return true;
    if (!CheckNames(table.name, table.fields, error))
        return false;
    Savepoint savepoint(db, error);
    if (!savepoint.IsOpen())
        return false;
    const QStringList key = table.firstColumnIsKey ? QStringList{table.fields.first().name} : QStringList();
    if (!Run(db, CreateTableSql(table.name, table.fields, key, table.defaults), error))
        return false;
    for (const TableIndexDefinition& index : table.indexes)
        if (!Run(db, CreateIndexSql(table.name, index.name, index.fields, index.caseInsensitive), error))
            return false;
    return savepoint.Release(error);
}

bool CreateAdministrationTables(QSqlDatabase db, QString* error)
{
    Savepoint savepoint(db, error);
    if (!savepoint.IsOpen())
        return false;
    for (const TableDefinition& table : AdministrationTables())
        if (!CreateTableIfMissing(db, table, error))
            return false;
    return savepoint.Release(error);
}

bool CopyNewAdministrationFiles(const QString& installFolder, const QString& administrationFolder)
{
    const QString install = NormaliseFolder(installFolder);
    const QString target = NormaliseFolder(administrationFolder);
    bool ok = true;
    bool read = false;
    const QStringList lines = LoadTextLines(install + QStringLiteral("makenewadmin.ini"), &read);
    for (const QString& line : lines) {
        const QString source = FieldOf(line, 2).trimmed();
        const QString name = FieldOf(line, 3).trimmed();
        // The names come from a text file: keep every copy inside the two folders.
        if (source.isEmpty() || name.isEmpty() || source.contains(u'/') || name.contains(u'/')
            || source.contains(QStringLiteral("..")) || name.contains(QStringLiteral("..")))
            continue;
        if (QFile::exists(target + name))
            continue;
        ok = CopyFileIfExists(FindFileCaseInsensitive(install + source), target + name) && ok;
    }
    return ok && read;
}
