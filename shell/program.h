#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QApplication;
class TfrmMain;
class TfrmSplash;
struct TStartupServices;

// The key of the single running program: the title and the home folder, so each home folder
// (normally one per user) has one program, and a test home never meets the user's own.
QString InstanceKey();

// The built-in repair of the named administrations (and the shared database) after an unclean
// exit; the user sees its report when it found damage.
void RepairAfterUncleanExit(const QStringList& administrations,
                            const std::function<void(const QString& text)>& progress);

// The first-run wizard, then the administration it asked for, made and opened in the window.
// False when cancelled or when the administration could not be made (the user was told).
bool RunFirstRun(TfrmMain& window);

// What a start-up gives the main window: splash progress (splash may be nullptr), the repair,
// the first-run set-up and the help menu's Info.
TStartupServices ProgramStartupServices(TfrmSplash* splash = nullptr);

// The program from start to end: single instance, home folder, translations, splash, main
// window, message loop. The process's exit code.
int QuillonMain(QApplication& app);
