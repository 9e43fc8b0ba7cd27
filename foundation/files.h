#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// File and folder helpers. Paths use "/"; folders returned end with "/".

// The file name without folder and without its last extension.
QString FileBaseName(const QString& path);
// The path without the extension of its file name.
QString StripExtension(const QString& path);
// Last change of the file; invalid when it does not exist.
QDateTime FileDate(const QString& path);
// True when a folder of that name exists (a trailing "/" is ignored).
bool FolderExists(const QString& path);
// Trims, turns "\" into "/", drops every "/./", collapses "//" (except at the very start) and
// adds a trailing "/" to a non-empty result. Normalising twice changes nothing.
QString NormaliseFolder(const QString& path);
// Deletes the file when it exists; whether a file was deleted.
bool DeleteFileIfExists(const QString& path);
// Copies over the target (atomically) when the source exists; whether it succeeded.
bool CopyFileIfExists(const QString& source, const QString& target);
// Copies every file (overwriting) and sub-folder of source into target; both must exist, and
// target may not lie inside source.
bool CopyFolderTree(const QString& source, const QString& target);
// Deletes the files of folder matching mask ("*.tmp"); when before is valid, files changed
// after it are kept. In web mode, in folder "documents/", pictures (.gif, .jpg, .jpeg) are
// deleted only when their name starts with "btn_".
void DeleteFiles(const QString& folder, const QString& mask, bool webMode, const QDateTime& before);
// Empties the folder (files and sub-folders); the folder itself remains. A sub-folder that
// cannot be removed is reported through the folder-locked notice and tried once more.
void DeleteFolderTree(const QString& folder);
// Removes the folder with all its content; true when it no longer exists afterwards. Does
// nothing (false) for an empty name, the file system root or the user's home.
bool ShellDeleteFolder(const QString& folder);
// The mount point (with "/") of the first mounted optical disc; empty when none.
QString FirstCdDrive();
// The existing file or folder whose path differs only in case (each part of the path is
// matched), else path itself.
QString FindFileCaseInsensitive(const QString& path);

// Tells the user that a sub-folder could not be removed ("Map <folder> is vergrendeld...").
// It receives the folder (with "/"). The program sets one that shows the translated text with
// its message dialog; until then (or after setting none) the folder goes to the warning log.
using FolderNoticeHandler = std::function<void(const QString& folder)>;
void SetFolderLockedNotice(FolderNoticeHandler handler);
