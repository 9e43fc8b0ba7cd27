#include "data/dm.h"

#include "data/postcodes.h"
#include "data/printquery.h"
#include "data/recordrules.h"
#include "data/engine_statement.h"
#include "data/schema.h"
#include "data/scratch.h"
#include "data/shareddb.h"
#include "foundation/files.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/translate.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QPointer<Tdm> s_instance;

const QString kAdminFile = QStringLiteral("admin.sqlite");

} // namespace

template <typename T> T* Tdm::Make(const char* name)
{
    T* dataSet = new T(this);
    dataSet->setObjectName(QString::fromLatin1(name));
    dataSet->AfterOpen = [this](TDataSet& d) { SetUpDisplay(d); };
    return dataSet;
}

TDataSource* Tdm::Source(const char* name, TDataSet* dataSet)
{
    auto* source = new TDataSource(dataSet, this);
    source->setObjectName(QString::fromLatin1(name));
    return source;
}

Tdm::Tdm(QObject* parent) : QObject(parent)
{
    s_instance = this;

    tabContacts = Make<TTable>("tabContacts");
    tabContacts->SetTableName(QStringLiteral("Adressen"));
    tabContacts->SetFilter(QStringLiteral("inlist = TRUE"));

    queAdressen = Make<TQuery>("queAdressen");
    queAdressen->SetUnidirectional(true);
    queAdressen->SetAutoCalcFields(false);
    queAdressen->SetSql(QStringLiteral("SELECT * FROM Adressen"));

    tabProducts = Make<TTable>("tabProducts");
    tabProducts->SetTableName(QStringLiteral("Products"));
    tabProducts->SetFilter(QStringLiteral("inlist = TRUE"));

    queProducts = Make<TQuery>("queProducts");
    queProducts->SetAutoCalcFields(false);
    queProducts->SetSql(QStringLiteral("SELECT * FROM Products "));

    TabCategorie = Make<TTable>("TabCategorie");
    TabCategorie->SetTableName(QStringLiteral("categorieA"));

    TabLog = Make<TTable>("TabLog");
    TabLog->SetTableName(QStringLiteral("Log"));
    TabLog->SetIndexFieldNames(QStringLiteral("Datum;Tijd"));

    TabFact = Make<TTable>("TabFact");
    TabFact->SetTableName(QStringLiteral("factuur"));

    TabFL = Make<TTable>("TabFL");
    TabFL->SetTableName(QStringLiteral("faclijn"));

    QueFacturen = Make<TQuery>("QueFacturen");
    QueFacturen->SetUnidirectional(true);

    queKlaFac = Make<TQuery>("queKlaFac");
    queKlaFac->SetUnidirectional(true);
    queKlaFac->SetSql(QStringList{
        QStringLiteral("SELECT label,f_facdate,f_type,f_currency, F_payed ,SUM(F_totEuro) as SUMEURO,SUM(F_totVal) as SUMVAL  FROM ")
            + ScratchTableName(),
        QStringLiteral("WHERE f_type = 1"),
        QStringLiteral("GROUP BY label,F_facdate ,f_type, f_currency, f_payed ORDER BY F_facdate")});

    queDatabase2 = Make<TQuery>("queDatabase2");
    queDatabase2->SetUnidirectional(true);

    tabZip = Make<TTable>("tabZip");
    tabZip->SetTableName(QStringLiteral("shared.Post"));
    tabCalendar = Make<TTable>("tabCalendar");
    tabCalendar->SetTableName(QStringLiteral("shared.Calendar"));
    Profielen = Make<TTable>("Profielen");
    Profielen->SetTableName(QStringLiteral("shared.profiles"));

    dsPersPerCat = Source("dsPersPerCat", tabContacts);
    dsQueAdressen = Source("dsQueAdressen", queAdressen);
    dsProducts = Source("dsProducts", tabProducts);
    dsQueProducts = Source("dsQueProducts", queProducts);
    dsTabFacturen = Source("dsTabFacturen", TabFact);
    dstabFacLijn = Source("dstabFacLijn", TabFL);
    dsQueFacturen = Source("dsQueFacturen", QueFacturen);
    dsKlaFac = Source("dsKlaFac", queKlaFac);
    dsIni = Source("dsIni", Profielen);

    BuildPrintQuery(OvraIni());
    m_rules = std::make_unique<TRecordRules>(*this);
}

Tdm::~Tdm()
{
    Unbind();
    if (s_instance == this)
        s_instance = nullptr;
}

Tdm* Tdm::Instance()
{
    return s_instance.data();
}

QList<TDataSet*> Tdm::DataSets() const
{
    return {tabContacts, queDatabase2, queAdressen, TabCategorie, TabLog, tabProducts, TabFact,
            TabFL, QueFacturen, queKlaFac, tabZip, tabCalendar, Profielen, queProducts};
}

bool Tdm::Bind(const QString& administrationFolder, const QString& dataFolder, QString* error)
{
    Unbind();
    const QString folder = NormaliseFolder(administrationFolder);
    const QString data = NormaliseFolder(dataFolder);
    const QString adminFile = folder + kAdminFile;
    // Never create an administration database by accident: it is made with the administration.
    if (!QFileInfo(adminFile).isFile()) {
        if (error)
            *error = QStringLiteral("%1 is missing").arg(adminFile);
        return false;
    }
    QString reason;
    EnsureSharedDatabase(data, &reason);
    std::unique_ptr<TDatabase> database = TDatabase::Open(adminFile, SharedDatabaseFile(data), &reason);
    if (!database) {
        // A damaged shared.sqlite must not hide a sound administration: the shared tables
        // then fail on their own (and say which one).
        QString adminReason;
        database = TDatabase::Open(adminFile, QString(), &adminReason);
        if (!database) {
            if (error)
                *error = adminReason;
            return false;
        }
    }
    m_database = std::move(database);
    ++m_binding;
    m_folder = folder;
    m_dataFolder = data;
    for (TDataSet* dataSet : DataSets())
        dataSet->SetDatabase(m_database.get());
    return true;
}

void Tdm::Unbind()
{
    CloseAllTables();
    for (TDataSet* dataSet : DataSets())
        dataSet->SetDatabase(nullptr);
    m_database.reset();
    m_folder.clear();
    m_dataFolder.clear();
}

void Tdm::SetUpDisplay(TDataSet& dataSet)
{
    TBeingSetUp settingUp(dataSet);
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        TField* field = dataSet.Field(i);
        if (!field || field->IsCalculated())
            continue;
        const QString upper = field->FieldName().toUpper();
        field->SetDisplayLabel(Translate(upper));
        switch (field->DataType()) {
        case ftBoolean:
            field->SetDisplayValues(Translate(NL("Ja;Nee")));
            break;
        case ftFloat:
            field->SetDisplayFormat(QStringLiteral(",#0.00"));
            field->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            break;
        case ftSmallint:
        case ftInteger:
        case ftAutoInc:
        case ftMoney:
            field->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            break;
        case ftDate:
            field->SetEditMask(QStringLiteral("!90/90/0000;1;_"));
            field->SetDisplayFormat(QStringLiteral("dd/mm/yyyy"));
            break;
        default:
            break;
        }
        if (upper == u"P_PRICEE" || upper == u"P_SPRICEE") {
            field->SetDisplayFormat(QStringLiteral(",#.00 \"EUR\""));
        } else if (upper == u"VAT" || upper == u"DISCOUNT" || upper == u"PROFITMARGE") {
            field->SetDisplayFormat(QStringLiteral("0.00 \"%\""));
            field->SetEditFormat(QStringLiteral("0.00"));
        }
    }
}

void Tdm::PointCategoryTable(const QString& tableName)
{
    TabCategorie->Close();
    TabCategorie->SetTableName(tableName);
}

namespace {

struct ColumnInfo
{
    QString name;
    int dataType = 0;
};

QList<ColumnInfo> ColumnsOf(QSqlDatabase db, const QString& schema, const QString& table)
{
    QList<ColumnInfo> columns;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(QuoteIdentifier(schema), QuoteIdentifier(table))))
        return columns;
    while (q.next())
        columns.append({q.value(1).toString(), DataTypeOfDeclared(q.value(2).toString())});
    return columns;
}

bool SameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

} // namespace

bool Tdm::CopyTableRows(const QString& folder, const QString& tableName, bool update, TTable& table)
{
    TDatabase* database = table.Database();
    if (!database)
        return false;
    QSqlDatabase db = database->sql();
    const bool wasActive = table.Active();
    const QString indexName = table.IndexName();
    if (!table.Exists())
        return false;
    const QString targetSchema = table.SchemaName().isEmpty() ? QStringLiteral("main") : table.SchemaName();
    const QString targetTable = table.ResolvedTableName().isEmpty() ? table.TableName() : table.ResolvedTableName();

    const QString sourceFile = NormaliseFolder(folder) + kAdminFile;
    QString sourceSchema = QStringLiteral("main");
    bool attached = false;
    if (!SameFile(sourceFile, database->adminFile())) {
        if (!QFileInfo(sourceFile).isFile())
            return false;
        QSqlQuery attach(db);
        attach.prepare(QStringLiteral("ATTACH DATABASE ? AS copysource"));
        attach.addBindValue(sourceFile);
        if (!attach.exec())
            return false;
        attached = true;
        sourceSchema = QStringLiteral("copysource");
    }
    auto detach = [&] {
        if (attached)
            QSqlQuery(db).exec(QStringLiteral("DETACH DATABASE copysource"));
    };

    const QList<ColumnInfo> target = ColumnsOf(db, targetSchema, targetTable);
    const QList<ColumnInfo> source = ColumnsOf(db, sourceSchema, tableName);
    bool matches = !target.isEmpty() && source.size() >= target.size();
    for (int i = 0; matches && i < target.size(); ++i)
        matches = source.at(i).name.compare(target.at(i).name, Qt::CaseInsensitive) == 0
                  && source.at(i).dataType == target.at(i).dataType;
    if (!matches) {
        detach();
        ShowNotice(NL("Velden van tabelllen zijn niet gelijk! Maak gebruik van import functie"), true, NL("OK"));
        return false;
    }

    table.Close();
    QStringList names;
    QStringList marks;
    QStringList sets;
    for (const ColumnInfo& c : target) {
        names.append(QuoteIdentifier(c.name));
        marks.append(QStringLiteral("?"));
        if (names.size() > 1)
            sets.append(QuoteIdentifier(c.name) + QStringLiteral(" = ?"));
    }
    const QString into = QuoteIdentifier(targetSchema) + QLatin1Char('.') + QuoteIdentifier(targetTable);
    const QString key = names.first();
    const bool integerKey = target.first().dataType == dtInteger || target.first().dataType == dtSmallInt
                            || target.first().dataType == dtAutoInc;

    bool ok = database->Transaction();
    if (ok) {
        QSqlQuery read(db);
        read.setForwardOnly(true);
        QSqlQuery insert(db);
        QSqlQuery change(db);
        QSqlQuery exists(db);
        QSqlQuery nextKey(db);
        ok = read.exec(QStringLiteral("SELECT %1 FROM %2.%3").arg(names.join(u','), QuoteIdentifier(sourceSchema),
                                                                  QuoteIdentifier(tableName)))
             && insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(into, names.join(u','), marks.join(u',')))
             && exists.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(into, key))
             && nextKey.prepare(QStringLiteral("SELECT COALESCE(MAX(%2), 0) + 1 FROM %1").arg(into, key))
             && (sets.isEmpty() || change.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(into, sets.join(u','), key)));
        while (ok && read.next()) {
            bool taken = false;
            exists.bindValue(0, read.value(0));
            ok = exists.exec();
            taken = ok && exists.next();
            exists.finish();
            if (!ok)
                break;
            if (taken && update) {
                if (sets.isEmpty())
                    continue;
                for (int i = 1; i < target.size(); ++i)
                    change.bindValue(i - 1, read.value(i));
                change.bindValue(target.size() - 1, read.value(0));
                ok = change.exec();
                continue;
            }
            QVariant id = read.value(0);
            if (taken) {
                // Appending keeps every row; a row whose identifier is in use gets a new one.
                if (!integerKey)
                    continue;
                ok = nextKey.exec() && nextKey.next();
                if (!ok)
                    break;
                id = nextKey.value(0);
                nextKey.finish();
            }
            insert.bindValue(0, id);
            for (int i = 1; i < target.size(); ++i)
                insert.bindValue(i, read.value(i));
            ok = insert.exec();
        }
        if (ok)
            ok = database->Commit();
        else
            database->Rollback();
    }
    detach();
    if (wasActive) {
        table.Open();
        table.SetIndexName(indexName);
    }
    return ok;
}

bool Tdm::FillScratchTable(int rowCount, TQuery& query, int repeat)
{
    return m_database && ::FillScratchTable(*m_database, rowCount, query, repeat);
}

void Tdm::BuildPrintQuery(const QString& ovraIni)
{
    QueFacturen->ClearSql();
    QueFacturen->SetSql(PrintQueryLinesFromSettings(ovraIni));
}

void Tdm::ResetTable(TTable& table)
{
    if (!table.Active() && !table.Open())
        return;
    table.SetIndexName(QString());
    table.SetFiltered(false);
    table.Close();
}

void Tdm::PackTable(TTable& table)
{
    const QString indexName = table.IndexName();
    table.Close();
    if (table.Open() && !indexName.isEmpty())
        table.SetIndexName(indexName);
}

bool Tdm::UseSortIndex(TTable& table, const QString& columnName)
{
    QString column = columnName;
    if (column.isEmpty()) {
        if (!table.Active() && !table.Open())
            return false;
        const int position = currentSortColumn ? currentSortColumn() : 1;
        if (TField* field = table.Field(position))
            column = field->FieldName();
    }
    if (!column.isEmpty()) {
        for (const TIndexDef& def : table.IndexDefs()) {
            if (def.fields.size() == 1 && def.fields.first().compare(column, Qt::CaseInsensitive) == 0) {
                table.SetIndexName(def.primary ? QString() : def.name);
                return true;
            }
        }
    }
    if (!table.SetIndexName(QStringLiteral("iadr1"))) {
        BuildIndex(QStringLiteral("iadr1"), table);
        table.SetIndexName(QStringLiteral("iadr1"));
    }
    return false;
}

void Tdm::BuildIndex(const QString& indexName, TTable& table)
{
    if (!table.Active() && !table.Open())
        return;
    QString field;
    if (indexName.isEmpty()) {
        // The primary index: the engine leaves a table keyed on its first column alone.
        if (table.FieldCount() > 0)
            field = table.Field(0)->FieldName();
    } else {
        const int n = IndexColumnOfName(indexName);
        if (n > 0 && n < table.FieldCount() && !table.Field(n)->IsCalculated())
            field = table.Field(n)->FieldName();
    }
    table.Close();
    if (!field.isEmpty())
        table.AddIndex(indexName, field, !indexName.isEmpty(), indexName.isEmpty());
    table.Open();
}

void Tdm::CloseAllTables()
{
    queDatabase2->Close();
    for (TDataSet* dataSet : {static_cast<TDataSet*>(tabContacts), static_cast<TDataSet*>(queDatabase2),
                              static_cast<TDataSet*>(queAdressen), static_cast<TDataSet*>(TabCategorie),
                              static_cast<TDataSet*>(TabLog), static_cast<TDataSet*>(tabProducts),
                              static_cast<TDataSet*>(TabFact), static_cast<TDataSet*>(TabFL),
                              static_cast<TDataSet*>(QueFacturen), static_cast<TDataSet*>(queKlaFac),
                              static_cast<TDataSet*>(tabZip), static_cast<TDataSet*>(tabCalendar),
                              static_cast<TDataSet*>(Profielen), static_cast<TDataSet*>(TabCategorie),
                              static_cast<TDataSet*>(queProducts)})
        dataSet->Close();
}

QStringList Tdm::PlacesOfPostcode(const QString& postcode) const
{
    return m_database ? ::PlacesOfPostcode(m_database->sql(), postcode) : QStringList();
}

QString Tdm::PostcodeOfPlace(const QString& place) const
{
    return m_database ? ::PostcodeOfPlace(m_database->sql(), place) : QString();
}
