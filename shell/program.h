#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QApplication;
class TfrmMain;
struct TStartupServices;

// The key of the single running program: the title and the home folder, so each home folder
// (normally one per user) has one program, and a test home never meets the user's own.
QString InstanceKey();

// The built-in repair of the named administrations (and the shared database) after an unclean
// exit; the user sees its report when it found damage.
void RepairAfterUncleanExit(const QStringList& administrations,
                            const std::function<void(const QString& text)>& progress);

// What a start-up gives the main window: splash progress, repair, first-run set-up, Info.
TStartupServices ProgramStartupServices();

// The program from start to end: single instance, home folder, translations, splash, main
// window, message loop. The process's exit code.
int QuillonMain(QApplication& app);
