// Posting a new contact through the record rules (identifier allocated and its counter stored
// in the post's transaction, ComName composed) on a generated administration (quillon-generate;
// made in a temporary folder unless a home folder is given), beside plain SQL inserts through
// the same connection; the same with a disk flush per commit; admin.ini's counter copy; a new
// invoice with its number.
//   rules_bench [home] [administration]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

#include "bench/benchhome.h"
#include "data/administration.h"
#include "data/busyretry.h"
#include "data/connection.h"
#include "data/counters.h"
#include "data/dm.h"
#include "foundation/homefolder.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetDefaultBusyAsker([](const QString&) { return false; });
    const QStringList args = app.arguments();
    QTemporaryDir temporary;
    BenchHome bench;
    if (!PrepareBenchHome(args, temporary, "rules_bench", &bench))
        return 1;
    const QString home = bench.home;
    const QString name = bench.name;
    SetProgramFolder(home);
    Tdm dm;
    TAdministration admin(DataFolder() + name, name, &dm);
    if (admin.Status() != asOpen) {
        std::fprintf(stderr, "rules_bench: %s\n", qPrintable(admin.StatusReason()));
        return 1;
    }
    TTable& contacts = *dm.tabContacts;
    TDatabase* db = dm.Database();
    const int before = contacts.RecordCount();
    const int rounds = 200;
    QElapsedTimer timer;
    int serial = 0;
    // Append, fill in and post one contact the way the card does; its time in ms.
    auto postContact = [&]() -> double {
        timer.start();
        contacts.Append();
        contacts.FieldByName(QStringLiteral("COMPANY"))->SetValue(QStringLiteral("Bench %1").arg(++serial));
        contacts.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Peeters"));
        contacts.FieldByName(QStringLiteral("GivenName"))->SetValue(QStringLiteral("Jan"));
        if (!contacts.Post()) {
            std::fprintf(stderr, "rules_bench: %s\n", qPrintable(contacts.LastError()));
            std::exit(1);
        }
        return timer.nsecsElapsed() / 1e6;
    };
    auto plainInsert = [&]() -> double {
        timer.start();
        db->Exec(QStringLiteral("INSERT INTO Adressen (nummer, COMPANY, Name, GivenName, ComName) VALUES "
                                "((SELECT MAX(nummer) + 1 FROM Adressen), ?, 'Peeters', 'Jan', ?)"),
                 {QStringLiteral("Plain %1").arg(serial), QStringLiteral("Plain %1 Peeters Jan").arg(serial)});
        return timer.nsecsElapsed() / 1e6;
    };

    std::vector<double> rules, plain;
    for (int i = 0; i < rounds; ++i) {
        rules.push_back(postContact());
        plain.push_back(plainInsert());
    }
    // admin.ini's copy of the counter, written once after the burst.
    timer.start();
    FlushCounterMirrors();
    const double mirror = timer.nsecsElapsed() / 1e6;

    // The same with a disk flush at every commit, for comparison.
    db->Exec(QStringLiteral("PRAGMA main.synchronous=FULL"));
    std::vector<double> fullRules, fullPlain;
    for (int i = 0; i < rounds / 4; ++i) {
        fullRules.push_back(postContact());
        fullPlain.push_back(plainInsert());
    }
    db->Exec(QStringLiteral("PRAGMA main.synchronous=NORMAL"));
    FlushCounterMirrors();

    // A new invoice: identifier, number (counter in admin.ini, rewritten in the transaction)
    // and its audit line.
    TTable& documents = *dm.TabFact;
    std::vector<double> invoices;
    for (int i = 0; i < 50; ++i) {
        timer.start();
        documents.Append();
        documents.FieldByName(QStringLiteral("F_TYPE"))->SetValue(1);
        documents.FieldByName(QStringLiteral("F_CID"))->SetValue(1);
        if (!documents.Post()) {
            std::fprintf(stderr, "rules_bench: %s\n", qPrintable(documents.LastError()));
            return 1;
        }
        invoices.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("\nRecord rules benchmark on %s (%d contacts before)\n", qPrintable(admin.Folder()), before);
    std::printf("%-52s %11s %11s %7s  %s\n", "operation", "rules", "plain SQL", "ratio", "target");
    const double r = Median(rules);
    const double p = Median(plain);
    std::printf("%-52s %11.3f %11.3f %7.2f  %s %s\n", "post a new contact (median of 200), ms", r, p, p > 0 ? r / p : 0.0,
                "< 5 ms", r < 5.0 ? "ok" : "MISSED");
    const double fr = Median(fullRules);
    const double fp = Median(fullPlain);
    std::printf("%-52s %11.3f %11.3f %7.2f\n", "  the same, disk flush per commit (median of 50), ms", fr, fp,
                fp > 0 ? fr / fp : 0.0);
    std::printf("%-52s %11.3f\n", "  admin.ini copy of the counter after the burst, ms", mirror);
    std::printf("%-52s %11.3f\n", "post a new invoice with its number (median of 50), ms", Median(invoices));
    return r < 5.0 ? 0 : 2;
}
