#include "data/profiles.h"

#include "data/engine_statement.h"
#include "data/schema.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

namespace {

struct ProfileColumn
{
    QString name;
    int size = 0;   // declared size; 0: none
};

// The profile table of the connection: the attached shared one, else the main one.
QString ProfileTable(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("SELECT 1 FROM pragma_database_list WHERE name = 'shared'")) && q.next())
        return QStringLiteral("shared.profiles");
    return QStringLiteral("main.profiles");
}

QList<ProfileColumn> ReadColumns(QSqlDatabase db, const QString& table, QString* error)
{
    const QString schema = table.section(QLatin1Char('.'), 0, 0);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info('profiles', ?) ORDER BY cid"));
    q.addBindValue(schema);
    QList<ProfileColumn> columns;
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return columns;
    }
    while (q.next()) {
        ProfileColumn column;
        column.name = q.value(0).toString();
        if (DataTypeOfDeclared(q.value(1).toString(), &column.size) != dtText)
            column.size = 0;
        columns.append(column);
    }
    if (columns.size() < 2 && error)
        *error = QStringLiteral("the profiles table is missing");
    return columns;
}

} // namespace

QStringList ProfileColumns()
{
    return {QStringLiteral("Name"),      QStringLiteral("company"),           QStringLiteral("Zip"),
            QStringLiteral("Address"),   QStringLiteral("Place"),             QStringLiteral("Telephone Private"),
            QStringLiteral("Telephone office"), QStringLiteral("Fax"),        QStringLiteral("Gsm"),
            QStringLiteral("Email"),     QStringLiteral("Website"),           QStringLiteral("vatnr"),
            QStringLiteral("Accountnr")};
}

QMap<QString, QString> ProfileValues(const QSqlRecord& profile)
{
    QMap<QString, QString> values;
    for (int i = 2; i < profile.count(); ++i)
        values.insert(profile.fieldName(i), profile.value(i).toString());
    return values;
}

bool StoreProfile(QSqlDatabase db, const QString& administration, const QMap<QString, QString>& values,
                  QString* error)
{
    const QString name = administration.trimmed();
    if (name.isEmpty()) {
        if (error)
            *error = QStringLiteral("a profile needs an administration name");
        return false;
    }
    const QString table = ProfileTable(db);
    const QList<ProfileColumn> columns = ReadColumns(db, table, error);
    if (columns.size() < 2)
        return false;
    // Column 1 is the identifier, column 2 the administration; the company data follows.
    QStringList names;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const ProfileColumn* found = nullptr;
        for (int i = 2; i < columns.size() && !found; ++i)
            if (columns.at(i).name.compare(it.key(), Qt::CaseInsensitive) == 0)
                found = &columns.at(i);
        if (!found) {
            if (error)
                *error = QStringLiteral("%1 is no profile column").arg(it.key());
            return false;
        }
        names.append(QuoteIdentifier(found->name));
        binds.append(found->size > 0 ? it.value().left(found->size) : it.value());
    }
    const QString key = QuoteIdentifier(columns.at(0).name);
    const QString admin = QuoteIdentifier(columns.at(1).name);
    const QString quotedTable = table.section(QLatin1Char('.'), 0, 0) + QStringLiteral(".profiles");

    auto run = [&](const QString& sql, const QVariantList& bound, int* changed) {
        QSqlQuery q(db);
        q.prepare(sql);
        for (const QVariant& v : bound)
            q.addBindValue(v);
        if (!q.exec()) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
        if (changed)
            *changed = q.numRowsAffected();
        return true;
    };

    int changed = 0;
    if (!names.isEmpty()) {
        QStringList sets;
        for (const QString& n : names)
            sets.append(n + QStringLiteral(" = ?"));
        QVariantList bound = binds;
        bound.append(name);
        if (!run(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? COLLATE NOCASE").arg(quotedTable, sets.join(u','), admin),
                 bound, &changed))
            return false;
    } else {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? COLLATE NOCASE").arg(quotedTable, admin));
        q.addBindValue(name);
        if (q.exec() && q.next())
            changed = 1;
    }
    if (changed > 0)
        return true;
    // One statement: the identifier is taken and the row stored under the same write lock, and
    // a row another program added meanwhile is not doubled.
    QStringList marks;
    for (int i = 0; i < names.size(); ++i)
        marks.append(QStringLiteral("?"));
    const QString columnsText = names.isEmpty() ? QString() : QStringLiteral(", ") + names.join(u',');
    const QString marksText = marks.isEmpty() ? QString() : QStringLiteral(", ") + marks.join(u',');
    QVariantList bound{name};
    bound += binds;
    bound.append(name);
    return run(QStringLiteral("INSERT INTO %1 (%2, %3%4) SELECT COALESCE(MAX(%2), 0) + 1, ?%5 FROM %1 "
                              "WHERE NOT EXISTS (SELECT 1 FROM %1 WHERE %3 = ? COLLATE NOCASE)")
                   .arg(quotedTable, key, admin, columnsText, marksText),
               bound, nullptr);
}
