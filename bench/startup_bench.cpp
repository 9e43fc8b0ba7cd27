// startup_bench [home folder] [name]
// The main window on a generated administration (quillon-generate: 100,000 contacts; made in
// a temporary folder unless a home folder is given): the cold start to the first contact's
// caption on screen (create TfrmMain, open DEFADMIN, show), and the switch contacts ->
// products -> contacts, beside the plain SQL that reads the same first rows.
// Targets: start < 1500 ms, switch < 200 ms.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/benchhome.h"
#include "data/busyretry.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/mainwindow.h"

namespace {

double Max(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

void Row(const char* what, const std::vector<double>& ms, const char* target)
{
    std::printf("%-44s %10.1f %10.1f %10.1f  %s\n", what, ms.empty() ? 0 : ms.front(), Median(ms), Max(ms), target);
}

// Shown and painted: the events of the show are handled.
void Settle(QWidget& w)
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    w.repaint();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessageHook([](const MessageRequest& request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return MessageAnswer{};
    });
    SetDefaultBusyAsker([](const QString&) { return false; });
    const QStringList args = app.arguments();
    QTemporaryDir temporary;
    BenchHome bench;
    if (!PrepareBenchHome(args, temporary, "startup_bench", &bench))
        return 1;
    const QString home = bench.home;
    const QString name = bench.name;
    SetProgramFolder(home);
    EnsureHomeFolder();
    LoadTranslations(ProgramFolder() + QStringLiteral("dll/Strings.DAT"));
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), name);
    WriteSetting(OvraIni(), QStringLiteral("MAINPOS"), QStringLiteral("|0|0|1024|700|"));

    const int rounds = 5;
    std::vector<double> start;
    std::vector<double> toProducts;
    std::vector<double> toContacts;
    std::vector<double> roundTrip;
    QString firstCaption;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        timer.start();
        auto w = std::make_unique<TfrmMain>();
        // The bench ends without the exit backups of 100,000 contacts.
        w->keyboardModifiers = [] { return Qt::KeyboardModifiers(Qt::ShiftModifier); };
        if (!w->StartUp()) {
            std::fprintf(stderr, "startup_bench: the administration did not open\n");
            return 1;
        }
        w->show();
        Settle(*w);
        start.push_back(timer.nsecsElapsed() / 1e6);
        firstCaption = w->findChild<QLabel*>(QStringLiteral("labMainCap"))->text();

        for (int i = 0; i < 4; ++i) {
            timer.start();
            w->SwitchModule(6);
            Settle(*w);
            const double products = timer.nsecsElapsed() / 1e6;
            QElapsedTimer back;
            back.start();
            w->SwitchModule(1);
            Settle(*w);
            toProducts.push_back(products);
            toContacts.push_back(back.nsecsElapsed() / 1e6);
            roundTrip.push_back(timer.nsecsElapsed() / 1e6);
        }
        w->close();
        w.reset();
    }

    // The same first rows in plain SQL.
    std::vector<double> plainStart;
    std::vector<double> plainSwitch;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        for (int round = 0; round < rounds; ++round) {
            timer.start();
            db.setDatabaseName(DataFolder() + name + QStringLiteral("/admin.sqlite"));
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT nummer FROM Adressen ORDER BY ComName"));
            int rows = 0;
            while (q.next())
                ++rows;
            q.exec(QStringLiteral("SELECT * FROM Adressen ORDER BY ComName LIMIT 1"));
            q.next();
            plainStart.push_back(timer.nsecsElapsed() / 1e6);
            timer.start();
            q.exec(QStringLiteral("SELECT P_ID FROM Products ORDER BY P_ID"));
            while (q.next())
                ++rows;
            q.exec(QStringLiteral("SELECT * FROM Products ORDER BY P_ID LIMIT 1"));
            q.next();
            q.exec(QStringLiteral("SELECT * FROM Adressen ORDER BY ComName LIMIT 1"));
            q.next();
            plainSwitch.push_back(timer.nsecsElapsed() / 1e6);
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));

    std::printf("\nfirst contact shown: %s\n\n", qPrintable(firstCaption));
    std::printf("%-44s %10s %10s %10s  %s\n", "ms", "first", "median", "max", "target");
    Row("cold start to the first contact", start, Max(start) < 1500 ? "< 1500 ok" : "< 1500 SLOW");
    Row("  plain SQL: id list + first contact", plainStart, "");
    Row("switch contacts -> products", toProducts, "");
    Row("switch products -> contacts", toContacts, "");
    Row("switch contacts -> products -> contacts", roundTrip, Max(roundTrip) < 200 ? "< 200 ok" : "< 200 SLOW");
    Row("  plain SQL: product ids + both first rows", plainSwitch, "");
    return 0;
}
