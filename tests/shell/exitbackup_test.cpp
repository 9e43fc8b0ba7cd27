#include <gtest/gtest.h>

#include "common/testfolder.h"
#include "foundation/homefolder.h"
#include "foundation/settingsfile.h"
#include "shell/exitbackup.h"
#include "shell/exitmarker.h"

#include <QDir>

namespace {

class ExitBackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(home.path());
        home.write(QStringLiteral("data/Demo/admin.sqlite"), "demo v1");
        home.write(QStringLiteral("data/Demo/admin.sqlite-wal"), "journal");
        home.write(QStringLiteral("data/Demo/admin.ini"), "KEY value");
        home.write(QStringLiteral("data/Other/admin.sqlite"), "other");
        home.write(QStringLiteral("emails/a.ema"), "mail");
        home.write(QStringLiteral("emails/sub/b.ema"), "mail 2");
        home.write(QStringLiteral("reports/r.rep"), "report");
        home.write(QStringLiteral("labels/l.lab"), "label");
        WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), QStringLiteral("Demo"));
        SaveExitMarker({QStringLiteral("Demo"), QStringLiteral("Other")});
    }
    void TearDown() override { SetProgramFolder(QString()); }

    ExitBackupOptions Options(const QString& prefix = {})
    {
        ExitBackupOptions options;
        options.prefix = prefix;
        options.today = QDate(2026, 3, 5);
        options.showProgress = false;
        options.messages = [this](const QString& text) { messages.append(text); };
        return options;
    }
    // The content of one file of an archive.
    QByteArray Entry(const QString& archive, const QString& name)
    {
        TestFolder out;
        if (!UnzipAll(false, archive, out.path(), QString(), ZipOptions{{}, [](const QString&) {}}))
            return "(unreadable)";
        return out.read(name);
    }
    QString Backup(const QString& name) const { return home.file(QStringLiteral("backup/") + name); }

    TestFolder home;
    QStringList messages;
};

TEST_F(ExitBackupTest, ArchivesEveryListedAdministrationAndKeepsOnlyTheDefault)
{
    const ExitBackupResult result = MakeExitBackups(Options());
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(result.administrations, (QStringList{"Other", "Demo"})) << "from the last line to the first";
    EXPECT_EQ(Entry(Backup(QStringLiteral("Demo/05032026ES.zip")), QStringLiteral("admin.sqlite")),
              QByteArray("demo v1"));
    EXPECT_EQ(Entry(Backup(QStringLiteral("Demo/05032026ES.zip")), QStringLiteral("admin.sqlite-wal")),
              QByteArray("journal"));
    EXPECT_TRUE(QFileInfo::exists(Backup(QStringLiteral("Other/05032026ES.zip"))));
    EXPECT_EQ(LoadExitMarker(), QStringList{"Demo"});
    // Nothing of the administrations is removed, journal files included.
    EXPECT_EQ(home.read(QStringLiteral("data/Demo/admin.sqlite-wal")), QByteArray("journal"));
    EXPECT_EQ(home.read(QStringLiteral("data/Other/admin.sqlite")), QByteArray("other"));
}

TEST_F(ExitBackupTest, SameDayArchiveRotatesToOld)
{
    ASSERT_TRUE(MakeExitBackups(Options()).ok);
    home.write(QStringLiteral("data/Demo/admin.sqlite"), "demo v2");
    ASSERT_TRUE(MakeExitBackups(Options()).ok);
    const QString today = Backup(QStringLiteral("Demo/05032026ES.zip"));
    const QString old = Backup(QStringLiteral("Demo/old05032026ES.zip"));
    EXPECT_EQ(Entry(today, QStringLiteral("admin.sqlite")), QByteArray("demo v2"));
    EXPECT_EQ(Entry(old, QStringLiteral("admin.sqlite")), QByteArray("demo v1"));
    home.write(QStringLiteral("data/Demo/admin.sqlite"), "demo v3");
    ASSERT_TRUE(MakeExitBackups(Options()).ok);
    EXPECT_EQ(Entry(today, QStringLiteral("admin.sqlite")), QByteArray("demo v3"));
    EXPECT_EQ(Entry(old, QStringLiteral("admin.sqlite")), QByteArray("demo v2"))
        << "an earlier old archive is replaced";
    EXPECT_EQ(QDir(Backup(QStringLiteral("Demo"))).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(ExitBackupTest, FailedArchiveRotatesNothing)
{
    ASSERT_TRUE(MakeExitBackups(Options()).ok);
    home.write(QStringLiteral("data/Demo/admin.sqlite"), QByteArray(2 * 1024 * 1024, 'v'));
    ExitBackupOptions options = Options();
    options.templates = false;
    options.progress = [](int position) { return position < 100; };  // stopped halfway
    EXPECT_FALSE(MakeExitBackups(options).ok);
    EXPECT_EQ(Entry(Backup(QStringLiteral("Demo/05032026ES.zip")), QStringLiteral("admin.sqlite")),
              QByteArray("demo v1"));
    EXPECT_FALSE(QFileInfo::exists(Backup(QStringLiteral("Demo/old05032026ES.zip"))));
    EXPECT_EQ(QDir(Backup(QStringLiteral("Demo"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"05032026ES.zip"});
}

TEST_F(ExitBackupTest, PrefixNamesTheArchive)
{
    EXPECT_EQ(BackupArchiveName(QDate(2026, 12, 1)), QStringLiteral("01122026ES.zip"));
    ASSERT_TRUE(MakeExitBackups(Options(QStringLiteral("update_"))).ok);
    EXPECT_TRUE(QFileInfo::exists(Backup(QStringLiteral("Demo/update_05032026ES.zip"))));
    ASSERT_TRUE(MakeExitBackups(Options(QStringLiteral("update_"))).ok);
    EXPECT_TRUE(QFileInfo::exists(Backup(QStringLiteral("Demo/oldupdate_05032026ES.zip"))));
}

TEST_F(ExitBackupTest, TemplatesKeepTheirFolders)
{
    const ExitBackupResult result = MakeExitBackups(Options());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(Entry(Backup(QStringLiteral("email_templates.zip")), QStringLiteral("sub/b.ema")),
              QByteArray("mail 2"));
    EXPECT_EQ(Entry(Backup(QStringLiteral("reports_templates.zip")), QStringLiteral("r.rep")),
              QByteArray("report"));
    EXPECT_EQ(Entry(Backup(QStringLiteral("labels_templates.zip")), QStringLiteral("l.lab")),
              QByteArray("label"));
}

TEST_F(ExitBackupTest, SwitchesChooseWhatIsMade)
{
    ExitBackupOptions options = Options();
    options.administrations = false;
    ExitBackupResult result = MakeExitBackups(options);
    EXPECT_TRUE(result.administrations.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Backup(QStringLiteral("Demo"))));
    EXPECT_TRUE(QFileInfo::exists(Backup(QStringLiteral("email_templates.zip"))));

    QFile::remove(Backup(QStringLiteral("email_templates.zip")));
    options = Options();
    options.templates = false;
    result = MakeExitBackups(options);
    EXPECT_EQ(result.administrations, QStringList{"Demo"}) << "the marker now lists Demo only";
    EXPECT_FALSE(QFileInfo::exists(Backup(QStringLiteral("email_templates.zip"))));

    WriteSetting(OvraIni(), QStringLiteral("DOBACKUP"), QStringLiteral("FALSE"));
    EXPECT_FALSE(ExitBackupOptionsFromSettings().administrations);
    EXPECT_TRUE(ExitBackupOptionsFromSettings().templates);
}

TEST_F(ExitBackupTest, MissingBackupFolderGivesTheMessage)
{
    WriteSetting(OvraIni(), QStringLiteral("BACKUPDIR"), home.file(QStringLiteral("gone/")));
    const ExitBackupResult result = MakeExitBackups(Options());
    EXPECT_TRUE(result.folderMissing);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(messages, QStringList{"Backup directory bestaat niet meer of is niet beschikbaar"});
    EXPECT_TRUE(result.archives.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home.file(QStringLiteral("gone"))));
    EXPECT_EQ(LoadExitMarker(), (QStringList{"Demo", "Other"})) << "the marker is left alone";
}

TEST_F(ExitBackupTest, ChosenBackupFolderIsUsed)
{
    QDir().mkpath(home.file(QStringLiteral("elsewhere")));
    WriteSetting(OvraIni(), QStringLiteral("BACKUPDIR"), home.file(QStringLiteral("elsewhere")));
    EXPECT_EQ(BackupFolder(), home.file(QStringLiteral("elsewhere/")));
    ASSERT_TRUE(MakeExitBackups(Options()).ok);
    EXPECT_TRUE(QFileInfo::exists(home.file(QStringLiteral("elsewhere/Demo/05032026ES.zip"))));
}

TEST_F(ExitBackupTest, NoAdministrationAndUnsafeNamesMakeNothing)
{
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), QStringLiteral("NIL999"));
    home.write(QStringLiteral("data/NIL999/x"), "x");
    SaveExitMarker({QStringLiteral("OK"), QStringLiteral("NIL999"), QStringLiteral(".."),
                    QStringLiteral("../data"), QString()});
    const ExitBackupResult result = MakeExitBackups(Options());
    EXPECT_TRUE(result.administrations.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Backup(QStringLiteral("NIL999"))));
    EXPECT_TRUE(LoadExitMarker().isEmpty() || LoadExitMarker() == QStringList{QString()});
}

} // namespace
