#include "shell/exitmarker.h"

#include "foundation/homefolder.h"
#include "foundation/textfile.h"

#include <QDir>
#include <QFileInfo>

QString ExitMarkerFile()
{
    return ProgramFolder() + QStringLiteral("backup/backup.txt");
}

QStringList LoadExitMarker()
{
    return LoadTextLines(ExitMarkerFile());
}

bool SaveExitMarker(const QStringList& lines)
{
    const QString file = ExitMarkerFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    return SaveTextLines(file, lines);
}

bool IsCleanExitMarker(const QStringList& lines)
{
    return !lines.isEmpty() && lines.first() == QLatin1String("OK");
}

bool WasCleanExit()
{
    return IsCleanExitMarker(LoadExitMarker());
}

bool MarkRunStarted(const QString& administration)
{
    return SaveExitMarker({administration});
}

bool MarkAdministrationOpened(const QString& administration)
{
    QStringList lines = LoadExitMarker();
    if (lines.contains(administration, Qt::CaseInsensitive))
        return true;
    lines.append(administration);
    return SaveExitMarker(lines);
}

bool MarkFailedStart()
{
    return SaveExitMarker({QString()});
}

bool MarkCleanExit()
{
    return SaveExitMarker({QStringLiteral("OK")});
}

bool ShouldMakeExitBackups(RunOutcome outcome, bool shiftHeld)
{
    return outcome == RunOutcome::Running && !shiftHeld;
}

bool ShouldMarkCleanExit(RunOutcome outcome)
{
    return outcome != RunOutcome::StartFailed;
}
