// quillon-generate <home folder> [name]
// Makes a large administration for benchmarks and trials: 100,000 contacts, 20,000 products
// and 10,000 documents with 100,000 lines, with Dutch, French and German names, streets and
// the Belgian postcodes. The same run always gives the same data.

#include "data/connection.h"
#include "data/newadministration.h"
#include "data/sampledata.h"
#include "data/shareddb.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// The owner of the benchmark administration: its first contact.
QMap<QString, QString> DemoProfile()
{
    return {{QStringLiteral("Name"), QStringLiteral("Peeters Jan")},
            {QStringLiteral("company"), QStringLiteral("Quillon Demo BV")},
            {QStringLiteral("Zip"), QStringLiteral("9000")},
            {QStringLiteral("Address"), QStringLiteral("Kouter 12")},
            {QStringLiteral("Place"), QStringLiteral("Gent")},
            {QStringLiteral("Telephone Private"), QString()},
            {QStringLiteral("Telephone office"), QStringLiteral("09 223 45 67")},
            {QStringLiteral("Fax"), QStringLiteral("09 223 45 68")},
            {QStringLiteral("Gsm"), QStringLiteral("0475 12 34 56")},
            {QStringLiteral("Email"), QStringLiteral("info@quillon-demo.be")},
            {QStringLiteral("Website"), QStringLiteral("www.quillon-demo.be")},
            {QStringLiteral("vatnr"), QStringLiteral("BE 0123.456.749")},
            {QStringLiteral("Accountnr"), QStringLiteral("BE68 5390 0754 7034")}};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: quillon-generate <home folder> [name]\n");
        return 2;
    }
    // Messages of the library go to the terminal; nobody is there to click them away.
    SetMessageHook([](const MessageRequest& request) {
        std::fprintf(stderr, "%s\n", qPrintable(request.text));
        return MessageAnswer{};
    });
    SetDefaultBusyAsker([](const QString& question) {
        std::fprintf(stderr, "%s\n", qPrintable(question));
        return false;
    });
    const QString home = QDir(args.at(1)).absolutePath();
    const QString name = args.size() > 2 ? args.at(2).trimmed() : QStringLiteral("Groot");
    SetProgramFolder(home);
    const QString folder = DataFolder() + name + QLatin1Char('/');
    if (!name.isEmpty() && QFileInfo::exists(folder + QStringLiteral("admin.sqlite"))) {
        std::fprintf(stderr, "quillon-generate: the administration %s exists already; nothing was changed\n",
                     qPrintable(folder));
        return 1;
    }
    QString error;
    if (!CheckNewAdministrationName(name, &error)) {
        std::fprintf(stderr, "quillon-generate: \"%s\" is no administration name: %s\n", qPrintable(name),
                     qPrintable(error));
        return 2;
    }
    if (!EnsureHomeFolder()) {
        std::fprintf(stderr, "quillon-generate: cannot set up the home folder %s\n", qPrintable(home));
        return 1;
    }
    bool found = false;
    ReadSetting(OvraIni(), QStringLiteral("MUNT"), &found);
    if (!found)
        WriteSetting(OvraIni(), QStringLiteral("MUNT"), QStringLiteral("EUR"));
    ReadSetting(OvraIni(), QStringLiteral("DEFADMIN"), &found);
    if (!found)
        WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), name);

    NewAdministration request;
    request.name = name;
    request.profile = DemoProfile();
    request.mainCurrency = QStringLiteral("EUR");
    if (!CreateAdministrationFiles(request, &error)) {
        std::fprintf(stderr, "quillon-generate: %s\n", qPrintable(error));
        return 1;
    }
    std::unique_ptr<TDatabase> db = TDatabase::Open(folder + QStringLiteral("admin.sqlite"),
                                                    SharedDatabaseFile(DataFolder()), &error);
    if (!db) {
        std::fprintf(stderr, "quillon-generate: %s\n", qPrintable(error));
        return 1;
    }
    const bool ok = FillSampleData(*db, folder, LargeSampleSize(), &error, [](const QString& step, qint64 ms) {
        std::printf("%-22s %6lld ms\n", qPrintable(step), static_cast<long long>(ms));
    });
    if (!ok) {
        std::fprintf(stderr, "quillon-generate: %s failed\n", qPrintable(error));
        return 1;
    }
    std::printf("administration %s ready\n", qPrintable(folder));
    return 0;
}
