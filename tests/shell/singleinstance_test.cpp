#include <gtest/gtest.h>

#include "shell/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace {

// The same test program, started again as another instance of the program.
constexpr char kKeyVariable[] = "QUILLON_INSTANCE_TEST_KEY";
constexpr char kRoleVariable[] = "QUILLON_INSTANCE_TEST_ROLE";

QString UniqueKey(const char* test)
{
    return QStringLiteral("Quillon test %1 %2").arg(QCoreApplication::applicationPid()).arg(QLatin1String(test));
}

QProcess* StartOther(const QString& key, const QString& role, QObject* parent)
{
    auto* process = new QProcess(parent);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kKeyVariable), key);
    environment.insert(QString::fromLatin1(kRoleVariable), role);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--gtest_filter=SingleInstanceOther.Run")});
    return process;
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Only when started by the tests below: "first" holds the instance until killed, "second"
// is a later start that must find the first one.
TEST(SingleInstanceOther, Run)
{
    const QString key = qEnvironmentVariable(kKeyVariable);
    if (key.isEmpty())
        GTEST_SKIP() << "started by the single-instance tests only";
    TSingleInstance instance(key);
    if (qEnvironmentVariable(kRoleVariable) == QLatin1String("second")) {
        EXPECT_FALSE(instance.Start());
        return;
    }
    ASSERT_TRUE(instance.Start());
    QObject::connect(&instance, &TSingleInstance::ActivationRequested, [] {
        std::printf("ACTIVATED\n");
        std::fflush(stdout);
    });
    std::printf("READY\n");
    std::fflush(stdout);
    QEventLoop loop;
    loop.exec();
}

TEST(SingleInstance, SecondStartActivatesTheFirstAndEnds)
{
    const QString key = UniqueKey("second");
    TSingleInstance first(key);
    ASSERT_TRUE(first.Start());
    int activations = 0;
    QObject::connect(&first, &TSingleInstance::ActivationRequested, [&activations] { ++activations; });

    QObject parent;
    QProcess* second = StartOther(key, QStringLiteral("second"), &parent);
    ASSERT_TRUE(WaitFor([second] { return second->state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardOutput().toStdString();
    EXPECT_TRUE(WaitFor([&activations] { return activations == 1; }, 2000));
}

TEST(SingleInstance, FirstProcessAnswersAndItsCrashBlocksNothing)
{
    const QString key = UniqueKey("crash");
    QObject parent;
    QProcess* first = StartOther(key, QStringLiteral("first"), &parent);
    QByteArray output;
    ASSERT_TRUE(WaitFor([&] {
        output += first->readAllStandardOutput();
        return output.contains("READY") || first->state() == QProcess::NotRunning;
    }, 20000));
    ASSERT_TRUE(output.contains("READY")) << first->readAllStandardError().toStdString();

    {
        TSingleInstance later(key);
        EXPECT_FALSE(later.Start());
        EXPECT_FALSE(later.IsPrimary());
    }
    EXPECT_TRUE(WaitFor([&] {
        output += first->readAllStandardOutput();
        return output.contains("ACTIVATED");
    }, 5000));

    // A crash: the lock file and the socket stay behind.
    first->kill();
    ASSERT_TRUE(first->waitForFinished(5000));
    TSingleInstance next(key);
    EXPECT_TRUE(QFileInfo::exists(next.LockFilePath()));
    EXPECT_TRUE(next.Start());
    EXPECT_TRUE(next.IsPrimary());
}

TEST(SingleInstance, EachKeyIsItsOwnInstance)
{
    TSingleInstance a(UniqueKey("a"));
    TSingleInstance b(UniqueKey("b"));
    EXPECT_TRUE(a.Start());
    EXPECT_TRUE(b.Start());
    EXPECT_NE(a.ServerName(), b.ServerName());
}

} // namespace
