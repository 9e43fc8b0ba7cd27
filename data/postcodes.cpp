#include "data/postcodes.h"

#include "data/engine_statement.h"
#include "data/schema.h"

#include <QSqlQuery>

namespace {

QString QualifiedTable(const QString& table)
{
    QStringList parts;
    for (const QString& part : table.split(QLatin1Char('.')))
        parts.append(QuoteIdentifier(part));
    return parts.join(QLatin1Char('.'));
}

} // namespace

QStringList PlacesOfPostcode(QSqlDatabase db, const QString& postcode, const QString& table)
{
    const QString code = postcode.trimmed();
    QStringList places;
    if (code.size() < 4 || code.size() > 9)
        return places;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT gemeente FROM %1 WHERE code = ? ORDER BY rowid").arg(QualifiedTable(table)));
    q.addBindValue(code);
    if (q.exec())
        while (q.next())
            places.append(q.value(0).toString());
    return places;
}

QString PostcodeOfPlace(QSqlDatabase db, const QString& place, const QString& table)
{
    const QString name = place.trimmed();
    if (name.size() <= 3 || name.contains(QLatin1Char(' ')))
        return QString();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // QCI: "liege" finds "Liège" as a user expects.
    q.prepare(QStringLiteral("SELECT code FROM %1 WHERE gemeente = ? COLLATE QCI ORDER BY rowid LIMIT 1")
                  .arg(QualifiedTable(table)));
    q.addBindValue(name);
    if (q.exec() && q.next())
        return q.value(0).toString();
    return QString();
}
