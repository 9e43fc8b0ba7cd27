// The end of a run (exit marker, backups, temp/) and starts that fail or find bad input.

#include "mainwindow_fixture.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include "data/dm.h"
#include "data/table.h"
#include "shell/exitbackup.h"

namespace {

QString TodaysArchive(const QString& prefix = {})
{
    return BackupArchiveName(QDate::currentDate(), prefix);
}

} // namespace

TEST_F(MainWindowTest, CleanEndMakesTheBackupsDeletesTempAndMarksOk)
{
    MakeAdministration();
    home.write(QStringLiteral("temp/scratch/file.txt"), "scratch");
    home.write(QStringLiteral("emails/a.ema"), "mail");
    auto w = Started();
    ASSERT_TRUE(started);
    EXPECT_TRUE(w->close());
    w.reset();
    EXPECT_FALSE(QDir(home.file(QStringLiteral("temp"))).exists());
    EXPECT_TRUE(QFile::exists(Backup(QStringLiteral("Demo/") + TodaysArchive())));
    EXPECT_TRUE(QFile::exists(Backup(QStringLiteral("email_templates.zip"))));
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(QFile::exists(home.file(QStringLiteral("data/Demo/admin.sqlite"))));
}

TEST_F(MainWindowTest, SecondEndOfTheDayRotatesTheArchiveToOld)
{
    MakeAdministration();
    for (int run = 0; run < 3; ++run) {
        auto w = Started();
        ASSERT_TRUE(started);
        w.reset();
    }
    EXPECT_TRUE(QFile::exists(Backup(QStringLiteral("Demo/") + TodaysArchive())));
    EXPECT_TRUE(QFile::exists(Backup(QStringLiteral("Demo/") + TodaysArchive(QStringLiteral("old")))));
    EXPECT_EQ(QDir(Backup(QStringLiteral("Demo"))).entryList(QDir::Files).size(), 2) << "one old archive is kept";
}

TEST_F(MainWindowTest, ShiftHeldSkipsTheBackupsButStillMarksOk)
{
    MakeAdministration();
    auto w = Started();
    ASSERT_TRUE(started);
    modifiers = Qt::ShiftModifier;
    w.reset();
    EXPECT_FALSE(QDir(Backup(QStringLiteral("Demo"))).exists());
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("OK")});
}

TEST_F(MainWindowTest, BackupsFollowDoBackupAndBackupTemplates)
{
    MakeAdministration();
    home.write(QStringLiteral("emails/a.ema"), "mail");
    WriteSetting(OvraIni(), QStringLiteral("DOBACKUP"), QStringLiteral("FALSE"));
    WriteSetting(OvraIni(), QStringLiteral("BACKUPTEMPLATES"), QStringLiteral("FALSE"));
    auto w = Started();
    ASSERT_TRUE(started);
    w.reset();
    EXPECT_FALSE(QDir(Backup(QStringLiteral("Demo"))).exists());
    EXPECT_FALSE(QFile::exists(Backup(QStringLiteral("email_templates.zip"))));
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("OK")});
}

TEST_F(MainWindowTest, MissingBackupFolderIsReportedAndTheEndStillMarksOk)
{
    MakeAdministration();
    WriteSetting(OvraIni(), QStringLiteral("BACKUPDIR"), home.file(QStringLiteral("gone")));
    auto w = Started();
    ASSERT_TRUE(started);
    w.reset();
    EXPECT_TRUE(Said(QStringLiteral("Backup directory bestaat niet meer of is niet beschikbaar")));
    EXPECT_FALSE(QDir(home.file(QStringLiteral("gone"))).exists()) << "nothing is made in its place";
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("OK")});
}

TEST_F(MainWindowTest, UncleanExitRunsTheRepairFirst)
{
    MakeAdministration();
    MakeAdministration(QStringLiteral("Oud"), false);
    struct Case
    {
        const char* marker;   // nullptr: no backup.txt at all
        bool repair;
    };
    const Case cases[] = {
        {"OK\r\n", false},
        {"OK \r\n", true},
        {"Demo\r\nOud\r\n", true},
        {"\r\n", true},
        {nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.marker ? c.marker : "(no file)");
        QFile::remove(Backup(QStringLiteral("backup.txt")));
        if (c.marker)
            home.write(QStringLiteral("backup/backup.txt"), c.marker);
        QStringList repaired;
        bool tablesOpenDuringRepair = true;
        TStartupServices services;
        services.repair = [&](const QStringList& names) {
            repaired = names;
            tablesOpenDuringRepair = Tdm::Instance() && Tdm::Instance()->tabContacts->Active();
        };
        auto w = Started(services);
        ASSERT_TRUE(started);
        EXPECT_EQ(!repaired.isEmpty(), c.repair);
        if (c.repair) {
            EXPECT_TRUE(repaired.contains(QStringLiteral("Demo")));
            EXPECT_FALSE(tablesOpenDuringRepair);
        }
        if (c.marker && QByteArray(c.marker).startsWith("Demo"))
            EXPECT_EQ(repaired, (QStringList{QStringLiteral("Demo"), QStringLiteral("Oud")}));
        EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("Demo")});
    }
}

TEST_F(MainWindowTest, CorruptAdministrationEndsTheStartWithTheReasonAndNoBackups)
{
    MakeAdministration();
    home.write(QStringLiteral("data/Demo/admin.sqlite"), QByteArray(4096, 'x'));
    {
        auto w = Started();
        EXPECT_FALSE(started);
        EXPECT_EQ(w->Outcome(), RunOutcome::StartFailed);
        EXPECT_EQ(RunPhase(), 3);
        EXPECT_EQ(w->Administration(), nullptr);
        EXPECT_TRUE(Said(QStringLiteral("Quillon PRO kan niet opgestart worden! (Cannot open database)")))
            << messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(LoadExitMarker(), QStringList{QString()});
    }
    EXPECT_FALSE(QDir(Backup(QStringLiteral("Demo"))).exists()) << "a broken administration rotates no good archive out";
    EXPECT_EQ(LoadExitMarker(), QStringList{QString()}) << "the next start repairs";
}

TEST_F(MainWindowTest, MissingAdministrationWithoutFirstRunReportsNotFound)
{
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), QStringLiteral("Weg"));
    auto w = Started();
    EXPECT_FALSE(started);
    EXPECT_TRUE(Said(QStringLiteral("(Administration not found)")));
    EXPECT_EQ(w->Outcome(), RunOutcome::StartFailed);
}

TEST_F(MainWindowTest, NoAdministrationAndCancelledFirstRunEndsQuietly)
{
    struct Case
    {
        QByteArray ovraIni;   // empty: no file
    };
    const Case cases[] = {
        {QByteArray()},
        {QByteArray("DEFADMIN NIL999\r\n")},
        {QByteArray("\x01\x02\xff garbage \x00\x00 more\n\n|||\r\nMAINPOS zz|x|\r\n", 40)},
    };
    for (const Case& c : cases) {
        QFile::remove(OvraIni());
        QFile::remove(Backup(QStringLiteral("backup.txt")));
        if (!c.ovraIni.isEmpty())
            home.write(QStringLiteral("data/ovra.ini"), c.ovraIni);
        messages.clear();
        int asked = 0;
        TStartupServices services;
        services.firstRun = [&asked](TfrmMain&) {
            ++asked;
            return false;
        };
        {
            auto w = Started(services);
            EXPECT_FALSE(started);
            EXPECT_EQ(asked, 1);
            EXPECT_EQ(w->Outcome(), RunOutcome::FirstRunCancelled);
            EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('\n')).toStdString();
        }
        EXPECT_FALSE(QDir(Backup(QStringLiteral("NIL999"))).exists()) << "nothing is backed up for NIL999";
        EXPECT_TRUE(QDir(Backup(QString())).entryList({QStringLiteral("*.zip")}, QDir::Files).isEmpty());
    }
}

TEST_F(MainWindowTest, ReadOnlyAdministrationFolderIsAWarningOnly)
{
    MakeAdministration();
    QFile::setPermissions(home.file(QStringLiteral("data/Demo")),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    if (QFileInfo(home.file(QStringLiteral("data/Demo"))).isWritable()) {
        QFile::setPermissions(home.file(QStringLiteral("data/Demo")), QFile::permissions(home.path()));
        GTEST_SKIP() << "this user may write anywhere";
    }
    auto w = Started();
    QFile::setPermissions(home.file(QStringLiteral("data/Demo")), QFile::permissions(home.path()));
    EXPECT_TRUE(Said(QStringLiteral("/Demo/\"  is READ-ONLY"))) << messages.join(QLatin1Char('\n')).toStdString();
}
