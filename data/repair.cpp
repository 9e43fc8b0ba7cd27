#include "data/repair.h"

#include "data/collation.h"
#include "data/engine_statement.h"
#include "foundation/translate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <unistd.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

// The message with its "%s" and "%d" filled in, in order.
QString Fill(const QString& dutch, const QStringList& values)
{
    QString text = Translate(dutch);
    qsizetype from = 0;
    for (const QString& value : values) {
        const qsizetype s = text.indexOf(QLatin1String("%s"), from);
        const qsizetype d = text.indexOf(QLatin1String("%d"), from);
        qsizetype at = s < 0 ? d : d < 0 ? s : std::min(s, d);
        if (at < 0)
            break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}

struct Connection
{
    sqlite3* db = nullptr;
    ~Connection()
    {
        if (db)
            sqlite3_close_v2(db);
    }
};

// Opens an existing database for repair: never creates one, and waits for another program's
// write to end.
bool OpenExisting(const QString& file, Connection* c, QString* error)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &c->db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        *error = QString::fromUtf8(c->db ? sqlite3_errmsg(c->db) : sqlite3_errstr(rc));
        return false;
    }
    sqlite3_busy_timeout(c->db, 3000);
    sqlite3_extended_result_codes(c->db, 1);
    RegisterQuillonCollation(c->db);
    return true;
}

bool Exec(sqlite3* db, const char* sql, QString* error = nullptr)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

// "ok", or the problems PRAGMA integrity_check names (at most a few, for the report).
bool IntegrityOk(sqlite3* db, QString* problems)
{
    sqlite3_stmt* s = nullptr;
    problems->clear();
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check(20)", -1, &s, nullptr) != SQLITE_OK) {
        *problems = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    QStringList lines;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        lines.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))));
    if (rc != SQLITE_DONE)
        lines.append(QString::fromUtf8(sqlite3_errmsg(db)));
    sqlite3_finalize(s);
    if (lines == QStringList{QStringLiteral("ok")})
        return true;
    *problems = lines.mid(0, 3).join(QStringLiteral("; "));
    return false;
}

struct SchemaEntry
{
    QString type;
    QString name;
    QString table;
    QByteArray sql;
};

bool ReadSchema(sqlite3* db, std::vector<SchemaEntry>* entries, QString* error)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT type, name, tbl_name, sql FROM sqlite_master", -1, &s, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        SchemaEntry e;
        e.type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        e.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
        e.table = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 2)));
        if (const unsigned char* sql = sqlite3_column_text(s, 3))
            e.sql = QByteArray(reinterpret_cast<const char*>(sql));
        entries->push_back(e);
    }
    if (rc != SQLITE_DONE)
        *error = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(s);
    return rc == SQLITE_DONE;
}

// Copies the rows of one table that can still be read. A damaged page ends a scan; the scan
// then looks further on (by rowid, in growing steps, then back to the first readable rowid
// after the gap), so only the rows of the damaged pages are lost.
struct TableCopy
{
    qint64 copied = 0;
    bool complete = true;
};

TableCopy CopyRows(sqlite3* from, sqlite3* to, const QString& table)
{
    TableCopy result;
    const QString quoted = QuoteIdentifier(table);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(from, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted).toUtf8().constData(), -1, &count,
                       nullptr);
    const int columns = count ? sqlite3_column_count(count) : 0;
    sqlite3_finalize(count);
    if (columns == 0) {
        result.complete = false;
        return result;
    }
    QStringList marks;
    for (int i = 0; i < columns + 1; ++i)
        marks.append(QStringLiteral("?"));
    sqlite3_stmt* insert = nullptr;
    // Column names of the new table, in order, for an insert that names them.
    sqlite3_stmt* names = nullptr;
    QStringList columnNames;
    if (sqlite3_prepare_v2(to, QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quoted).toUtf8().constData(), -1, &names,
                           nullptr)
        == SQLITE_OK) {
        for (int i = 0; i < sqlite3_column_count(names); ++i)
            columnNames.append(QuoteIdentifier(QString::fromUtf8(sqlite3_column_name(names, i))));
    }
    sqlite3_finalize(names);
    if (columnNames.size() != columns) {
        result.complete = false;
        return result;
    }
    // The rowid goes along, so identifiers of tables without a key column stay as they were.
    sqlite3_prepare_v2(to,
                       QStringLiteral("INSERT OR IGNORE INTO %1 (rowid, %2) VALUES (%3)")
                           .arg(quoted, columnNames.join(u','), marks.join(u','))
                           .toUtf8()
                           .constData(),
                       -1, &insert, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(from,
                       QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid >= ? ORDER BY rowid").arg(quoted).toUtf8().constData(),
                       -1, &read, nullptr);
    sqlite3_stmt* probe = nullptr;
    sqlite3_prepare_v2(from,
                       QStringLiteral("SELECT rowid FROM %1 WHERE rowid >= ? ORDER BY rowid LIMIT 1").arg(quoted).toUtf8().constData(),
                       -1, &probe, nullptr);
    if (!insert || !read || !probe) {
        // WITHOUT ROWID tables and the like: one plain scan, up to the first damaged page.
        sqlite3_finalize(read);
        sqlite3_finalize(probe);
        sqlite3_finalize(insert);
        insert = read = nullptr;
        sqlite3_prepare_v2(from, QStringLiteral("SELECT * FROM %1").arg(quoted).toUtf8().constData(), -1, &read, nullptr);
        sqlite3_prepare_v2(to, QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (%2)").arg(quoted, marks.mid(1).join(u',')).toUtf8().constData(),
                           -1, &insert, nullptr);
        if (!read || !insert) {
            sqlite3_finalize(read);
            sqlite3_finalize(insert);
            result.complete = false;
            return result;
        }
        int rc;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i)
                sqlite3_bind_value(insert, i + 1, sqlite3_column_value(read, i));
            if (sqlite3_step(insert) == SQLITE_DONE)
                ++result.copied;
            sqlite3_reset(insert);
        }
        result.complete = rc == SQLITE_DONE;
        sqlite3_finalize(read);
        sqlite3_finalize(insert);
        return result;
    }

    // The first readable rowid at or after start; false when none can be found up to the end.
    auto readableFrom = [probe](qint64 start, qint64* found) {
        sqlite3_reset(probe);
        sqlite3_bind_int64(probe, 1, start);
        const int rc = sqlite3_step(probe);
        if (rc == SQLITE_ROW) {
            *found = sqlite3_column_int64(probe, 0);
            sqlite3_reset(probe);
            return 1;   // a row
        }
        sqlite3_reset(probe);
        return rc == SQLITE_DONE ? 0 : -1;   // 0: nothing after start, -1: damaged there
    };

    qint64 next = std::numeric_limits<qint64>::min();
    while (true) {
        sqlite3_reset(read);
        sqlite3_bind_int64(read, 1, next);
        int rc;
        qint64 last = next;
        bool any = false;
        while ((rc = sqlite3_step(read)) == SQLITE_ROW) {
            last = sqlite3_column_int64(read, 0);
            any = true;
            for (int i = 0; i <= columns; ++i)
                sqlite3_bind_value(insert, i + 1, sqlite3_column_value(read, i));
            if (sqlite3_step(insert) == SQLITE_DONE)
                ++result.copied;
            sqlite3_reset(insert);
        }
        sqlite3_reset(read);
        if (rc == SQLITE_DONE)
            break;
        result.complete = false;
        // Look past the damage: steps of 1, 2, 4 ... rowids until a readable row appears.
        const qint64 from = any ? last + 1 : next;
        qint64 step = 1;
        qint64 found = 0;
        int state = -1;
        qint64 good = 0;
        while (step > 0 && from + step > from) {
            state = readableFrom(from + step, &found);
            if (state >= 0)
                break;
            step *= 2;
        }
        if (state <= 0)
            break;   // nothing readable after the damage
        // Back towards the gap: the lowest start that still reads, between from and from + step.
        qint64 low = from + step / 2;
        qint64 high = from + step;
        good = found;
        while (low + 1 < high) {
            const qint64 mid = low + (high - low) / 2;
            qint64 at = 0;
            if (readableFrom(mid, &at) == 1) {
                high = mid;
                good = std::min(good, at);
            } else {
                low = mid;
            }
        }
        if (good <= last && any)
            break;   // no progress: give up on this table
        next = good;
    }
    sqlite3_finalize(read);
    sqlite3_finalize(probe);
    sqlite3_finalize(insert);
    return result;
}

struct Rebuild
{
    qint64 rows = 0;
    QStringList incompleteTables;
    QStringList lostIndexes;
};

// Builds target from every row of source that can be read: the tables, then their rows,
// then indexes, views and triggers.
bool RebuildInto(sqlite3* source, const QString& target, Rebuild* out, QString* error)
{
    std::vector<SchemaEntry> schema;
    if (!ReadSchema(source, &schema, error))
        return false;
    Connection to;
    const int rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &to.db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        *error = QString::fromUtf8(to.db ? sqlite3_errmsg(to.db) : sqlite3_errstr(rc));
        return false;
    }
    RegisterQuillonCollation(to.db);
    int userVersion = 0;
    {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(source, "PRAGMA user_version", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            userVersion = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
    }
    if (!Exec(to.db, "PRAGMA journal_mode=DELETE", error) || !Exec(to.db, "BEGIN", error))
        return false;
    for (const SchemaEntry& e : schema) {
        if (e.type != QLatin1String("table") || e.name.startsWith(QLatin1String("sqlite_")) || e.sql.isEmpty())
            continue;
        if (!Exec(to.db, e.sql.constData(), error))
            return false;
    }
    for (const SchemaEntry& e : schema) {
        if (e.type != QLatin1String("table") || e.name.startsWith(QLatin1String("sqlite_")) || e.sql.isEmpty())
            continue;
        const TableCopy copy = CopyRows(source, to.db, e.name);
        out->rows += copy.copied;
        if (!copy.complete)
            out->incompleteTables.append(e.name);
    }
    for (const SchemaEntry& e : schema) {
        if (e.type == QLatin1String("table") || e.sql.isEmpty())
            continue;
        // A unique index over rows that no longer agree is left out rather than losing rows.
        if (!Exec(to.db, e.sql.constData()))
            out->lostIndexes.append(e.name);
    }
    if (!Exec(to.db, QStringLiteral("PRAGMA user_version=%1").arg(userVersion).toUtf8().constData(), error)
        || !Exec(to.db, "COMMIT", error))
        return false;
    QString problems;
    if (!IntegrityOk(to.db, &problems)) {
        *error = problems;
        return false;
    }
    return true;
}

bool SameFileRename(const QString& from, const QString& to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Keeps the damaged file under the dated name and puts the rebuilt one in its place. The
// damaged file is linked to its new name first, so at every moment a file stands under the
// old name; its side files go along under the dated name, so none of them can meet the new
// file.
bool ReplaceDamaged(const QString& file, const QString& rebuilt, const QString& kept, QString* error)
{
    const QByteArray fileName = QFile::encodeName(file);
    const QByteArray keptName = QFile::encodeName(kept);
    if (::link(fileName.constData(), keptName.constData()) != 0 && !QFile::copy(file, kept)) {
        *error = QStringLiteral("cannot keep %1 as %2").arg(file, kept);
        return false;
    }
    for (const char* side : {"-wal", "-shm", "-journal"}) {
        const QString sideFile = file + QLatin1String(side);
        if (QFileInfo::exists(sideFile) && !SameFileRename(sideFile, kept + QLatin1String(side))) {
            *error = QStringLiteral("cannot move %1 aside").arg(sideFile);
            return false;
        }
    }
    if (!SameFileRename(rebuilt, file)) {
        *error = QStringLiteral("cannot put %1 in place").arg(rebuilt);
        return false;
    }
    return true;
}

// One database file: check, reindex, rebuild. Adds its lines to the report.
void CheckFile(const QString& file, const QString& shown, RepairReport* report)
{
    QString reason;
    QString problems;
    {
        Connection c;
        if (OpenExisting(file, &c, &reason)) {
            if (IntegrityOk(c.db, &problems)) {
                report->actions.append(Fill(NL("%s: in orde."), {shown}));
                return;
            }
            report->damageFound = true;
            report->actions.append(Fill(NL("%s is beschadigd (%s)."), {shown, problems}));
            // Damaged indexes are the common case; rebuilding them loses nothing.
            if (Exec(c.db, "REINDEX") && IntegrityOk(c.db, &problems)) {
                report->actions.append(Fill(NL("%s: de indexen zijn opnieuw opgebouwd; het bestand is weer in orde."), {shown}));
                return;
            }
        } else {
            report->damageFound = true;
            report->actions.append(Fill(NL("%s is beschadigd (%s)."), {shown, reason}));
        }
    }
    Connection source;
    const QDateTime now = QDateTime::currentDateTime();
    const QString kept = DamagedFileName(file, now);
    const QString rebuilt = kept + QStringLiteral(".new");
    Rebuild rebuild;
    bool ok = OpenExisting(file, &source, &reason);
    // The file is replaced only while no other program has it open: the exclusive lock is
    // taken before the first read and held until the connection closes.
    if (ok && !(Exec(source.db, "PRAGMA locking_mode=EXCLUSIVE", &reason) && Exec(source.db, "BEGIN EXCLUSIVE", &reason))) {
        if ((sqlite3_errcode(source.db) & 0xff) == SQLITE_BUSY || (sqlite3_errcode(source.db) & 0xff) == SQLITE_LOCKED) {
            report->allRepaired = false;
            report->actions.append(Fill(NL("%s is in gebruik door een ander programma en werd niet hersteld."), {shown}));
            return;
        }
        ok = false;
    }
    ok = ok && RebuildInto(source.db, rebuilt, &rebuild, &reason);
    if (source.db)
        Exec(source.db, "COMMIT");
    if (source.db) {
        // What the crashed run committed into the WAL belongs in the copy kept aside.
        Exec(source.db, "PRAGMA wal_checkpoint(TRUNCATE)");
        sqlite3_close_v2(source.db);
        source.db = nullptr;
    }
    ok = ok && ReplaceDamaged(file, rebuilt, kept, &reason);
    if (!ok) {
        report->allRepaired = false;
        report->actions.append(Fill(NL("%s kon niet hersteld worden: %s"), {shown, reason}));
        if (QFileInfo::exists(rebuilt))
            report->actions.append(Fill(NL("Wat nog te lezen was, staat in %s."), {QFileInfo(rebuilt).fileName()}));
        return;
    }
    report->actions.append(Fill(NL("%s is opnieuw opgebouwd uit alle leesbare gegevens (%d rijen)."),
                                {shown, QString::number(rebuild.rows)}));
    for (const QString& table : rebuild.incompleteTables)
        report->actions.append(Fill(NL("Tabel %s: niet alle rijen konden gelezen worden."), {table}));
    for (const QString& index : rebuild.lostIndexes)
        report->actions.append(Fill(NL("Index %s kon niet opnieuw gemaakt worden."), {index}));
    report->actions.append(Fill(NL("Het beschadigde bestand is bewaard als %s."), {QFileInfo(kept).fileName()}));
}

} // namespace

QString DamagedFileName(const QString& file, const QDateTime& when)
{
    const QString base = file + QStringLiteral(".damaged-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral(".new")); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    return name;
}

RepairReport CheckAndRepair(const QString& dataFolder, const QStringList& administrations,
                            const RepairProgress& progress)
{
    RepairReport report;
    QString data = dataFolder;
    if (!data.endsWith(u'/'))
        data += u'/';
    QStringList seen;
    QList<QPair<QString, QString>> files;   // file, shown name
    for (const QString& raw : administrations) {
        const QString name = raw.trimmed();
        if (name.isEmpty() || name.contains(u'/') || name.startsWith(u'.')
            || seen.contains(name, Qt::CaseInsensitive))
            continue;
        seen.append(name);
        if (!QFileInfo(data + name).isDir()) {
            report.actions.append(Fill(NL("Administratie %s bestaat niet meer."), {name}));
            continue;
        }
        files.append({data + name + QStringLiteral("/admin.sqlite"), name + QStringLiteral("/admin.sqlite")});
    }
    files.append({data + QStringLiteral("shared.sqlite"), QStringLiteral("shared.sqlite")});
    for (const auto& [file, shown] : files) {
        if (progress)
            progress(Fill(NL("Controle van %s"), {shown}));
        if (!QFileInfo(file).isFile()) {
            report.damageFound = true;
            report.allRepaired = false;
            report.actions.append(Fill(NL("%s ontbreekt."), {shown}));
            continue;
        }
        CheckFile(file, shown, &report);
    }
    if (!report.damageFound)
        report.actions.append(Translate(NL("Niets te herstellen.")));
    return report;
}
