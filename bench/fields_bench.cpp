// fields_bench <home folder> [name] [runs]
// Adding and removing a user column of the contacts table through the data layer (with the
// contacts open in the data module, its definition file and side files), beside plain
// ALTER TABLE statements through sqlite3 on the same file, in the same run.

#include "data/administration.h"
#include "data/collation.h"
#include "data/columnops.h"
#include "data/dm.h"
#include "data/fieldkinds.h"
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

bool Plain(const QString& folder, const char* sql, double* ms)
{
    sqlite3* db = nullptr;
    const QByteArray file = (folder + QStringLiteral("admin.sqlite")).toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    RegisterQuillonCollation(db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    QElapsedTimer timer;
    timer.start();
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    *ms = timer.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: fields_bench <home folder> [name] [runs]\n");
        return 2;
    }
    // Every question (the removal's) is answered with Ja; a notice means something went wrong.
    SetMessageHook([](const MessageRequest& request) {
        if (request.buttons.size() < 2)
            std::fprintf(stderr, "fields_bench: %s\n", qPrintable(request.text));
        return MessageAnswer{AskFirst, {}, false};
    });
    SetProgramFolder(QDir(args.at(1)).absolutePath());
    const QString name = args.size() > 2 ? args.at(2) : QStringLiteral("Groot");
    const int runs = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 5;
    const QString folder = DataFolder() + name + QLatin1Char('/');

    std::vector<double> add, remove, addPrice, removePrice, plainAdd, plainRemove;
    int records = 0;
    for (int run = 0; run <= runs; ++run) {
        {
            Tdm dm;
            TAdministration administration(folder, name, &dm);
            if (administration.Status() != asOpen) {
                std::fprintf(stderr, "fields_bench: status %d: %s\n", administration.Status(),
                             qPrintable(administration.StatusReason()));
                return 1;
            }
            records = dm.tabContacts->RecordCount();
            dm.tabContacts->Last();
            const TFieldContext contacts = FieldContextOf(&dm, 2);
            const TFieldContext products = FieldContextOf(&dm, 8);
            QElapsedTimer timer;
            timer.start();
            const bool added = !AddNewField(contacts, QStringLiteral("BENCHFIELD"), 14, 20).isEmpty();
            const double addMs = timer.nsecsElapsed() / 1e6;
            timer.restart();
            const bool removed = added && RemoveField(contacts, QStringLiteral("BENCHFIELD"));
            const double removeMs = timer.nsecsElapsed() / 1e6;
            timer.restart();
            const bool priceAdded = !AddNewField(products, QStringLiteral("BENCHPRICE"), 10, 0).isEmpty();
            const double addPriceMs = timer.nsecsElapsed() / 1e6;
            timer.restart();
            const bool priceRemoved = priceAdded && RemoveField(products, QStringLiteral("BENCHPRICE"));
            const double removePriceMs = timer.nsecsElapsed() / 1e6;
            if (!added || !removed || !priceAdded || !priceRemoved) {
                std::fprintf(stderr, "fields_bench: a column change failed\n");
                return 1;
            }
            if (run > 0) {
                add.push_back(addMs);
                remove.push_back(removeMs);
                addPrice.push_back(addPriceMs);
                removePrice.push_back(removePriceMs);
            }
        }
        double a = 0, r = 0;
        if (!Plain(folder, "ALTER TABLE Adressen ADD COLUMN BENCHPLAIN CHAR(20)", &a)
            || !Plain(folder, "ALTER TABLE Adressen DROP COLUMN BENCHPLAIN", &r)) {
            std::fprintf(stderr, "fields_bench: plain ALTER TABLE failed\n");
            return 1;
        }
        if (run > 0) {
            plainAdd.push_back(a);
            plainRemove.push_back(r);
        }
    }
    std::printf("User columns on administration %s (%d contacts), median of %d runs\n", qPrintable(name), records, runs);
    std::printf("%-52s %12s %12s %8s %8s\n", "operation", "quillon ms", "sqlite3 ms", "ratio", "target");
    auto row = [](const char* what, double ms, double plain, const char* target) {
        std::printf("%-52s %12.1f %12.1f %8.2f %8s\n", what, ms, plain, plain > 0 ? ms / plain : 0.0, target);
    };
    const double pa = Median(plainAdd);
    const double pr = Median(plainRemove);
    row("add a contacts column (contacts open, .dat, .grw)", Median(add), pa, "<1000 ms");
    row("remove it (asked, dropped, reopened, files)", Median(remove), pr, "<3000 ms");
    row("add a product price with its euro companion", Median(addPrice), 2 * pa, "<1000 ms");
    row("remove the price and its companion", Median(removePrice), 2 * pr, "<3000 ms");
    return 0;
}
