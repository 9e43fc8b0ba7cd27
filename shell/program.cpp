#include "shell/program.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QPointer>

#include "data/newadministration.h"
#include "data/repair.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/firstrun.h"
#include "shell/mainwindow.h"
#include "shell/messagesink.h"
#include "shell/singleinstance.h"
#include "shell/splash.h"
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

void RepairAfterUncleanExit(const QStringList& administrations, const std::function<void(const QString&)>& progress)
{
    const RepairReport report = CheckAndRepair(DataFolder(), administrations, progress);
    // Only a repair that found something is worth the user's click.
    if (report.damageFound || !report.allRepaired)
        ShowNotice(report.actions.join(QLatin1Char('\n')), false);
}

bool RunFirstRun(TfrmMain& window)
{
    NewAdministration request;
    if (!RunFirstRunSetup(nullptr, &request) || request.name.trimmed().isEmpty())
        return false;
    // The wizard chose the language; the window is made in it.
    SetLanguageIndex(LanguageIndexOf(ReadSetting(OvraIni(), QStringLiteral("LANGUAGE"))));
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), request.name);
    return window.CreateAdministration(request.name, [&request](QString* error) {
        return CreateAdministrationFiles(request, error);
    });
}

TStartupServices ProgramStartupServices(TfrmSplash* splash)
{
    TStartupServices services;
    QPointer<TfrmSplash> shown(splash);
    services.progress = [shown](const QString& text) {
        if (shown)
            shown->SetProgress(Translate(text));
    };
    services.closeSplash = [shown] {
        if (shown) {
            shown->hide();
            shown->deleteLater();
        }
    };
    services.repair = [shown](const QStringList& administrations) {
        RepairAfterUncleanExit(administrations, [shown](const QString& text) {
            if (shown)
                shown->SetProgress(text);
        });
    };
    services.firstRun = [shown](TfrmMain& window) {
        if (shown)
            shown->hide();
        return RunFirstRun(window);
    };
    services.showInfo = [](QWidget* parent) { TfrmSplash::ShowInfo(parent); };
    return services;
}

int QuillonMain(QApplication& app)
{
    QApplication::setApplicationName(ApplicationTitle());
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

    auto* splash = new TfrmSplash;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    QApplication::processEvents();
    auto window = std::make_unique<TfrmMain>(ProgramStartupServices(splash));
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
