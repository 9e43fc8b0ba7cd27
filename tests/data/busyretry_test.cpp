#include <gtest/gtest.h>

#include <QThread>

#include "data/busyretry.h"
#include "enginefixture.h"

// Two sessions on one administration: the first holds the write lock, the second is asked.
class BusyTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        AddContact(1, QStringLiteral("Aerts"));
        QString error;
        other = TDatabase::Open(folder.file(QStringLiteral("admin.sqlite")),
                                folder.file(QStringLiteral("shared.sqlite")), &error);
        ASSERT_TRUE(other) << error.toStdString();
        other->SetBusyTimeout(50);
        other->SetBusyAsker([this](const QString& question) {
            asked << question;
            return answer(question);
        });
        table.SetDatabase(other.get());
        table.SetTableName(QStringLiteral("Adressen"));
        ASSERT_TRUE(table.Open());
    }

    std::unique_ptr<TDatabase> other;
    TTable table;
    QStringList asked;
    std::function<bool(const QString&)> answer = [](const QString&) { return false; };
};

TEST_F(BusyTest, NeeGivesUpCleanlyAndJaAfterReleaseSucceeds)
{
    ASSERT_TRUE(db->Transaction());
    Exec("INSERT INTO Adressen (nummer, ComName) VALUES (2, 'Bosmans')");

    ASSERT_TRUE(table.Edit());
    table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Edited"));
    EXPECT_FALSE(table.Post());
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first(), QStringLiteral("Tabel in gebruik door andere sessie. Opnieuw proberen?"));
    EXPECT_EQ(table.LastError(), asked.first());
    // Nothing typed is lost: the edit is still there to post again.
    EXPECT_EQ(table.State(), TDataSetState::Edit);
    EXPECT_EQ(table.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Edited"));

    // Ja: the other session finishes meanwhile, and the retry goes through.
    answer = [this](const QString&) {
        EXPECT_TRUE(db->Commit());
        return true;
    };
    EXPECT_TRUE(table.Post()) << table.LastError().toStdString();
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Name FROM Adressen WHERE nummer = 1")).toString(), QStringLiteral("Edited"));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen")).toInt(), 2);
}

TEST_F(BusyTest, DeleteAndAdHocStatementsAskToo)
{
    ASSERT_TRUE(db->Transaction());
    EXPECT_FALSE(table.Delete());
    EXPECT_EQ(table.RecordCount(), 1);
    QString error;
    EXPECT_FALSE(other->Exec(QStringLiteral("UPDATE Adressen SET Name = 'x'"), {}, &error));
    EXPECT_EQ(error, BusyQuestion());
    EXPECT_EQ(asked.size(), 2);
    db->Rollback();
    EXPECT_TRUE(table.Delete());
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT count(*) FROM Adressen")).toInt(), 0);
}

TEST_F(BusyTest, LockTableWithRetry)
{
    ASSERT_TRUE(db->Transaction());
    EXPECT_FALSE(LockTableWithRetry(table));
    EXPECT_FALSE(other->InTransaction());
    answer = [this](const QString&) {
        db->Rollback();
        return true;
    };
    ASSERT_TRUE(LockTableWithRetry(table));
    // While the lock is held, posts join it and the first session waits in turn.
    ASSERT_TRUE(table.Edit());
    table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Bulk"));
    ASSERT_TRUE(table.Post());
    db->SetBusyTimeout(50);
    EXPECT_FALSE(db->Transaction());
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(UnlockTable(table));
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Name FROM Adressen")).toString(), QStringLiteral("Bulk"));

    // Abandoning the lock drops what was written under it.
    ASSERT_TRUE(LockTableWithRetry(table));
    ASSERT_TRUE(table.Edit());
    table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Dropped"));
    ASSERT_TRUE(table.Post());
    AbandonTableLock(table);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Name FROM Adressen")).toString(), QStringLiteral("Bulk"));
    EXPECT_EQ(table.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("Bulk"));
}

TEST_F(EngineTest, DefaultAskerCanBeReplaced)
{
    int calls = 0;
    SetDefaultBusyAsker([&](const QString&) { ++calls; return false; });
    TDatabase* plain = db.get();
    plain->SetBusyAsker(nullptr);
    EXPECT_FALSE(plain->AskRetry());
    EXPECT_EQ(calls, 1);
    SetDefaultBusyAsker(nullptr);  // back to the dialog
    EXPECT_TRUE(DefaultBusyAsker() != nullptr);
}

TEST_F(BusyTest, ValuesAnotherProgramChangedShowWithoutRefresh)
{
    EXPECT_EQ(table.DisplayTextAt(0, 1), QStringLiteral("Aerts"));
    Exec("UPDATE Adressen SET ComName = 'Aarts' WHERE nummer = 1");
    QThread::msleep(250);
    EXPECT_EQ(table.DisplayTextAt(0, 1), QStringLiteral("Aarts"));
    // Edit always starts from the stored row, so nothing the other program wrote is undone.
    Exec("UPDATE Adressen SET Place = 'Gent' WHERE nummer = 1");
    ASSERT_TRUE(table.Edit());
    table.FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("Mine"));
    ASSERT_TRUE(table.Post());
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT Place || ComName || Name FROM Adressen")).toString(),
              QStringLiteral("GentAartsMine"));
}
