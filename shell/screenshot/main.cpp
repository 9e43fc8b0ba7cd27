// quillon-screenshot <home folder> <png> [NL|F|UK|DE] [administration] [typed text]
// The main window over the home folder's administration (default "Demo", made with sample data
// when the home folder has none), maximised on the screen, saved as a picture. With a typed
// text it is typed key by key into the explorer's quick-search box first, and the time each
// key took until the list was painted is printed. Run it under a virtual screen:
// xvfb-run -s "-screen 0 1280x800x24" quillon-screenshot ...

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "data/newadministration.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/explorer.h"
#include "shell/mainwindow.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: quillon-screenshot <home folder> <png> [NL|F|UK|DE]\n");
        return 2;
    }
    SetMessageHook([](const MessageRequest& request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return MessageAnswer{};
    });
    SetProgramFolder(QDir(args.at(1)).absolutePath() + QStringLiteral("/"));
    if (!EnsureHomeFolder())
        return 1;
    const QString name = args.size() > 4 ? args.at(4) : QStringLiteral("Demo");
    if (name == QLatin1String("Demo") && !QFile::exists(DataFolder() + name + QStringLiteral("/admin.ini"))) {
        NewAdministration request;
        request.name = name;
        request.sampleData = true;
        request.mainCurrency = QStringLiteral("EUR");
        request.profile = {{QStringLiteral("company"), QStringLiteral("Drukkerij Vermeulen")},
                           {QStringLiteral("Name"), QStringLiteral("Vermeulen")},
                           {QStringLiteral("Address"), QStringLiteral("Kouter 12")},
                           {QStringLiteral("Zip"), QStringLiteral("9000")},
                           {QStringLiteral("Place"), QStringLiteral("Gent")}};
        QString error;
        if (!CreateAdministrationFiles(request, &error)) {
            std::fprintf(stderr, "quillon-screenshot: %s\n", qPrintable(error));
            return 1;
        }
    }
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), name);
    WriteSetting(OvraIni(), QStringLiteral("MUNT"), QStringLiteral("EUR"));
    WriteSetting(OvraIni(), QStringLiteral("MAINPOS"), QStringLiteral("MAX|"));
    WriteSetting(OvraIni(), QStringLiteral("LANGUAGE"), args.size() > 3 ? args.at(3) : QStringLiteral("NL"));
    LoadTranslations(ProgramFolder() + QStringLiteral("dll/Strings.DAT"));

    TfrmMain window;
    window.keyboardModifiers = [] { return Qt::KeyboardModifiers(Qt::ShiftModifier); };
    if (!window.StartUp())
        return 1;
    window.show();
    // A virtual screen has no window manager to maximise the window.
    window.setGeometry(window.screen()->availableGeometry());
    QTimer::singleShot(1500, &app, [&] {
        if (args.size() > 5) {
            QLineEdit* box = window.Explorer()->SearchBox();
            box->setFocus();
            for (const QChar c : args.at(5)) {
                QElapsedTimer timer;
                timer.start();
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QCoreApplication::sendEvent(box, &press);
                window.Explorer()->repaint();
                std::printf("key '%s': %.2f ms\n", qPrintable(QString(c)), timer.nsecsElapsed() / 1e6);
            }
        }
        const QPixmap shot = window.screen()->grabWindow(0);
        const bool saved = shot.save(args.at(2), "PNG");
        std::printf("%s %dx%d\n", saved ? "saved" : "NOT saved", shot.width(), shot.height());
        window.close();
        app.exit(saved ? 0 : 1);
    });
    return app.exec();
}
