#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include "enginefixture.h"

// A writer doing large multi-table transactions is killed (SIGKILL) at a random moment, 50
// times over. Each time the database must pass the integrity check, and every batch must be
// there whole (its order, all its lines, its share of the total) or not at all.
TEST(CrashTest, KilledWriterLeavesWholeTransactionsOnly)
{
    TestFolder folder;
    const QString admin = folder.file(QStringLiteral("admin.sqlite"));
    const QString shared = folder.file(QStringLiteral("shared.sqlite"));
    {
        std::unique_ptr<TDatabase> db = TDatabase::Open(admin, shared);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->Exec(QStringLiteral(
            "CREATE TABLE Orders (id INTEGER PRIMARY KEY, lines INTEGER);"
            "CREATE TABLE Lines (id INTEGER PRIMARY KEY, batch INTEGER, text CHAR(60));"
            "CREATE INDEX Lines_iadr2 ON Lines (text COLLATE QCI);"
            "CREATE INDEX Lines_batch ON Lines (batch);"
            "CREATE TABLE Totals (total INTEGER);"
            "INSERT INTO Totals VALUES (0);")));
    }
    QRandomGenerator random(20261211);
    QElapsedTimer timer;
    timer.start();
    qint64 lastBatches = 0;
    int grew = 0;
    for (int run = 0; run < 50; ++run) {
        QProcess writer;
        writer.start(QStringLiteral(QUILLON_CRASH_WRITER), {admin, shared});
        ASSERT_TRUE(writer.waitForStarted(10000));
        ASSERT_TRUE(writer.waitForReadyRead(10000)) << "run " << run;
        QThread::msleep(10 + random.bounded(250));
        writer.kill();  // SIGKILL
        ASSERT_TRUE(writer.waitForFinished(10000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "run " << run << ": the writer stopped by itself";

        std::unique_ptr<TDatabase> db = TDatabase::Open(admin, shared);
        ASSERT_TRUE(db);
        EXPECT_EQ(db->Scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok")) << "run " << run;
        // Every order has exactly its lines, no line lacks its order, the total adds up.
        EXPECT_EQ(db->Scalar(QStringLiteral(
                      "SELECT count(*) FROM Orders o WHERE o.lines <> (SELECT count(*) FROM Lines l WHERE l.batch = o.id)"))
                      .toInt(), 0) << "run " << run;
        EXPECT_EQ(db->Scalar(QStringLiteral(
                      "SELECT count(*) FROM Lines l WHERE NOT EXISTS (SELECT 1 FROM Orders o WHERE o.id = l.batch)"))
                      .toInt(), 0) << "run " << run;
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT total FROM Totals")).toLongLong(),
                  db->Scalar(QStringLiteral("SELECT coalesce(sum(lines), 0) FROM Orders")).toLongLong()) << "run " << run;
        // Batches are numbered without gaps: none went missing between committed ones.
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Orders")).toLongLong(),
                  db->Scalar(QStringLiteral("SELECT coalesce(max(id), 0) FROM Orders")).toLongLong()) << "run " << run;
        const qint64 batches = db->Scalar(QStringLiteral("SELECT count(*) FROM Orders")).toLongLong();
        grew += batches > lastBatches ? 1 : 0;
        lastBatches = batches;
    }
    // The writer got far enough to be killed in the middle of work most of the time.
    EXPECT_GT(grew, 10);
    EXPECT_GT(lastBatches, 20);
    RecordProperty("seconds", int(timer.elapsed() / 1000));
}
