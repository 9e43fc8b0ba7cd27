#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "shell/messagesink.h"
#include "shell/ziparchive.h"

// The backups made when the program ends, and before an administration update or a restore.
//
// The caller decides whether they run at all: the main window skips them while Shift is held
// and after a failed start or a cancelled first run (ShouldMakeExitBackups in exitmarker.h),
// and writes "OK" into the exit marker afterwards (MarkCleanExit). Only archives are written
// and renamed here: no file of an administration is ever deleted, lock and journal files
// included.

// BACKUPDIR of "ovra.ini" (as a folder), or ProgramFolder() + "backup/" when it is empty.
QString BackupFolder();
// prefix + "%.2d%.2d%dES.zip" with day, month and four-digit year.
QString BackupArchiveName(const QDate& day, const QString& prefix = {});

struct ExitBackupOptions
{
    QString prefix;                         // "", "update_" or "restoreCopy"
    QDate today = QDate::currentDate();
    bool administrations = true;            // normally DOBACKUP
    bool templates = true;                  // normally BACKUPTEMPLATES
    bool showProgress = true;
    MessageSink messages;                   // empty = the message dialog
    ZipProgress progress;                   // besides the progress window
};

// The options as "ovra.ini" sets them (DOBACKUP, BACKUPTEMPLATES).
ExitBackupOptions ExitBackupOptionsFromSettings(const QString& prefix = {});

struct ExitBackupResult
{
    bool folderMissing = false;
    QStringList archives;            // archives written, administrations first
    QStringList administrations;     // administrations whose archive was written
    bool ok = true;                  // false when the folder is missing or an archive failed
};

// Zips every administration listed in the exit marker plus DEFADMIN (from the last line to the
// first) into backup folder + name + "/" + BackupArchiveName(), after renaming an archive of
// that name to "old" + its name (replacing an earlier one); then, when asked, the e-mail,
// report and label templates into the backup folder. The marker keeps only DEFADMIN. A missing
// backup folder gives the message "Backup directory bestaat niet meer of is niet beschikbaar"
// and makes nothing.
ExitBackupResult MakeExitBackups(const ExitBackupOptions& options);
