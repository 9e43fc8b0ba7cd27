#include "data/counters.h"

#include "data/connection.h"
#include "data/engine_statement.h"
#include "data/table.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>

#include <sqlite3.h>

namespace {

const QString kCreateCounters = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS main.Counters (Name TEXT PRIMARY KEY COLLATE NOCASE, Value INTEGER NOT NULL)");
const QString kReadCounter = QStringLiteral("SELECT Value FROM main.Counters WHERE Name = ?");
const QString kWriteCounter = QStringLiteral(
    "INSERT INTO main.Counters (Name, Value) VALUES (?, ?) ON CONFLICT (Name) DO UPDATE SET Value = excluded.Value");

// Holds the write lock of an administration's database, as a post does, on a connection of
// its own: admin.ini is rewritten whole, and a rewrite that crossed another program's counter
// update would put back the counter it read.
class AdministrationLock
{
public:
    explicit AdministrationLock(const QString& databaseFile)
    {
        if (databaseFile.isEmpty())
            return;
        const QByteArray path = databaseFile.toUtf8();
        if (sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(m_db, 3000);
            m_locked = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        }
    }
    ~AdministrationLock()
    {
        if (m_locked)
            sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    AdministrationLock(const AdministrationLock&) = delete;
    AdministrationLock& operator=(const AdministrationLock&) = delete;

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

// The admin.ini copies of committed identifier counters still to be written. Each rewrite of
// the file is atomic and flushed to disk, which costs far more than the post itself, so the
// copies of a burst of posts are written together a moment later.
class CounterMirror : public QObject
{
public:
    static CounterMirror* Instance()
    {
        static QPointer<CounterMirror> instance;
        if (!instance && QCoreApplication::instance())
            instance = new CounterMirror(QCoreApplication::instance());
        return instance;
    }
    ~CounterMirror() override { Flush(QString()); }

    void Add(TDatabase* db, const QString& adminIni, const QString& key, qint64 value)
    {
        Pending& file = m_pending[adminIni];
        file.db = db;
        file.databaseFile = db->adminFile();
        qint64& pending = file.values[key];
        pending = qMax(pending, value);
        Watch(db);
        if (!m_timer.isActive())
            m_timer.start();
    }
    void Flush(const QString& adminIni)
    {
        for (auto file = m_pending.begin(); file != m_pending.end();) {
            const bool busyHere = file.value().db && file.value().db->TransactionDepth() > 0;
            if ((!adminIni.isEmpty() && file.key() != adminIni) || busyHere) {
                // The own connection holds the lock: after its transaction.
                if (busyHere && !m_timer.isActive())
                    m_timer.start();
                ++file;
                continue;
            }
            {
                AdministrationLock lock(file.value().databaseFile);
                for (auto it = file.value().values.cbegin(); it != file.value().values.cend(); ++it)
                    WriteMirror(file.key(), it.key(), it.value());
            }
            file = m_pending.erase(file);
        }
    }
    static void WriteMirror(const QString& adminIni, const QString& key, qint64 value)
    {
        // Never lowered: a higher key was set by hand or by a program that posted later.
        if (ReadSettingInt(adminIni, key, 0) < value)
            WriteSetting(adminIni, key, QString::number(value));
    }

private:
    struct Pending
    {
        QPointer<TDatabase> db;
        QString databaseFile;
        QHash<QString, qint64> values;
    };

    explicit CounterMirror(QObject* parent) : QObject(parent)
    {
        m_timer.setSingleShot(true);
        m_timer.setInterval(200);
        connect(&m_timer, &QTimer::timeout, this, [this] { Flush(QString()); });
    }
    void Watch(TDatabase* db)
    {
        // Closing the administration writes what is pending.
        if (!m_watched.contains(db)) {
            m_watched.insert(db);
            connect(db, &QObject::destroyed, this, [this, db] {
                m_watched.remove(db);
                Flush(QString());
            });
        }
    }

    QHash<QString, Pending> m_pending;
    QSet<TDatabase*> m_watched;
    QTimer m_timer;
};

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
    const QString key = CounterKey(table);
    const qint64 counter = useCounter ? qMax<qint64>(StoredCounter(db, key), ReadSettingInt(adminIni, key, 0)) : 0;
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

namespace {

// admin.ini counters set within a transaction, per connection: the file's text for the key
// when the transaction first read it, and the value set since.
struct PendingSetting
{
    QString expected;
    int value = 0;
};
QHash<const TDatabase*, QHash<QString, PendingSetting>>& PendingSettings()
{
    static QHash<const TDatabase*, QHash<QString, PendingSetting>> pending;
    return pending;
}
QString PendingKey(const QString& adminIni, const QString& key)
{
    return adminIni + QLatin1Char('|') + key.toUpper();
}

} // namespace

int ReadCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, int defaultValue)
{
    if (db && db->TransactionDepth() > 0) {
        const auto set = PendingSettings().value(db).constFind(PendingKey(adminIni, key));
        if (set != PendingSettings().value(db).constEnd())
            return set->value;
    }
    return ReadSettingInt(adminIni, key, defaultValue);
}

bool SetCounterSetting(TDatabase* db, const QString& adminIni, const QString& key, int value)
{
    if (!db || db->TransactionDepth() == 0)
        return WriteSetting(adminIni, key, QString::number(value));
    QHash<QString, PendingSetting>& pending = PendingSettings()[db];
    const QString name = PendingKey(adminIni, key);
    auto it = pending.find(name);
    if (it == pending.end()) {
        it = pending.insert(name, {ReadSetting(adminIni, key), value});
        // One write for the whole transaction, once it has committed.
        db->AfterCommit([db = QPointer<TDatabase>(db), raw = static_cast<const TDatabase*>(db), adminIni, key, name] {
            auto& all = PendingSettings();
            if (!all.contains(raw) || !all[raw].contains(name))
                return;
            const PendingSetting set = all[raw].take(name);
            if (all[raw].isEmpty())
                all.remove(raw);
            AdministrationLock lock(db ? db->adminFile() : QString());
            if (ReadSetting(adminIni, key) == set.expected)
                WriteSetting(adminIni, key, QString::number(set.value));
        });
        db->OnRollback([raw = static_cast<const TDatabase*>(db), name] {
            auto& all = PendingSettings();
            all[raw].remove(name);
            if (all[raw].isEmpty())
                all.remove(raw);
        });
        return true;
    }
    // A later step of the same transaction: a rolled back savepoint puts the earlier value back.
    const int previous = it->value;
    it->value = value;
    db->OnRollback([raw = static_cast<const TDatabase*>(db), name, previous] {
        auto& all = PendingSettings();
        if (all.contains(raw) && all[raw].contains(name))
            all[raw][name].value = previous;
    });
    return true;
}

qint64 StoredCounter(TDatabase* db, const QString& key)
{
    if (!db)
        return 0;
    // No table yet (an administration that never stored a counter here): nothing stored.
    QString error;
    const QVariant value = db->Scalar(kReadCounter, {key}, &error);
    return error.isEmpty() ? value.toLongLong() : 0;
}

bool StoreCounter(TTable& table, qint64 id, const QString& adminIni)
{
    TDatabase* db = table.Database();
    const QString key = CounterKey(table);
    if (!db || !db->Exec(kCreateCounters) || !db->Exec(kWriteCounter, {key, id})) {
        // A database that cannot keep it (read-only): admin.ini alone, inside the transaction.
        return WriteCounterSetting(db, adminIni, key, QString::number(id));
    }
    db->AfterCommit([db = QPointer<TDatabase>(db), adminIni, key, id] {
        CounterMirror* mirror = CounterMirror::Instance();
        if (mirror && db)
            mirror->Add(db, adminIni, key, id);
        else
            CounterMirror::WriteMirror(adminIni, key, id);
    });
    return true;
}

void FlushCounterMirrors(const QString& adminIni)
{
    if (CounterMirror* mirror = CounterMirror::Instance())
        mirror->Flush(adminIni);
}
