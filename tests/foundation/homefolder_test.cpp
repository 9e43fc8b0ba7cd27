#include "common/testfolder.h"
#include "foundation/homefolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvScope
{
public:
    EnvScope(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~EnvScope()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

TEST(HomeFolder, ProgramFolderFromEnvironment)
{
    SetProgramFolder(QString());
    {
        EnvScope home("QUILLON_HOME", QStringLiteral("/tmp/q-home"));
        EnvScope xdg("XDG_DATA_HOME", QStringLiteral("/tmp/xdg"));
        EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/q-home/"));
        EXPECT_EQ(DataFolder(), QStringLiteral("/tmp/q-home/data/"));
        EXPECT_EQ(OvraIni(), QStringLiteral("/tmp/q-home/data/ovra.ini"));
    }
    {
        EnvScope home("QUILLON_HOME", QString());
        EnvScope xdg("XDG_DATA_HOME", QStringLiteral("/tmp/xdg/"));
        EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/xdg/quillon/"));
    }
    {
        EnvScope home("QUILLON_HOME", QString());
        EnvScope xdg("XDG_DATA_HOME", QString());
        EXPECT_EQ(ProgramFolder(), QDir::homePath() + QStringLiteral("/.local/share/quillon/"));
    }
    {
        EnvScope home("QUILLON_HOME", QString());
        EnvScope xdg("XDG_DATA_HOME", QStringLiteral("relative/data"));
        EXPECT_EQ(ProgramFolder(), QDir::homePath() + QStringLiteral("/.local/share/quillon/"));
    }
    {
        EnvScope home("QUILLON_HOME", QStringLiteral("myhome"));
        EXPECT_EQ(ProgramFolder(), QDir::currentPath() + QStringLiteral("/myhome/"));
    }
    SetProgramFolder(QStringLiteral("/tmp/other"));
    EXPECT_EQ(ProgramFolder(), QStringLiteral("/tmp/other/"));
    SetProgramFolder(QString());
}

TEST(HomeFolder, ResourceFolderPrefersEnvironmentThenSourceTree)
{
    {
        EnvScope resources("QUILLON_RESOURCES", QStringLiteral("/opt/res"));
        EXPECT_EQ(ResourceFolder(), QStringLiteral("/opt/res/"));
    }
    EnvScope resources("QUILLON_RESOURCES", QString());
    // The test program runs from the build tree, which has no share/quillon.
    EXPECT_EQ(ResourceFolder(), QStringLiteral(QUILLON_SOURCE_DIR "/resources/"));
}

TEST(HomeFolder, SeedingCopiesMissingFilesAndKeepsChangedOnes)
{
    TestFolder resources;
    resources.write(QStringLiteral("dll/Strings.DAT"), "shipped strings");
    resources.write(QStringLiteral("reports/lists/adres.rep"), "shipped report");
    resources.write(QStringLiteral("data/ovra.ini"), "TAAL 1\r\n");
    resources.write(QStringLiteral("temp/.keep"), "");
    TestFolder parent;
    const QString home = parent.file(QStringLiteral("home/quillon"));
    EnvScope homeEnv("QUILLON_HOME", home);
    EnvScope resourceEnv("QUILLON_RESOURCES", resources.path());
    SetProgramFolder(QString());

    ASSERT_TRUE(EnsureHomeFolder());
    EXPECT_EQ(parent.read(QStringLiteral("home/quillon/dll/Strings.DAT")), QByteArray("shipped strings"));
    EXPECT_EQ(parent.read(QStringLiteral("home/quillon/reports/lists/adres.rep")), QByteArray("shipped report"));
    EXPECT_TRUE(QFileInfo(home + QStringLiteral("/temp")).isDir());
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/temp/.keep")));

    // The user changes one file and deletes another; a new version ships a new file.
    parent.write(QStringLiteral("home/quillon/data/ovra.ini"), "TAAL 3\r\n");
    QFile::remove(home + QStringLiteral("/dll/Strings.DAT"));
    resources.write(QStringLiteral("data/ovra.ini"), "TAAL 2\r\n");
    resources.write(QStringLiteral("emails/nieuw.ema"), "new");
    ASSERT_TRUE(EnsureHomeFolder());
    EXPECT_EQ(parent.read(QStringLiteral("home/quillon/data/ovra.ini")), QByteArray("TAAL 3\r\n"));
    EXPECT_EQ(parent.read(QStringLiteral("home/quillon/dll/Strings.DAT")), QByteArray("shipped strings"));
    EXPECT_EQ(parent.read(QStringLiteral("home/quillon/emails/nieuw.ema")), QByteArray("new"));
}

TEST(HomeFolder, SeedingFailsWithoutResourcesOrWritableHome)
{
    TestFolder parent;
    EnvScope homeEnv("QUILLON_HOME", parent.file(QStringLiteral("home")));
    {
        EnvScope resourceEnv("QUILLON_RESOURCES", parent.file(QStringLiteral("none")));
        EXPECT_FALSE(EnsureHomeFolder());
        EXPECT_TRUE(QFileInfo(parent.file(QStringLiteral("home"))).isDir());
    }
    parent.write(QStringLiteral("file"), "x");
    EnvScope fileHome("QUILLON_HOME", parent.file(QStringLiteral("file/home")));
    EnvScope resourceEnv("QUILLON_RESOURCES", parent.path());
    EXPECT_FALSE(EnsureHomeFolder());
}
