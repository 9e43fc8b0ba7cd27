#include "common/testfolder.h"
#include "data/auditlog.h"
#include "data/connection.h"
#include "data/counters.h"
#include "data/documentnumbers.h"
#include "data/table.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

namespace {

class TransactionWork : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        db = TDatabase::Open(tmp.path() + QStringLiteral("a.sqlite"), QString(), &error);
        ASSERT_TRUE(db) << error.toStdString();
        ini = tmp.path() + QStringLiteral("admin.ini");
        ASSERT_TRUE(SaveTextLines(ini, {QStringLiteral("VATINC FALSE"), QStringLiteral("LASTNRF 7")}));
    }
    TestFolder tmp;
    std::unique_ptr<TDatabase> db;
    QString ini;
};

} // namespace

TEST_F(TransactionWork, UndoRunsOnRollbackOnlyAndSavepointsHandItUp)
{
    QStringList log;
    ASSERT_TRUE(db->Transaction());
    db->OnRollback([&] { log << QStringLiteral("outer undo"); });
    db->AfterCommit([&] { log << QStringLiteral("outer after"); });
    ASSERT_TRUE(db->Transaction());
    db->OnRollback([&] { log << QStringLiteral("inner undo"); });
    db->AfterCommit([&] { log << QStringLiteral("inner after"); });
    ASSERT_TRUE(db->Commit());   // the savepoint: nothing runs yet
    EXPECT_TRUE(log.isEmpty());
    db->Rollback();
    EXPECT_EQ(log, (QStringList{QStringLiteral("inner undo"), QStringLiteral("outer undo")}));

    log.clear();
    ASSERT_TRUE(db->Transaction());
    ASSERT_TRUE(db->Transaction());
    db->OnRollback([&] { log << QStringLiteral("rolled back savepoint"); });
    db->AfterCommit([&] { log << QStringLiteral("never"); });
    db->Rollback();
    db->OnRollback([&] { log << QStringLiteral("not rolled back"); });
    db->AfterCommit([&] { log << QStringLiteral("after commit"); });
    ASSERT_TRUE(db->Commit());
    EXPECT_EQ(log, (QStringList{QStringLiteral("rolled back savepoint"), QStringLiteral("after commit")}));

    // Outside a transaction there is nothing to undo and the work is done at once.
    log.clear();
    db->OnRollback([&] { log << QStringLiteral("dropped"); });
    db->AfterCommit([&] { log << QStringLiteral("at once"); });
    EXPECT_EQ(log, QStringList{QStringLiteral("at once")});
}

TEST_F(TransactionWork, CounterWritesComeBackOnRollback)
{
    ASSERT_TRUE(db->Transaction());
    ASSERT_TRUE(WriteCounterSetting(db.get(), ini, QStringLiteral("LASTNRF"), QStringLiteral("8")));
    ASSERT_TRUE(WriteCounterSetting(db.get(), ini, QStringLiteral("AdressenID"), QStringLiteral("3")));
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 8);
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("AdressenID"), 0), 3);
    db->Rollback();
    EXPECT_EQ(LoadTextLines(ini), (QStringList{QStringLiteral("VATINC FALSE"), QStringLiteral("LASTNRF 7")}));

    ASSERT_TRUE(db->Transaction());
    ASSERT_TRUE(WriteCounterSetting(db.get(), ini, QStringLiteral("AdressenID"), QStringLiteral("3")));
    ASSERT_TRUE(db->Commit());
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("AdressenID"), 0), 3);
}

TEST_F(TransactionWork, CounterKeysKeepTheOldTableNames)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("CREATE TABLE Adressen (nummer INTEGER PRIMARY KEY, Name CHAR(20))")));
    QString error;
    ASSERT_TRUE(db->Exec(QStringLiteral("ATTACH DATABASE ? AS shared"), QVariantList{QString(tmp.path() + QStringLiteral("s.sqlite"))}, &error))
        << error.toStdString();
    ASSERT_TRUE(db->Exec(QStringLiteral("CREATE TABLE shared.Calendar (cal_id INTEGER PRIMARY KEY, x CHAR(5))")));
    TTable contacts;
    contacts.SetDatabase(db.get());
    contacts.SetTableName(QStringLiteral("Adressen"));
    ASSERT_TRUE(contacts.Open());
    TTable calendar;
    calendar.SetDatabase(db.get());
    calendar.SetTableName(QStringLiteral("shared.Calendar"));
    ASSERT_TRUE(calendar.Open());
    EXPECT_EQ(CounterKey(contacts), QStringLiteral("AdressenID"));
    EXPECT_EQ(CounterKey(calendar), QStringLiteral("Calendar.dbID"));

    // Empty table, no counter: 1; the counter wins only when it is at least MAX + 1.
    EXPECT_EQ(NextRecordId(contacts, true, ini), 1);
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO Adressen (nummer) VALUES (1), (2), (3), (4), (5)")));
    EXPECT_EQ(NextRecordId(contacts, true, ini), 6);
    ASSERT_TRUE(WriteSetting(ini, QStringLiteral("AdressenID"), QStringLiteral("9")));
    EXPECT_EQ(NextRecordId(contacts, true, ini), 10);
    EXPECT_EQ(NextRecordId(contacts, false, ini), 6);
    ASSERT_TRUE(WriteSetting(ini, QStringLiteral("AdressenID"), QStringLiteral("5")));
    EXPECT_EQ(NextRecordId(contacts, true, ini), 6);
    calendar.Close();
    EXPECT_EQ(NextRecordId(calendar, true, ini, &error), 0);
    EXPECT_FALSE(error.isEmpty());
}

TEST(DocumentNumbers, OneFormatForAllocationAndRelease)
{
    struct Case
    {
        const char* pattern;
        int type;
        int counter;
        int year;
        const char* number;
    } cases[] = {
        {"|TRUE|TRUE|", 1, 42, 2001, "F200100042"},
        {"AB|FALSE|TRUE|", 1, 42, 2004, "AB200400042"},
        {"", 2, 3, 2003, "O200300003"},
        {"X|TRUE|FALSE|", 3, 123456, 2003, "XC123456"},
        {"|TRUE|TRUE|", 5, 1, 2010, "B201000001"},
        {"|TRUE|TRUE|", 6, 1, 2010, "L201000001"},
        {"|TRUE|TRUE|", 4, 1, 2010, "201000001"},
        {"|true|false|", 1, 0, 2010, "F00000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DocumentNumberText(QString::fromLatin1(c.pattern), c.type, c.counter, c.year), QString::fromLatin1(c.number))
            << c.pattern << " " << c.type;
    for (int type : {1, 2, 3, 5, 6})
        EXPECT_TRUE(IsNumberedDocumentType(type)) << type;
    for (int type : {0, 4, 7, 10})
        EXPECT_FALSE(IsNumberedDocumentType(type)) << type;
}

TEST_F(TransactionWork, NumbersAdvanceAndOnlyTheNewestComesBack)
{
    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, true), QStringLiteral("F") + year + QStringLiteral("00007"));
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), QStringLiteral("F") + year + QStringLiteral("00008"));
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 8);

    EXPECT_FALSE(ReleaseDocumentNumber(db.get(), ini, 1, QStringLiteral("F") + year + QStringLiteral("00007"), false));
    EXPECT_FALSE(ReleaseDocumentNumber(db.get(), ini, 1, QStringLiteral("F") + year + QStringLiteral("00008"), true));
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 8);
    EXPECT_TRUE(ReleaseDocumentNumber(db.get(), ini, 1, QStringLiteral("F") + year + QStringLiteral("00008"), false));
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 7);

    // An absent counter reads 1 for the release and is written, so the key exists.
    EXPECT_FALSE(ReleaseDocumentNumber(db.get(), ini, 2, QStringLiteral("whatever"), false));
    bool found = false;
    EXPECT_EQ(ReadSetting(ini, QStringLiteral("LASTNRO"), &found), QStringLiteral("1"));
    EXPECT_FALSE(ReleaseDocumentNumber(db.get(), ini, 4, QStringLiteral("201000001"), false));
}

TEST(AuditLog, ValuesStayOnOneLineAndComeBackWhole)
{
    const QStringList values = {QStringLiteral("plain"), QStringLiteral("a|b"), QStringLiteral("line 1\r\nline 2\nline 3"),
                                QStringLiteral("back\\slash \\p"), QString(), QStringLiteral("\\")};
    for (const QString& value : values) {
        const QString escaped = EscapeAuditValue(value);
        EXPECT_FALSE(escaped.contains(u'|')) << value.toStdString();
        EXPECT_FALSE(escaped.contains(u'\n') || escaped.contains(u'\r')) << value.toStdString();
        EXPECT_EQ(UnescapeAuditValue(escaped), value) << value.toStdString();
    }
}

TEST_F(TransactionWork, AuditLineSkipsAnUnchangedStateAndLeavesWithARollback)
{
    const QString file = AuditLogFile(tmp.path(), QStringLiteral("factuur"));
    const QDateTime when(QDate(2001, 5, 3), QTime(14, 5, 9));
    EXPECT_TRUE(AppendAuditLine(db.get(), file, QStringLiteral("|1|a|"), when));
    EXPECT_FALSE(AppendAuditLine(db.get(), file, QStringLiteral("|1|a|"), when));
    EXPECT_TRUE(AppendAuditLine(db.get(), file, QStringLiteral("|1|b|"), when));
    EXPECT_EQ(LoadTextLines(file), (QStringList{QStringLiteral("03/05/2001 14:05:09|1|a|"), QStringLiteral("03/05/2001 14:05:09|1|b|")}));
    EXPECT_EQ(LastAuditState(file), QStringLiteral("|1|b|"));

    ASSERT_TRUE(db->Transaction());
    EXPECT_TRUE(AppendAuditLine(db.get(), file, QStringLiteral("|1|c|"), when));
    db->Rollback();
    EXPECT_EQ(LoadTextLines(file).size(), 2);

    // A line cut short by a crash is ended before the next one.
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::Append));
    raw.write("03/05/2001 14:05:09|2|cut");
    raw.close();
    EXPECT_TRUE(AppendAuditLine(db.get(), file, QStringLiteral("|1|b|"), when));
    EXPECT_EQ(LoadTextLines(file).size(), 4);
    EXPECT_EQ(LoadTextLines(file).last(), QStringLiteral("03/05/2001 14:05:09|1|b|"));
}

TEST_F(TransactionWork, IdentifierCounterIsStoredWithTheRecordAndAdminIniFollows)
{
    ASSERT_TRUE(db->Exec(QStringLiteral("CREATE TABLE Adressen (nummer INTEGER PRIMARY KEY, Name CHAR(20))")));
    TTable contacts;
    contacts.SetDatabase(db.get());
    contacts.SetTableName(QStringLiteral("Adressen"));
    ASSERT_TRUE(contacts.Open());
    const QString key = QStringLiteral("AdressenID");

    // Rolled back with the transaction, admin.ini untouched.
    ASSERT_TRUE(db->Transaction());
    ASSERT_TRUE(StoreCounter(contacts, 7, ini));
    EXPECT_EQ(StoredCounter(db.get(), key), 7);
    db->Rollback();
    EXPECT_EQ(StoredCounter(db.get(), key), 0);
    EXPECT_EQ(NextRecordId(contacts, true, ini), 1);

    // Committed: in force at once; admin.ini gets its copy a moment later by itself.
    ASSERT_TRUE(db->Transaction());
    ASSERT_TRUE(StoreCounter(contacts, 7, ini));
    ASSERT_TRUE(db->Commit());
    EXPECT_EQ(NextRecordId(contacts, true, ini), 8);
    EXPECT_EQ(ReadSettingInt(ini, key, 0), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadSettingInt(ini, key, 0) == 7; }, 5000));
    EXPECT_EQ(LoadTextLines(ini).mid(0, 2), (QStringList{QStringLiteral("VATINC FALSE"), QStringLiteral("LASTNRF 7")}));

    // The higher of the two is in force: a copy left behind (a program killed before writing
    // it) hands out nothing twice, a key raised by hand is honoured.
    ASSERT_TRUE(WriteSetting(ini, key, QStringLiteral("3")));
    EXPECT_EQ(NextRecordId(contacts, true, ini), 8);
    ASSERT_TRUE(WriteSetting(ini, key, QStringLiteral("20")));
    EXPECT_EQ(NextRecordId(contacts, true, ini), 21);
    // The copy never lowers a key.
    ASSERT_TRUE(StoreCounter(contacts, 9, ini));
    FlushCounterMirrors(ini);
    EXPECT_EQ(ReadSettingInt(ini, key, 0), 20);
}

TEST_F(TransactionWork, ANumberAlreadyStoredIsNeverIssuedAgain)
{
    // admin.ini's counter set back (by hand, or by a program that rewrote the file from an
    // older copy) while invoices 8 and 9 are stored.
    const QString year = QString::number(QDate::currentDate().year());
    ASSERT_TRUE(db->Exec(QStringLiteral("CREATE TABLE factuur (F_ID INTEGER PRIMARY KEY, F_FACNR CHAR(12), F_TYPE INTEGER)")));
    ASSERT_TRUE(db->Exec(QStringLiteral("INSERT INTO factuur VALUES (1, ?, 1), (2, ?, 1), (3, ?, 2)"),
                         QVariantList{QString(QStringLiteral("F") + year + QStringLiteral("00008")),
                                      QString(QStringLiteral("f") + year + QStringLiteral("00009")),
                                      QString(QStringLiteral("F") + year + QStringLiteral("00010"))}));
    ASSERT_TRUE(db->Transaction());
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), QStringLiteral("F") + year + QStringLiteral("00010"));
    ASSERT_TRUE(db->Commit());
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 10);
    // Peeking shows the counter as it stands and skips nothing.
    ASSERT_TRUE(WriteSetting(ini, QStringLiteral("LASTNRF"), QStringLiteral("7")));
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, true), QStringLiteral("F") + year + QStringLiteral("00007"));
}

TEST_F(TransactionWork, NumberCounterReachesAdminIniOnlyWithTheCommit)
{
    const QString year = QString::number(QDate::currentDate().year());
    const auto number = [&](int n) -> QString { return QStringLiteral("F") + year + QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')); };
    // Two numbers in one transaction, the second in a savepoint that is rolled back.
    ASSERT_TRUE(db->Transaction());
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), number(8));
    ASSERT_TRUE(db->Transaction());
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), number(9));
    db->Rollback();
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), number(9));
    // Nothing in the file until the commit: a program killed now has used up no number.
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 7);
    ASSERT_TRUE(db->Commit());
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 9);

    ASSERT_TRUE(db->Transaction());
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), number(10));
    db->Rollback();
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 9);

    // Another program (or the settings dialog) set the counter while this transaction ran:
    // its value stays.
    ASSERT_TRUE(db->Transaction());
    EXPECT_EQ(NextDocumentNumber(db.get(), ini, 1, false), number(10));
    ASSERT_TRUE(WriteSetting(ini, QStringLiteral("LASTNRF"), QStringLiteral("50")));
    ASSERT_TRUE(db->Commit());
    EXPECT_EQ(ReadSettingInt(ini, QStringLiteral("LASTNRF"), 0), 50);
}
