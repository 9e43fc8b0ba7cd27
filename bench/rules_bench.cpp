// Posting a new contact through the record rules (identifier allocated in the post's
// transaction, counter in admin.ini, ComName composed) on a generated administration
// (quillon-generate; made in a temporary folder unless a home folder is given), beside plain
// SQL inserts through the same connection.
//   rules_bench [home] [administration]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "data/administration.h"
#include "data/busyretry.h"
#include "data/dm.h"
#include "foundation/homefolder.h"

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetDefaultBusyAsker([](const QString&) { return false; });
    const QStringList args = app.arguments();
    QTemporaryDir temporary;
    QString home = args.size() > 1 ? args.at(1) : QString();
    const QString name = args.size() > 2 ? args.at(2) : QStringLiteral("Groot");
    if (home.isEmpty()) {
        home = temporary.path();
        std::printf("generating a test administration in %s ...\n", qPrintable(home));
        std::fflush(stdout);
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-generate"), {home, name});
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            std::fprintf(stderr, "rules_bench: quillon-generate failed; give a generated home folder\n");
            return 1;
        }
    }
    SetProgramFolder(QDir(home).absolutePath() + QStringLiteral("/"));
    Tdm dm;
    TAdministration admin(DataFolder() + name, name, &dm);
    if (admin.Status() != asOpen) {
        std::fprintf(stderr, "rules_bench: %s\n", qPrintable(admin.StatusReason()));
        return 1;
    }
    TTable& contacts = *dm.tabContacts;
    const int before = contacts.RecordCount();
    const int rounds = 200;
    std::vector<double> rules;
    std::vector<double> plain;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        contacts.Append();
        contacts.FieldByName(QStringLiteral("COMPANY"))->SetValue(QStringLiteral("Bench %1").arg(i));
        contacts.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Peeters"));
        contacts.FieldByName(QStringLiteral("GivenName"))->SetValue(QStringLiteral("Jan"));
        if (!contacts.Post()) {
            std::fprintf(stderr, "rules_bench: %s\n", qPrintable(contacts.LastError()));
            return 1;
        }
        rules.push_back(timer.nsecsElapsed() / 1e6);

        timer.start();
        dm.Database()->Exec(QStringLiteral("INSERT INTO Adressen (nummer, COMPANY, Name, GivenName, ComName) VALUES "
                                           "((SELECT MAX(nummer) + 1 FROM Adressen), ?, 'Peeters', 'Jan', ?)"),
                            {QStringLiteral("Plain %1").arg(i), QStringLiteral("Plain %1 Peeters Jan").arg(i)});
        plain.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("\nRecord rules benchmark on %s (%d contacts before)\n", qPrintable(admin.Folder()), before);
    std::printf("%-46s %11s %11s %7s  %s\n", "operation", "rules", "plain SQL", "ratio", "target");
    const double r = Median(rules);
    const double p = Median(plain);
    std::printf("%-46s %11.3f %11.3f %7.2f  %s %s\n", "post a new contact (median of 200), ms", r, p, p > 0 ? r / p : 0.0,
                "< 5 ms", r < 5.0 ? "ok" : "MISSED");
    return r < 5.0 ? 0 : 2;
}
