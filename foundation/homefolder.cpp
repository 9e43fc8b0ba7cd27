#include "foundation/homefolder.h"

#include "foundation/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

QString ExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (a plug-in's first call) the kernel still knows.
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

// Placeholders that keep empty folders in version control, not resources.
bool IsPlaceholder(const QString& name)
{
    return name == QLatin1String(".keep") || name == QLatin1String(".gitkeep");
}

// Copies every file of source that target lacks; never touches a file already there.
bool SeedMissing(const QString& source, const QString& target)
{
    if (!QFileInfo(target).isDir() && !QDir().mkpath(target))
        return false;
    bool ok = true;
    const QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
    for (const QFileInfo& entry : QDir(source).entryInfoList(filters)) {
        const QString destination = target + entry.fileName();
        if (entry.isDir()) {
            ok = SeedMissing(entry.filePath() + QLatin1Char('/'), destination + QLatin1Char('/')) && ok;
        } else if (!IsPlaceholder(entry.fileName()) && !QFileInfo::exists(destination)
                   && !QFileInfo(destination).isSymLink()) {
            ok = CopyFileIfExists(entry.filePath(), destination) && ok;
        }
    }
    return ok;
}

} // namespace

QString ProgramFolder()
{
    if (!ProgramFolderOverride().isEmpty())
        return ProgramFolderOverride();
    // Made absolute once, so a later change of the working folder cannot move the home.
    const QString home = qEnvironmentVariable("QUILLON_HOME").trimmed();
    if (!home.isEmpty())
        return NormaliseFolder(QFileInfo(home).absoluteFilePath());
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG base directory rules say.
    QString data = qEnvironmentVariable("XDG_DATA_HOME").trimmed();
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return NormaliseFolder(data) + QStringLiteral("quillon/");
}

QString DataFolder()
{
    return ProgramFolder() + QStringLiteral("data/");
}

void SetProgramFolder(const QString& folder)
{
    ProgramFolderOverride() = folder.trimmed().isEmpty() ? QString() : NormaliseFolder(folder);
}

QString ResourceFolder()
{
    const QString given = qEnvironmentVariable("QUILLON_RESOURCES");
    if (!given.trimmed().isEmpty())
        return NormaliseFolder(given);
    const QString installed = QDir::cleanPath(ExecutableFolder() + QStringLiteral("/../share/quillon"));
    if (QFileInfo(installed).isDir())
        return NormaliseFolder(installed);
    return NormaliseFolder(QStringLiteral(QUILLON_SOURCE_RESOURCES));
}

bool EnsureHomeFolder()
{
    const QString home = ProgramFolder();
    if (!QFileInfo(home).isDir() && !QDir().mkpath(home))
        return false;
    const QString resources = ResourceFolder();
    if (!QFileInfo(resources).isDir())
        return false;
    return SeedMissing(resources, home);
}

QString OvraIni()
{
    return DataFolder() + QStringLiteral("ovra.ini");
}
