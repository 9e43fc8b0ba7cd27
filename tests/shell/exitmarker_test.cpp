#include <gtest/gtest.h>

#include "common/testfolder.h"
#include "foundation/homefolder.h"
#include "shell/exitmarker.h"

namespace {

class ExitMarkerTest : public ::testing::Test
{
protected:
    void SetUp() override { SetProgramFolder(home.path()); }
    void TearDown() override { SetProgramFolder(QString()); }
    TestFolder home;
};

TEST_F(ExitMarkerTest, OnlyAFirstLineOfExactlyOkIsClean)
{
    EXPECT_FALSE(WasCleanExit()) << "a missing marker counts as unclean";
    const struct { QByteArray bytes; bool clean; } cases[] = {
        {"OK\r\n", true},
        {"OK", true},
        {"OK\nDemo\n", true},
        {"OK \r\n", false},
        {"ok\r\n", false},
        {"\r\n", false},
        {"", false},
        {"Demo\r\nOK\r\n", false},
    };
    for (const auto& c : cases) {
        home.write(QStringLiteral("backup/backup.txt"), c.bytes);
        EXPECT_EQ(WasCleanExit(), c.clean) << c.bytes.constData();
    }
}

TEST_F(ExitMarkerTest, LifeOfARun)
{
    ASSERT_TRUE(MarkRunStarted(QStringLiteral("Demo")));
    EXPECT_EQ(home.read(QStringLiteral("backup/backup.txt")), QByteArray("Demo\r\n"));
    EXPECT_FALSE(WasCleanExit());
    ASSERT_TRUE(MarkAdministrationOpened(QStringLiteral("Other")));
    ASSERT_TRUE(MarkAdministrationOpened(QStringLiteral("Demo")));
    EXPECT_EQ(LoadExitMarker(), (QStringList{QStringLiteral("Demo"), QStringLiteral("Other")}));
    ASSERT_TRUE(MarkCleanExit());
    EXPECT_EQ(home.read(QStringLiteral("backup/backup.txt")), QByteArray("OK\r\n"));
    EXPECT_TRUE(WasCleanExit());
    ASSERT_TRUE(MarkFailedStart());
    EXPECT_EQ(home.read(QStringLiteral("backup/backup.txt")), QByteArray("\r\n"));
    EXPECT_FALSE(WasCleanExit());
}

TEST(ExitDecisions, FailedStartAndCancelledFirstRunMakeNoBackups)
{
    EXPECT_TRUE(ShouldMakeExitBackups(RunOutcome::Running, false));
    EXPECT_FALSE(ShouldMakeExitBackups(RunOutcome::Running, true));
    EXPECT_FALSE(ShouldMakeExitBackups(RunOutcome::StartFailed, false));
    EXPECT_FALSE(ShouldMakeExitBackups(RunOutcome::FirstRunCancelled, false));
    EXPECT_TRUE(ShouldMarkCleanExit(RunOutcome::Running));
    EXPECT_TRUE(ShouldMarkCleanExit(RunOutcome::FirstRunCancelled));
    EXPECT_FALSE(ShouldMarkCleanExit(RunOutcome::StartFailed));
}

} // namespace
