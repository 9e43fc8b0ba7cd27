#include "data/counters.h"

#include "data/connection.h"
#include "data/engine_statement.h"
#include "data/table.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"

namespace {

bool LineHasKey(const QString& line, const QString& key)
{
    return line.startsWith(key, Qt::CaseInsensitive) && (line.size() == key.size() || line.at(key.size()) == u' ');
}

// Drops the key's first line again (the key was absent before a rolled-back write).
void RemoveSettingLine(const QString& file, const QString& key)
{
    QStringList lines;
    if (!LoadLinesForRewrite(file, &lines))
        return;
    for (int i = 0; i < lines.size(); ++i) {
        if (LineHasKey(lines.at(i), key)) {
            lines.removeAt(i);
            SaveTextLines(file, lines);
            return;
        }
    }
}

} // namespace

bool WriteCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, const QString& value)
{
    bool existed = false;
    const QString old = ReadSetting(adminIni, key, &existed);
    if (existed && old == value)
        return true;
    // ReadSetting reports an empty value as missing; such a line is kept by rewriting it empty.
    const bool hadLine = existed || [&] {
        bool ok = false;
        const QStringList lines = LoadTextLines(adminIni, &ok);
        for (const QString& line : lines)
            if (LineHasKey(line, key))
                return true;
        return false;
    }();
    if (!WriteSetting(adminIni, key, value))
        return false;
    if (db && db->TransactionDepth() > 0) {
        db->OnRollback([adminIni, key, old, hadLine] {
            if (hadLine)
                WriteSetting(adminIni, key, old);
            else
                RemoveSettingLine(adminIni, key);
        });
    }
    return true;
}

QString CounterKey(const TTable& table)
{
    QString name = table.ResolvedTableName().isEmpty() ? table.TableName() : table.ResolvedTableName();
    const bool shared = table.SchemaName().compare(QStringLiteral("shared"), Qt::CaseInsensitive) == 0
                        || name.startsWith(QStringLiteral("shared."), Qt::CaseInsensitive);
    if (name.startsWith(QStringLiteral("shared."), Qt::CaseInsensitive))
        name = name.mid(7);
    if (name.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive))
        name.chop(3);
    // The data folder's tables were files "Calendar.db" and "profiles.db": their keys keep that.
    if (shared)
        name += QStringLiteral(".db");
    return name + QStringLiteral("ID");
}

qint64 NextRecordId(TTable& table, bool useCounter, const QString& adminIni, QString* error)
{
    TDatabase* db = table.Database();
    if (!db || !table.Active() || table.FieldCount() == 0) {
        if (error)
            *error = QStringLiteral("%1: table cannot be read").arg(table.Name());
        return 0;
    }
    const qint64 counter = useCounter ? ReadSettingInt(adminIni, CounterKey(table), 0) : 0;
    const QString schema = table.SchemaName().isEmpty() ? QStringLiteral("main") : table.SchemaName();
    const QString sql = QStringLiteral("SELECT MAX(%1) FROM %2.%3")
                            .arg(QuoteIdentifier(table.Field(0)->FieldName()), QuoteIdentifier(schema),
                                 QuoteIdentifier(table.ResolvedTableName()));
    QString reason;
    const QVariant highest = db->Scalar(sql, {}, &reason);
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return 0;
    }
    const qint64 maximum = highest.toLongLong() + 1;
    return useCounter && counter >= maximum ? counter + 1 : maximum;
}

bool StoreCounter(TTable& table, qint64 id, const QString& adminIni)
{
    return WriteCounterSetting(table.Database(), adminIni, CounterKey(table), QString::number(id));
}
