#pragma once

#include <QString>

#include <functional>

#include "shell/messagesink.h"

// ZIP archives of the backups (libzip). An archive is always written under a temporary name
// in its own folder and renamed over the old one when complete, so an interrupted backup
// never leaves a broken archive in place of a good one.

// Progress in the range 0..10001: 1 when the work starts, 1 + done x 10000 / total after.
// Returning false stops the operation, which then fails and leaves every archive unchanged.
using ZipProgress = std::function<bool(int position)>;

constexpr int ZipProgressMaximum = 10001;

struct ZipOptions
{
    ZipProgress progress;  // called besides the progress window; usable without any window
    MessageSink messages;  // error texts; empty = the message dialog
};

// Adds the files matching fileSpec ("folder/*.*", "folder/*.ema"; "*.*" matches every file)
// to archive, creating it or extending it; an entry of the same name is replaced. With
// withFolders the sub-folders are searched too and the entries keep their folder names below
// fileSpec's folder; without it only the folder's own files are added, by file name. Symbolic
// links and the archive itself are never added. With showProgress the shared progress window
// shows caption (given as shown). True unless an error was reported; nothing to add is no
// error (no archive is created then).
bool ZipFiles(bool showProgress, const QString& archive, const QString& fileSpec,
              bool withFolders, const QString& caption, const ZipOptions& options = {});

// Extracts every entry of archive with its folder names into targetFolder (created when
// missing), overwriting existing files, each file written atomically. An archive with an entry
// whose name would land outside targetFolder (absolute paths, drive letters, ".." parts) is
// refused as a whole before anything is written. True unless an error was reported.
bool UnzipAll(bool showProgress, const QString& archive, const QString& targetFolder,
              const QString& caption, const ZipOptions& options = {});
