// open_bench <home folder> [name] [runs]
// Opening an administration with all its tables through the data module, beside the same
// work done with plain sqlite3 calls on the same files, in the same run.

#include "data/administration.h"
#include "data/collation.h"
#include "data/dm.h"
#include "data/shareddb.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

// What opening the administration reads, as plain SQL: the connection, the attached shared
// database, every table's columns and the identifiers of every opened table in its order.
bool PlainOpen(const QString& folder, const QString& dataFolder, qint64* rows)
{
    sqlite3* db = nullptr;
    const QByteArray file = (folder + QStringLiteral("admin.sqlite")).toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    RegisterQuillonCollation(db);
    const QByteArray attach = QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA busy_timeout=3000; ATTACH DATABASE '%1' AS shared")
                                  .arg(SharedDatabaseFile(dataFolder).replace(QLatin1Char('\''), QStringLiteral("''")))
                                  .toUtf8();
    sqlite3_exec(db, attach.constData(), nullptr, nullptr, nullptr);
    const char* scans[] = {
        "SELECT nummer FROM Adressen ORDER BY ComName COLLATE QCI, rowid",
        "SELECT * FROM categorieA LIMIT 1",
        "SELECT * FROM categorieP LIMIT 1",
        "SELECT * FROM Log LIMIT 1",
        "SELECT P_ID FROM Products ORDER BY P_CODE COLLATE QCI, rowid",
        "SELECT F_ID FROM factuur ORDER BY F_FACNR COLLATE QCI, rowid",
        "SELECT FL_ID FROM faclijn ORDER BY FL_FNR, rowid",
        "SELECT rowid FROM shared.Post ORDER BY code, rowid",
        "SELECT cal_id FROM shared.Calendar ORDER BY cal_date, cal_time, rowid",
        "SELECT id FROM shared.profiles ORDER BY id",
    };
    bool ok = true;
    for (const char* sql : scans) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            ok = false;
            break;
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            sqlite3_column_int64(statement, 0);
            ++*rows;
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: open_bench <home folder> [name] [runs]\n");
        return 2;
    }
    SetMessageHook([](const MessageRequest&) { return MessageAnswer{}; });
    SetProgramFolder(QDir(args.at(1)).absolutePath());
    const QString name = args.size() > 2 ? args.at(2) : QStringLiteral("Groot");
    const int runs = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 10;
    const QString folder = DataFolder() + name + QLatin1Char('/');

    std::vector<double> engine;
    std::vector<double> plain;
    int records = 0;
    qint64 plainRows = 0;
    for (int run = 0; run <= runs; ++run) {
        Tdm dm;
        QElapsedTimer timer;
        timer.start();
        auto administration = std::make_unique<TAdministration>(folder, name, &dm);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (administration->Status() != asOpen) {
            std::fprintf(stderr, "open_bench: status %d: %s\n", administration->Status(),
                         qPrintable(administration->StatusReason()));
            return 1;
        }
        records = dm.tabContacts->RecordCount();
        administration.reset();

        qint64 rows = 0;
        timer.restart();
        if (!PlainOpen(folder, DataFolder(), &rows)) {
            std::fprintf(stderr, "open_bench: plain sqlite3 open failed\n");
            return 1;
        }
        const double plainMs = timer.nsecsElapsed() / 1e6;
        if (run == 0)
            continue;   // the first round warms the file cache for both
        engine.push_back(ms);
        plain.push_back(plainMs);
        plainRows = rows;
    }
    const double e = Median(engine);
    const double p = Median(plain);
    std::printf("Opening administration %s (%d contacts; %lld identifiers read by plain SQL), median of %d runs\n",
                qPrintable(name), records, static_cast<long long>(plainRows), runs);
    std::printf("%-44s %12s %12s %8s %8s\n", "operation", "quillon ms", "sqlite3 ms", "ratio", "target");
    std::printf("%-44s %12.1f %12.1f %8.2f %8s\n", "open administration and all its tables", e, p, p > 0 ? e / p : 0.0,
                "<300 ms");
    return 0;
}
