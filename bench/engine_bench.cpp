// engine_bench [home folder] [name]
// The dataset engine on a generated administration (quillon-generate; made in a temporary
// home folder when none is given), each figure beside the same work done with plain sqlite3
// calls in the same run: opening the contacts table in its sort order, Locate on the sort
// column, moving to the last record and reading the 50 rows on screen, a walk over every
// record, and the memory with the contacts table open through the grid model.

#include "bench/benchhome.h"
#include "data/busyretry.h"
#include "data/collation.h"
#include "data/connection.h"
#include "data/datasetmodel.h"
#include "data/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* kSortColumn = "ComName";  // VELDNR1's default, column 5

long RssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

sqlite3* PlainOpen(const QString& admin, const QString& shared)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(admin.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    RegisterQuillonCollation(db);
    sqlite3_busy_timeout(db, 3000);
    // The engine's own connection settings, so both sides do the same work.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA cache_size=-16384; PRAGMA mmap_size=268435456",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* attach = nullptr;
    sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS shared", -1, &attach, nullptr);
    const QByteArray file = shared.toUtf8();
    sqlite3_bind_text(attach, 1, file.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_step(attach);
    sqlite3_finalize(attach);
    return db;
}

// Steps a statement to the end, touching every column the way a reader would.
qint64 Drain(sqlite3_stmt* statement, bool allColumns)
{
    qint64 rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        ++rows;
        const int n = allColumns ? sqlite3_column_count(statement) : 1;
        for (int i = 0; i < n; ++i)
            if (sqlite3_column_type(statement, i) == SQLITE_TEXT)
                (void)QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                                        sqlite3_column_bytes(statement, i));
            else
                (void)sqlite3_column_int64(statement, i);
    }
    return rows;
}

qint64 PlainQuery(sqlite3* db, const char* sql, const QVariantList& binds = {}, bool allColumns = false)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return -1;
    for (int i = 0; i < binds.size(); ++i) {
        const QByteArray text = binds.at(i).toString().toUtf8();
        sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    const qint64 rows = Drain(statement, allColumns);
    sqlite3_finalize(statement);
    return rows;
}

struct Row
{
    const char* what;
    double engine;
    double plain;
    const char* unit;
    const char* target;
};

void Print(const Row& row)
{
    std::printf("%-46s %11.3f %11.3f %7.2f  %-3s %s\n", row.what, row.engine, row.plain,
                row.plain > 0 ? row.engine / row.plain : 0.0, row.unit, row.target);
}

} // namespace

// Run as a child: "--memory engine|plain <admin> <shared>" opens the contacts table in the
// sort order and reads the 50 rows a grid shows, then prints VmRSS in kB.
int MeasureMemory(const QString& mode, const QString& admin, const QString& shared)
{
    if (mode == QLatin1String("engine")) {
        QString error;
        std::unique_ptr<TDatabase> db = TDatabase::Open(admin, shared, &error);
        if (!db)
            return 1;
        TTable table;
        table.SetDatabase(db.get());
        table.SetTableName(QStringLiteral("Adressen"));
        table.SetIndexName(QStringLiteral("iAdr5"));
        if (!table.Open())
            return 1;
        TDataSetModel model(&table);
        for (int row = 0; row < 50; ++row)
            for (int c = 0; c < model.columnCount(); ++c)
                (void)model.data(model.index(row, c));
        std::printf("%ld\n", RssKb());
        return 0;
    }
    sqlite3* db = PlainOpen(admin, shared);
    if (!db)
        return 1;
    std::vector<qint64> ids;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM Adressen ORDER BY ComName COLLATE QCI, rowid", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    PlainQuery(db, "SELECT * FROM Adressen ORDER BY ComName COLLATE QCI, rowid LIMIT 50", {}, true);
    std::printf("%ld\n", RssKb());
    sqlite3_close(db);
    return 0;
}

double ChildMemoryMb(const QString& mode, const QString& admin, const QString& shared)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), mode, admin, shared});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLong() / 1024.0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetDefaultBusyAsker([](const QString&) { return false; });
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == QLatin1String("--memory"))
        return MeasureMemory(args.at(2), args.at(3), args.at(4));
    QTemporaryDir temporary;
    BenchHome bench;
    if (!PrepareBenchHome(args, temporary, "engine_bench", &bench))
        return 1;
    const QString home = bench.home;
    const QString name = bench.name;
    const QString admin = QDir(home).absoluteFilePath(QStringLiteral("data/") + name + QStringLiteral("/admin.sqlite"));
    const QString shared = QDir(home).absoluteFilePath(QStringLiteral("data/shared.sqlite"));
    if (!QFile::exists(admin)) {
        std::fprintf(stderr, "engine_bench: no %s\n", qPrintable(admin));
        return 1;
    }
    QString error;
    std::unique_ptr<TDatabase> db = TDatabase::Open(admin, shared, &error);
    sqlite3* plain = PlainOpen(admin, shared);
    if (!db || !plain) {
        std::fprintf(stderr, "engine_bench: cannot open %s: %s\n", qPrintable(admin), qPrintable(error));
        return 1;
    }
    const QString orderSql = QStringLiteral("SELECT rowid FROM Adressen ORDER BY \"%1\" COLLATE QCI, rowid").arg(QLatin1String(kSortColumn));
    const QByteArray orderUtf8 = orderSql.toUtf8();
    // Warm the file cache for both.
    PlainQuery(plain, "SELECT * FROM Adressen", {}, true);

    std::vector<Row> rows;
    QElapsedTimer timer;

    // 1. Opening the contacts table in the sort column's order (median of 11).
    {
        std::vector<double> engine, direct;
        for (int run = 0; run < 11; ++run) {
            TTable table;
            table.SetDatabase(db.get());
            table.SetTableName(QStringLiteral("Adressen"));
            table.SetIndexName(QStringLiteral("iAdr5"));
            timer.start();
            if (!table.Open()) {
                std::fprintf(stderr, "engine_bench: %s\n", qPrintable(table.LastError()));
                return 1;
            }
            engine.push_back(timer.nsecsElapsed() / 1e6);
            timer.start();
            PlainQuery(plain, orderUtf8.constData());
            PlainQuery(plain, "SELECT * FROM Adressen ORDER BY ComName COLLATE QCI, rowid LIMIT 1", {}, true);
            direct.push_back(timer.nsecsElapsed() / 1e6);
        }
        rows.push_back({"open contacts table (100,000, sort order)", Median(engine), Median(direct), "ms", "< 300 ms (all tables)"});
    }

    // 2. Opening every table of the administration and the shared ones.
    {
        const char* tables[] = {"Adressen", "Products", "categorieA", "categorieP", "Log", "factuur", "faclijn",
                                "shared.Post", "shared.Calendar", "shared.profiles"};
        const char* indexes[] = {"iAdr5", "iAdr1", "", "", "", "iAdr1", "", "", "", ""};
        std::vector<double> engine, direct;
        for (int run = 0; run < 7; ++run) {
            std::vector<std::unique_ptr<TTable>> open;
            timer.start();
            std::unique_ptr<TDatabase> fresh = TDatabase::Open(admin, shared, &error);
            for (int i = 0; i < int(std::size(tables)); ++i) {
                auto table = std::make_unique<TTable>();
                table->SetDatabase(fresh.get());
                table->SetTableName(QString::fromLatin1(tables[i]));
                table->SetIndexName(QString::fromLatin1(indexes[i]));
                table->Open();
                open.push_back(std::move(table));
            }
            engine.push_back(timer.nsecsElapsed() / 1e6);
            open.clear();
            fresh.reset();
            timer.start();
            sqlite3* other = PlainOpen(admin, shared);
            PlainQuery(other, "SELECT rowid FROM Adressen ORDER BY ComName COLLATE QCI, rowid");
            PlainQuery(other, "SELECT rowid FROM Products ORDER BY P_NAME COLLATE QCI, rowid");
            PlainQuery(other, "SELECT rowid FROM categorieA ORDER BY rowid");
            PlainQuery(other, "SELECT rowid FROM categorieP ORDER BY rowid");
            PlainQuery(other, "SELECT rowid FROM Log ORDER BY rowid");
            PlainQuery(other, "SELECT rowid FROM factuur ORDER BY F_FACNR COLLATE QCI, rowid");
            PlainQuery(other, "SELECT rowid FROM faclijn ORDER BY rowid");
            PlainQuery(other, "SELECT rowid FROM shared.Post ORDER BY rowid");
            PlainQuery(other, "SELECT rowid FROM shared.Calendar ORDER BY rowid");
            PlainQuery(other, "SELECT rowid FROM shared.profiles ORDER BY rowid");
            sqlite3_close(other);
            direct.push_back(timer.nsecsElapsed() / 1e6);
        }
        rows.push_back({"open connection and all 10 tables", Median(engine), Median(direct), "ms", "< 300 ms"});
    }

    TTable contacts;
    contacts.SetDatabase(db.get());
    contacts.SetTableName(QStringLiteral("Adressen"));
    contacts.SetIndexName(QStringLiteral("iAdr5"));
    contacts.Open();
    const int sortField = contacts.FieldByName(QString::fromLatin1(kSortColumn))->Index();

    // 3. Locate on the sort column, partial and case-insensitive, with prefixes users type.
    {
        QStringList prefixes;
        QRandomGenerator random(42);
        for (int i = 0; i < 501; ++i) {
            const QString value = contacts.DisplayTextAt(int(random.bounded(contacts.RecordCount())), sortField);
            prefixes << value.left(1 + int(random.bounded(4))).toLower();
        }
        const TLocateOptions options{true, true};
        std::vector<double> engine, direct;
        int found = 0;
        const QByteArray locateSql = QStringLiteral("SELECT * FROM Adressen WHERE \"%1\" COLLATE QCI >= ? AND \"%1\" COLLATE QCI < ? "
                                                    "ORDER BY \"%1\" COLLATE QCI, rowid LIMIT 1").arg(QLatin1String(kSortColumn)).toUtf8();
        for (const QString& prefix : prefixes) {
            timer.start();
            found += contacts.Locate(QString::fromLatin1(kSortColumn), prefix, options) ? 1 : 0;
            (void)contacts.FieldByName(QString::fromLatin1(kSortColumn))->AsString();
            engine.push_back(timer.nsecsElapsed() / 1e6);
            timer.start();
            PlainQuery(plain, locateSql.constData(), {prefix, PrefixUpperBound(prefix)}, true);
            direct.push_back(timer.nsecsElapsed() / 1e6);
        }
        rows.push_back({"Locate on sort column, partial, no case (median)", Median(engine), Median(direct), "ms", "< 2 ms"});
        if (found != int(prefixes.size()))
            std::fprintf(stderr, "engine_bench: only %d of %d prefixes found\n", found, int(prefixes.size()));
    }

    // 4. Last record and the 50 rows a grid shows there, every column as display text.
    {
        std::vector<double> engine, direct;
        const int fields = contacts.FieldCount();
        for (int run = 0; run < 21; ++run) {
            contacts.First();
            contacts.Refresh();  // a cold row cache each time
            timer.start();
            contacts.Last();
            const int last = contacts.RecordCount() - 1;
            for (int row = last - 49; row <= last; ++row)
                for (int f = 0; f < fields; ++f)
                    (void)contacts.DisplayTextAt(row, f);
            engine.push_back(timer.nsecsElapsed() / 1e6);
            timer.start();
            PlainQuery(plain, "SELECT * FROM Adressen ORDER BY ComName COLLATE QCI DESC, rowid DESC LIMIT 50", {}, true);
            direct.push_back(timer.nsecsElapsed() / 1e6);
        }
        rows.push_back({"Last + read the 50 rows on screen", Median(engine), Median(direct), "ms", "< 20 ms"});
    }

    // 5. A walk over every record, reading the sort column (per record).
    {
        timer.start();
        qint64 walked = 0;
        for (contacts.First(); !contacts.Eof(); contacts.Next()) {
            (void)contacts.FieldByName(QString::fromLatin1(kSortColumn))->AsString();
            ++walked;
        }
        const double engine = timer.nsecsElapsed() / 1e3 / double(walked);
        timer.start();
        const qint64 count = PlainQuery(plain, "SELECT * FROM Adressen ORDER BY ComName COLLATE QCI, rowid", {}, true);
        const double direct = timer.nsecsElapsed() / 1e3 / double(count);
        rows.push_back({"walk First..Eof, per record", engine, direct, "us", "<= 3x plain"});
    }

    // 6. Appending contacts into the sorted table under one lock (rolled back afterwards).
    {
        const int count = 2000;
        contacts.First();
        timer.start();
        if (!LockTableWithRetry(contacts))
            return 1;
        for (int i = 0; i < count; ++i) {
            contacts.Append();
            contacts.FieldByName(QStringLiteral("ComName"))->SetValue(QStringLiteral("Bench %1 Élodie").arg(i));
            contacts.FieldByName(QStringLiteral("Place"))->SetValue(QStringLiteral("Liège"));
            contacts.Post();
        }
        const double engine = timer.nsecsElapsed() / 1e3 / count;
        AbandonTableLock(contacts);
        timer.start();
        sqlite3_exec(plain, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(plain, "INSERT INTO Adressen (ComName, Place) VALUES (?, ?)", -1, &insert, nullptr);
        for (int i = 0; i < count; ++i) {
            const QByteArray name = QStringLiteral("Bench %1 Élodie").arg(i).toUtf8();
            sqlite3_reset(insert);
            sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, "Li\xc3\xa8ge", -1, SQLITE_STATIC);
            sqlite3_step(insert);
        }
        sqlite3_finalize(insert);
        const double direct = timer.nsecsElapsed() / 1e3 / count;
        sqlite3_exec(plain, "ROLLBACK", nullptr, nullptr, nullptr);
        rows.push_back({"Append + Post in sort order, per record", engine, direct, "us", "(insert only)"});
    }

    // 7. Memory with the contacts table open through the grid model, 50 rows shown, each in
    //    a fresh process.
    {
        const double engineMb = ChildMemoryMb(QStringLiteral("engine"), admin, shared);
        const double plainMb = ChildMemoryMb(QStringLiteral("plain"), admin, shared);
        rows.push_back({"memory (VmRSS), contacts open in the grid model", engineMb, plainMb, "MB", "< 100 MB"});
        std::printf("\nEngine benchmark on %s (%d contacts)\n", qPrintable(admin), contacts.RecordCount());
        std::printf("%-46s %11s %11s %7s  %-3s %s\n", "operation", "engine", "sqlite3", "ratio", "", "target");
        for (const Row& row : rows)
            Print(row);
    }
    return 0;
}
