#include "data/shareddb.h"

#include "data/engine_statement.h"
#include "data/schema.h"
#include "data/tabletemplate.h"
#include "foundation/homefolder.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

QString SharedDatabaseFile(const QString& dataFolder)
{
    return dataFolder + QStringLiteral("shared.sqlite");
}

QString PostcodeListFile(const QString& dataFolder)
{
    const QString local = dataFolder + QStringLiteral("belgian-postcodes.csv");
    if (QFile::exists(local))
        return local;
    return ResourceFolder() + QStringLiteral("data/belgian-postcodes.csv");
}

namespace {

QList<TableDefinition> SharedTables()
{
    return {
        {QStringLiteral("Post"),
         {ColumnDefinition(QStringLiteral("code"), dtText, 10), ColumnDefinition(QStringLiteral("gemeente"), dtText, 60)},
         {},
         {{QStringLiteral("iCode"), {QStringLiteral("code")}, false}},
         false},
        {QStringLiteral("Calendar"),
         {ColumnDefinition(QStringLiteral("cal_id"), dtInteger), ColumnDefinition(QStringLiteral("cal_date"), dtDate),
          ColumnDefinition(QStringLiteral("cal_time"), dtTime), ColumnDefinition(QStringLiteral("cal_Subject"), dtText, 100),
          ColumnDefinition(QStringLiteral("Cal_Message"), dtText, 254), ColumnDefinition(QStringLiteral("cal_remind"), dtBoolean),
          ColumnDefinition(QStringLiteral("cal_show"), dtFloat), ColumnDefinition(QStringLiteral("Cal_Displayed"), dtBoolean),
          ColumnDefinition(QStringLiteral("cal_cnr"), dtInteger), ColumnDefinition(QStringLiteral("Cal_contact"), dtText, 100),
          ColumnDefinition(QStringLiteral("CAL_ADMIN"), dtText, 60), ColumnDefinition(QStringLiteral("CAL_PERYEAR"), dtBoolean),
          ColumnDefinition(QStringLiteral("CAL_EVENT"), dtInteger)},
         {},
         {{QStringLiteral("indDate"), {QStringLiteral("cal_date"), QStringLiteral("cal_time")}, false}}},
        {QStringLiteral("profiles"),
         {ColumnDefinition(QStringLiteral("id"), dtInteger), ColumnDefinition(QStringLiteral("admin"), dtText, 60),
          ColumnDefinition(QStringLiteral("Name"), dtText, 60), ColumnDefinition(QStringLiteral("company"), dtText, 60),
          ColumnDefinition(QStringLiteral("Zip"), dtText, 10), ColumnDefinition(QStringLiteral("Address"), dtText, 60),
          ColumnDefinition(QStringLiteral("Place"), dtText, 50), ColumnDefinition(QStringLiteral("Telephone Private"), dtText, 20),
          ColumnDefinition(QStringLiteral("Telephone office"), dtText, 20), ColumnDefinition(QStringLiteral("Fax"), dtText, 20),
          ColumnDefinition(QStringLiteral("Gsm"), dtText, 20), ColumnDefinition(QStringLiteral("Email"), dtText, 60),
          ColumnDefinition(QStringLiteral("Website"), dtText, 60), ColumnDefinition(QStringLiteral("vatnr"), dtText, 20),
          ColumnDefinition(QStringLiteral("Accountnr"), dtText, 34)},
         {},
         {}},
    };
}

bool FillPostcodes(QSqlDatabase db, const QString& csvFile, QString* error)
{
    QSqlQuery count(db);
    if (!count.exec(QStringLiteral("SELECT COUNT(*) FROM \"Post\"")) || !count.next()) {
        if (error)
            *error = count.lastError().text();
        return false;
    }
    if (count.value(0).toInt() > 0)
        return true;
    QFile file(csvFile);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1").arg(csvFile);
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO \"Post\" (code, gemeente) VALUES (?, ?)"));
    bool header = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (header) {
            header = false;
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(','));
        if (fields.size() < 2 || fields.at(0).trimmed().isEmpty())
            continue;
        insert.bindValue(0, fields.at(0).trimmed());
        insert.bindValue(1, fields.at(1).trimmed());
        if (!insert.exec()) {
            if (error)
                *error = insert.lastError().text();
            return false;
        }
    }
    return true;
}

} // namespace

bool CreateSharedTables(QSqlDatabase db, const QString& postcodeCsv, QString* error)
{
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    for (const TableDefinition& table : SharedTables()) {
        if (!CreateTableIfMissing(db, table, error)) {
            db.rollback();
            return false;
        }
    }
    if (!FillPostcodes(db, postcodeCsv, error)) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool EnsureSharedDatabase(const QString& dataFolder, QString* error)
{
    const QString file = SharedDatabaseFile(dataFolder);
    if (QFile::exists(file))
        return true;
    // Built under a temporary name and renamed, so a crash never leaves a half-filled file
    // that would pass for the real one.
    const QString building = file + QStringLiteral(".new");
    QFile::remove(building);
    const QString connection = QStringLiteral("shared-create-") + QUuid::createUuid().toString(QUuid::Id128);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(building);
        if (db.open()) {
            ok = CreateSharedTables(db, PostcodeListFile(dataFolder), error);
            db.close();
        } else if (error) {
            *error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (ok)
        ok = QFile::rename(building, file);
    if (!ok)
        QFile::remove(building);
    return ok;
}

QSqlRecord ProfileOf(QSqlDatabase db, const QString& administrationName, const QString& tableName)
{
    QString table;
    for (const QString& part : tableName.split(QLatin1Char('.')))
        table += (table.isEmpty() ? QString() : QStringLiteral(".")) + QuoteIdentifier(part);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM %1 ORDER BY (admin = ? COLLATE NOCASE) DESC, 1 LIMIT 1").arg(table));
    q.addBindValue(administrationName);
    if (q.exec() && q.next())
        return q.record();
    return QSqlRecord();
}
