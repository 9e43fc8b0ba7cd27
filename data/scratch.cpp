#include "data/scratch.h"

#include "data/connection.h"
#include "data/query.h"
#include "data/engine_statement.h"
#include "data/schema.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

QString ScratchTableName()
{
    return QStringLiteral("scratch");
}

namespace {

bool Run(QSqlDatabase db, const QString& sql, QString* error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

// Result columns may repeat a name ("a.*, p.*" both carry LISTS); a table cannot.
QStringList UniqueNames(const QStringList& names)
{
    QStringList result;
    QSet<QString> seen;
    for (const QString& name : names) {
        QString candidate = name.isEmpty() ? QStringLiteral("col") : name;
        for (int n = 1; seen.contains(candidate.toLower()); ++n)
            candidate = name + QStringLiteral("_%1").arg(n);
        seen.insert(candidate.toLower());
        result.append(candidate);
    }
    return result;
}

bool Fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

bool FillScratchTable(TDatabase& database, int rowCount, TQuery& query, int repeat, QString* error,
                      const QString& name)
{
    QSqlDatabase db = database.sql();
    const QString table = QStringLiteral("temp.") + QuoteIdentifier(name);
    if (!Run(db, QStringLiteral("DROP TABLE IF EXISTS ") + table, error))
        return false;
    if (!query.Active() && !query.Open())
        return Fail(error, query.LastError());

    QList<TField*> fields;
    QStringList names;
    for (int i = 0; i < query.FieldCount(); ++i) {
        TField* field = query.Field(i);
        if (field->IsCalculated())
            continue;
        fields.append(field);
        names.append(field->FieldName());
    }
    if (fields.isEmpty())
        return Fail(error, QStringLiteral("the query has no columns"));
    names = UniqueNames(names);
    QStringList columns;
    QStringList quoted;
    QStringList marks;
    for (int i = 0; i < fields.size(); ++i) {
        QString type = DeclaredTypeOf(fields.at(i)->DataType(), fields.at(i)->Size());
        columns.append(QuoteIdentifier(names.at(i)) + QLatin1Char(' ') + type);
        quoted.append(QuoteIdentifier(names.at(i)));
        marks.append(QStringLiteral("?"));
    }

    // Only the temporary database is written: a deferred savepoint takes no lock on the
    // administration, so printing never waits for another program's writes.
    if (!Run(db, QStringLiteral("SAVEPOINT fill_scratch"), error))
        return false;
    auto rollback = [&](const QString& reason) {
        Run(db, QStringLiteral("ROLLBACK TO fill_scratch"), nullptr);
        Run(db, QStringLiteral("RELEASE fill_scratch"), nullptr);
        query.Close();
        return Fail(error, reason);
    };
    QString reason;
    if (!Run(db, QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(QuoteIdentifier(name), columns.join(u',')), &reason))
        return rollback(reason);
    for (int i = 0; i < rowCount; ++i)
        if (!Run(db, QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table), &reason))
            return rollback(reason);

    QSqlQuery insert(db);
    if (!insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, quoted.join(u','), marks.join(u','))))
        return rollback(insert.lastError().text());
    qint64 copies = 0;
    if (repeat > 0) {
        query.First();
        while (!query.Eof()) {
            for (int i = 0; i < fields.size(); ++i) {
                QVariant stored;
                const TField* field = fields.at(i);
                if (field->IsNull() || !field->ToStored(field->AsVariant(), &stored))
                    stored = QVariant();
                insert.bindValue(i, stored);
            }
            if (!insert.exec())
                return rollback(insert.lastError().text());
            ++copies;
            if (!query.Next() && !query.Eof())
                return rollback(query.LastError());
        }
        if (!query.LastError().isEmpty())
            return rollback(query.LastError());
    }
    // Further copies come from the first one, so the query runs only once.
    for (int n = 1; n < repeat && copies > 0; ++n) {
        const QString copy = QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %1 WHERE rowid > %3 AND rowid <= %4")
                                 .arg(table, quoted.join(u','))
                                 .arg(rowCount)
                                 .arg(rowCount + copies);
        if (!Run(db, copy, &reason))
            return rollback(reason);
    }
    insert.finish();
    query.Close();
    if (!Run(db, QStringLiteral("RELEASE fill_scratch"), error))
        return false;
    query.SetSql(QStringLiteral("SELECT * FROM ") + QuoteIdentifier(name));
    return true;
}
