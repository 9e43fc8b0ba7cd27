#include "shell/exitbackup.h"

#include "foundation/files.h"
#include "foundation/homefolder.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/exitmarker.h"
#include "shell/startupsettings.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

// Names from the marker become folder names: none may reach outside the data folder.
bool IsAdministrationName(const QString& name)
{
    return !name.trimmed().isEmpty() && name != QLatin1String("OK")
        && name.compare(NoAdministrationName(), Qt::CaseInsensitive) != 0
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && name != QLatin1String(".") && name != QLatin1String("..");
}

// rename(2) replaces the target in one step, so a good "old" archive is never lost halfway.
bool ReplaceFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Zips the administration into a fresh temporary archive first; only when that succeeded is
// the archive of today rotated to "old" and the new one put in its place.
bool BackupAdministration(const QString& folder, const QString& name,
                          const ExitBackupOptions& options, QString* written)
{
    const QString source = DataFolder() + name + QLatin1Char('/');
    if (!FolderExists(source))
        return true;
    const QString target = folder + name + QLatin1Char('/');
    if (!QDir().mkpath(target)) {
        SendMessage(options.messages, Translate(NL("Map kan niet aangemaakt worden"))
                                          + QStringLiteral(": ") + target);
        return false;
    }
    const QString archiveName = BackupArchiveName(options.today, options.prefix);
    const QString archive = target + archiveName;
    // Not a ".zip" name, so an interrupted run never shows up among the archives.
    const QString fresh = target + archiveName + QStringLiteral(".part");
    DeleteFileIfExists(fresh);
    ZipOptions zipOptions{options.progress, options.messages};
    const QString caption = Translate(NL("Reservekopie aanmaken voor ")) + name;
    if (!ZipFiles(options.showProgress, fresh, source + QStringLiteral("*.*"), false, caption,
                  zipOptions)) {
        DeleteFileIfExists(fresh);
        return false;
    }
    if (!QFileInfo::exists(fresh))
        return true;  // an empty administration folder
    if (QFileInfo::exists(archive) && !ReplaceFile(archive, target + QStringLiteral("old") + archiveName)) {
        DeleteFileIfExists(fresh);
        SendMessage(options.messages,
                    FillPlaceholders(Translate(NL("Fout in zip-archief %s: %s")),
                                     {archive, Translate(NL("Hernoemen is mislukt"))}));
        return false;
    }
    if (!ReplaceFile(fresh, archive)) {
        DeleteFileIfExists(fresh);
        return false;
    }
    *written = archive;
    return true;
}

struct TemplateSet
{
    const char* folder;
    const char* mask;
    const char* archive;
    QString word;
};

} // namespace

QString BackupFolder()
{
    const QString configured = ReadSetting(OvraIni(), QStringLiteral("BACKUPDIR"));
    if (configured.isEmpty())
        return ProgramFolder() + QStringLiteral("backup/");
    return NormaliseFolder(configured);
}

QString BackupArchiveName(const QDate& day, const QString& prefix)
{
    return prefix + QString::asprintf("%.2d%.2d%dES.zip", day.day(), day.month(), day.year());
}

ExitBackupOptions ExitBackupOptionsFromSettings(const QString& prefix)
{
    ExitBackupOptions options;
    options.prefix = prefix;
    options.administrations = ReadSettingBool(OvraIni(), QStringLiteral("DOBACKUP"));
    options.templates = ReadSettingBool(OvraIni(), QStringLiteral("BACKUPTEMPLATES"));
    return options;
}

ExitBackupResult MakeExitBackups(const ExitBackupOptions& options)
{
    ExitBackupResult result;
    const QString folder = BackupFolder();
    if (!FolderExists(folder)) {
        SendMessage(options.messages,
                    Translate(NL("Backup directory bestaat niet meer of is niet beschikbaar")));
        result.folderMissing = true;
        result.ok = false;
        return result;
    }

    QStringList list = LoadExitMarker();
    const QString defaultAdministration = ReadSetting(OvraIni(), QStringLiteral("DEFADMIN"));
    const bool hasDefault = IsAdministrationName(defaultAdministration);
    if (hasDefault && !list.contains(defaultAdministration, Qt::CaseInsensitive))
        list.append(defaultAdministration);

    if (options.administrations) {
        QStringList done;
        for (qsizetype i = list.size() - 1; i >= 0; --i) {
            const QString name = list.at(i).trimmed();
            if (!IsAdministrationName(name) || done.contains(name, Qt::CaseInsensitive))
                continue;
            done.append(name);
            QString archive;
            if (!BackupAdministration(folder, name, options, &archive))
                result.ok = false;
            if (!archive.isEmpty()) {
                result.archives.append(archive);
                result.administrations.append(name);
            }
        }
    }
    // Only the default administration stays listed.
    QStringList kept;
    if (hasDefault)
        kept.append(defaultAdministration);

    if (options.templates) {
        const TemplateSet sets[] = {
            {"emails/", "*.ema", "email_templates.zip", Translate(NL("emails"))},
            {"reports/", "*.rep", "reports_templates.zip", Translate(NL("reports"))},
            {"labels/", "*.lab", "labels_templates.zip", Translate(NL("labels"))},
        };
        for (const TemplateSet& set : sets) {
            const QString archive = folder + QString::fromLatin1(set.archive);
            const QString caption = Translate(NL("Reservekopie aanmaken van sjablonen <"))
                + set.word + QLatin1Char('>');
            const QString spec = ProgramFolder() + QString::fromLatin1(set.folder)
                + QString::fromLatin1(set.mask);
            if (!ZipFiles(options.showProgress, archive, spec, true, caption,
                          ZipOptions{options.progress, options.messages}))
                result.ok = false;
            else if (QFileInfo::exists(archive))
                result.archives.append(archive);
        }
    }

    if (!SaveExitMarker(kept))
        result.ok = false;
    return result;
}
