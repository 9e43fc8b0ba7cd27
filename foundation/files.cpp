#include "foundation/files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <QtDebug>

namespace {

void LogLockedFolder(const QString& folder)
{
    qWarning().noquote() << QStringLiteral("Map <%1> is vergrendeld").arg(folder);
}

FolderNoticeHandler& FolderLockedNotice()
{
    static FolderNoticeHandler handler = LogLockedFolder;
    return handler;
}

QString WithoutTrailingSlash(const QString& path)
{
    QString result = path;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

// Index of the dot that starts the file name's extension, or -1.
qsizetype ExtensionDot(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? dot : -1;
}

constexpr QDir::Filters kEverything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;

bool IsRealFolder(const QFileInfo& info)
{
    return info.isDir() && !info.isSymLink();
}

// Empties folder; whether everything in it could be removed.
bool EmptyFolder(const QString& folder, bool notify)
{
    const QDir dir(folder);
    bool all = true;
    for (const QFileInfo& entry : dir.entryInfoList(kEverything)) {
        if (!IsRealFolder(entry)) {
            all = QFile::remove(entry.filePath()) && all;
            continue;
        }
        const QString sub = entry.filePath();
        EmptyFolder(sub, notify);
        if (dir.rmdir(entry.fileName()))
            continue;
        if (notify)
            FolderLockedNotice()(NormaliseFolder(sub));
        EmptyFolder(sub, false);
        all = dir.rmdir(entry.fileName()) && all;
    }
    return all;
}

} // namespace

void SetFolderLockedNotice(FolderNoticeHandler handler)
{
    FolderLockedNotice() = handler ? std::move(handler) : FolderNoticeHandler(LogLockedFolder);
}

QString FileBaseName(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString StripExtension(const QString& path)
{
    const qsizetype dot = ExtensionDot(path);
    return dot < 0 ? path : path.left(dot);
}

QDateTime FileDate(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified() : QDateTime();
}

bool FolderExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(WithoutTrailingSlash(path)).isDir();
}

QString NormaliseFolder(const QString& path)
{
    QString result = path.trimmed();
    if (result.isEmpty())
        return result;
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // The trailing "/" first, so a final "/." goes as well.
    if (!result.endsWith(QLatin1Char('/')))
        result.append(QLatin1Char('/'));
    const bool doubleStart = result.startsWith(QLatin1String("//"));
    QString rest = doubleStart ? result.mid(2) : result;
    for (;;) {
        const qsizetype before = rest.size();
        rest.replace(QLatin1String("/./"), QLatin1String("/"));
        rest.replace(QLatin1String("//"), QLatin1String("/"));
        if (rest.size() == before)
            break;
    }
    while (doubleStart && rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    return doubleStart ? QStringLiteral("//") + rest : rest;
}

bool DeleteFileIfExists(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !(info.isFile() || info.isSymLink()))
        return false;
    return QFile::remove(path);
}

bool CopyFileIfExists(const QString& source, const QString& target)
{
    if (source.isEmpty() || target.isEmpty() || !QFileInfo(source).isFile())
        return false;
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return true;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // Through a temporary file, so a target is either the old one or a whole copy.
    QSaveFile out(target);
    // Unbuffered: a short write must be seen here, QSaveFile would commit the truncated copy.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

bool CopyFolderTree(const QString& source, const QString& target)
{
    const QFileInfo from(WithoutTrailingSlash(source));
    const QFileInfo to(WithoutTrailingSlash(target));
    if (source.isEmpty() || target.isEmpty() || !from.isDir() || !to.isDir())
        return false;
    const QString fromPath = from.canonicalFilePath() + QLatin1Char('/');
    const QString toPath = to.canonicalFilePath() + QLatin1Char('/');
    // A target inside the source would copy itself forever.
    if (toPath.startsWith(fromPath))
        return false;
    bool ok = true;
    for (const QFileInfo& entry : QDir(fromPath).entryInfoList(kEverything)) {
        const QString destination = toPath + entry.fileName();
        if (IsRealFolder(entry)) {
            ok = (QFileInfo(destination).isDir() || QDir().mkdir(destination))
                && CopyFolderTree(entry.filePath(), destination) && ok;
        } else if (entry.isFile()) {
            ok = CopyFileIfExists(entry.filePath(), destination) && ok;
        }
    }
    return ok;
}

void DeleteFiles(const QString& folder, const QString& mask, bool webMode, const QDateTime& before)
{
    QString full = NormaliseFolder(folder) + mask;
    const qsizetype slash = full.lastIndexOf(QLatin1Char('/'));
    const QString dirPath = full.left(slash + 1);
    QString pattern = full.mid(slash + 1);
    if (pattern == QLatin1String("*.*"))
        pattern = QStringLiteral("*"); // the old mask for every file, with or without extension
    const QDir dir(dirPath);
    if (dirPath.isEmpty() || !dir.exists())
        return;
    // The web pages keep their own pictures; only generated buttons go.
    const bool keepPictures = webMode
        && QFileInfo(WithoutTrailingSlash(NormaliseFolder(folder))).fileName().compare(
               QLatin1String("documents"), Qt::CaseInsensitive) == 0;
    const QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System; // name filters ignore case, as the old masks did
    for (const QFileInfo& entry : dir.entryInfoList({pattern}, filters)) {
        if (before.isValid() && entry.lastModified() > before)
            continue;
        if (keepPictures) {
            const QString extension = entry.suffix().toLower();
            const bool picture = extension == QLatin1String("gif") || extension == QLatin1String("jpg")
                || extension == QLatin1String("jpeg");
            if (picture && !entry.fileName().startsWith(QLatin1String("btn_")))
                continue;
        }
        QFile::remove(entry.filePath());
    }
}

void DeleteFolderTree(const QString& folder)
{
    if (folder.isEmpty() || !FolderExists(folder))
        return;
    EmptyFolder(NormaliseFolder(folder), true);
}

bool ShellDeleteFolder(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return false;
    const QString path = WithoutTrailingSlash(folder);
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    const QString canonical = info.canonicalFilePath();
    if (canonical == QLatin1String("/") || canonical == QDir(QDir::homePath()).canonicalPath())
        return false;
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    return !QFileInfo::exists(path);
}

QString FirstCdDrive()
{
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QByteArray type = volume.fileSystemType();
        if (volume.isValid() && volume.isReady() && (type == "iso9660" || type == "udf"))
            return NormaliseFolder(volume.rootPath());
    }
    return {};
}

QString FindFileCaseInsensitive(const QString& path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const bool absolute = path.startsWith(QLatin1Char('/'));
    const bool trailing = path.endsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString found = absolute ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        QString next = found + part;
        if (!QFileInfo::exists(next)) {
            const QDir dir(found.isEmpty() ? QStringLiteral(".") : found);
            const QStringList entries = dir.entryList(kEverything, QDir::Name);
            const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& entry) {
                return entry.compare(part, Qt::CaseInsensitive) == 0;
            });
            if (match == entries.end())
                return path;
            next = found + *match;
        }
        found = next;
        if (i + 1 < parts.size() || trailing)
            found.append(QLatin1Char('/'));
    }
    return found;
}
