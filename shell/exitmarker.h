#pragma once

#include <QString>
#include <QStringList>

// The exit marker ProgramFolder() + "backup/backup.txt": "OK" after a clean exit; while the
// program runs, the administrations opened during the run, one per line; one empty line after
// a failed start. Anything but a first line of exactly "OK" makes the next start repair.

QString ExitMarkerFile();
QStringList LoadExitMarker();
bool SaveExitMarker(const QStringList& lines);

// A missing file counts as unclean, and so does "OK " with a trailing blank.
bool IsCleanExitMarker(const QStringList& lines);
bool WasCleanExit();

// Start-up with a default administration: the marker becomes that one name.
bool MarkRunStarted(const QString& administration);
// Opening another administration: its name is appended when not yet listed.
bool MarkAdministrationOpened(const QString& administration);
// A failed start: one empty line, so the next start runs the repair.
bool MarkFailedStart();
// The last step of a clean exit.
bool MarkCleanExit();

// How a run ended, for the decisions of the shutdown.
enum class RunOutcome {
    Running,            // an administration was open
    StartFailed,        // start-up reported a damaged administration and closed
    FirstRunCancelled,  // no administration ("NIL999") and the first-run set-up was cancelled
};

// The exit backups of a broken administration would rotate good archives out, and a run that
// never opened one has nothing to back up. The caller also skips them while Shift is held.
bool ShouldMakeExitBackups(RunOutcome outcome, bool shiftHeld);
// After a failed start the marker keeps its empty line, so the repair runs at the next start.
bool ShouldMarkCleanExit(RunOutcome outcome);
