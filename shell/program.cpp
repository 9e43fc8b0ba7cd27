#include "shell/program.h"

#include <QApplication>
#include <QLoggingCategory>

#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/mainwindow.h"
#include "shell/messagesink.h"
#include "shell/singleinstance.h"
#include "shell/startupsettings.h"

namespace {

Q_LOGGING_CATEGORY(lcInstance, "quillon.instance")

void BringToFront(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
}

} // namespace

QString InstanceKey()
{
    return ApplicationTitle() + QLatin1Char('|') + ProgramFolder();
}

TStartupServices ProgramStartupServices()
{
    TStartupServices services;
    return services;
}

int QuillonMain(QApplication& app)
{
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setApplicationDisplayName(ApplicationTitle());
    // A second start only brings the first to the front; it never opens data.
    TSingleInstance instance(InstanceKey());
    if (!instance.Start()) {
        qCInfo(lcInstance, "another Quillon runs for %s: it was asked to come to the front",
               qPrintable(ProgramFolder()));
        return 0;
    }
    const bool home = EnsureHomeFolder();
    // The translations come before any window, from the home folder or the shipped copy.
    LoadTranslations(home ? ProgramFolder() + QStringLiteral("dll/Strings.DAT")
                          : ResourceFolder() + QStringLiteral("dll/Strings.DAT"));
    SetLanguageIndex(LanguageIndexOf(ReadSetting(OvraIni(), QStringLiteral("LANGUAGE"))));
    if (!home) {
        ShowNotice(FillPlaceholders(Translate(NL("De programmamap %s kan niet aangemaakt worden.")), {ProgramFolder()}),
                   false);
        return 1;
    }

    auto window = std::make_unique<TfrmMain>(ProgramStartupServices());
    QObject::connect(&instance, &TSingleInstance::ActivationRequested, window.get(), [w = window.get()] {
        qCInfo(lcInstance, "a second start asked for the window");
        BringToFront(w);
    });
    if (!window->StartUp())
        return 0;
    window->show();
    const int result = app.exec();
    window.reset();
    return result;
}
