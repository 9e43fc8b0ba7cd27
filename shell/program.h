#pragma once

#include <QString>

class QApplication;
class TfrmMain;
struct TStartupServices;

// The key of the single running program: the title and the home folder, so each home folder
// (normally one per user) has one program, and a test home never meets the user's own.
QString InstanceKey();

// What a start-up gives the main window: splash progress, repair, first-run set-up, Info.
TStartupServices ProgramStartupServices();

// The program from start to end: single instance, home folder, translations, splash, main
// window, message loop. The process's exit code.
int QuillonMain(QApplication& app);
