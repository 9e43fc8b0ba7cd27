// The quillon program as a user starts it: real processes on a temporary home folder.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "common/testfolder.h"
#include "data/newadministration.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/settingsfile.h"
#include "shell/exitmarker.h"

namespace {

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(home.path());
        ASSERT_TRUE(EnsureHomeFolder());
        SetMessageHook([](const MessageRequest&) { return MessageAnswer{}; });
    }
    void TearDown() override
    {
        for (QProcess* p : {&first, &second}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        SetMessageHook(nullptr);
        SetProgramFolder(QString());
    }

    void Start(QProcess& process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUILLON_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(QUILLON_BINARY_DIR "/bin/quillon"));
        process.start();
        ASSERT_TRUE(process.waitForStarted(5000)) << process.errorString().toStdString();
    }

    TestFolder home;
    QProcess first;
    QProcess second;
};

TEST_F(ProgramTest, SecondStartOnlyActivatesTheFirst)
{
    ASSERT_TRUE(QFile::exists(QStringLiteral(QUILLON_BINARY_DIR "/bin/quillon"))) << "build the quillon target";
    NewAdministration request;
    request.name = QStringLiteral("Demo");
    QString error;
    ASSERT_TRUE(CreateAdministrationFiles(request, &error)) << error.toStdString();
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), request.name);
    SaveExitMarker({QStringLiteral("OK")});

    Start(first);
    // The first listens before it writes the administration into the exit marker.
    QElapsedTimer clock;
    clock.start();
    while (LoadExitMarker() != QStringList{QStringLiteral("Demo")} && clock.elapsed() < 20000) {
        first.waitForFinished(50);
        ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();
    }
    ASSERT_EQ(LoadExitMarker(), QStringList{QStringLiteral("Demo")});

    clock.restart();
    Start(second);
    ASSERT_TRUE(second.waitForFinished(5000)) << "a second start ends at once";
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(LoadExitMarker(), QStringList{QStringLiteral("Demo")}) << "the second start touched no data";

    QByteArray said;
    clock.restart();
    while (!said.contains("a second start asked for the window") && clock.elapsed() < 5000) {
        first.waitForReadyRead(100);
        said += first.readAllStandardError();
    }
    EXPECT_TRUE(said.contains("a second start asked for the window")) << said.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running) << "the first goes on";
}

} // namespace
