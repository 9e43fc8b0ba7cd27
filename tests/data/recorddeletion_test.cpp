#include "store_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/recorddeletion.h"
#include "foundation/msgdlg.h"

#include <gtest/gtest.h>

class RecordDeletion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        SetMessageHook([this](const MessageRequest& request) {
            shown.append(request.text);
            return MessageAnswer{answer, {}, false};
        });
        fx.Exec(QStringLiteral("DELETE FROM Adressen"));
        fx.Exec(QStringLiteral("DELETE FROM factuur"));
        fx.Exec(QStringLiteral("DELETE FROM faclijn"));
        for (int i = 1; i <= 6; ++i)
            fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, ComName, LISTS) VALUES (?, ?, ?)"),
                    {i, QStringLiteral("Contact %1").arg(i), i % 2 ? QStringLiteral("0101") : QStringLiteral("0")});
        // Contact 2 has a document; document 2 is locked.
        fx.Exec(QStringLiteral("INSERT INTO factuur (F_ID, F_FACNR, F_CID, F_TYPE, F_LOCKED) VALUES "
                               "(1, 'A1', 2, 1, 0), (2, 'A2', 2, 1, 1), (3, 'A3', 4, 1, 0)"));
        fx.Exec(QStringLiteral("INSERT INTO faclijn (FL_ID, FL_FNR, FL_PRODUCT) VALUES "
                               "(1, 1, 'x'), (2, 1, 'y'), (3, 2, 'z'), (4, 3, 'w')"));
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
        counts.contacts = dm.tabContacts->RecordCount();
        contacts = Deletion(1, dm.tabContacts);
        documents = Deletion(7, dm.TabFact);
        if (!dm.TabFact->Active())
            ASSERT_TRUE(dm.TabFact->Open());
        ASSERT_TRUE(dm.tabContacts->Active());
    }
    void TearDown() override
    {
        admin.reset();
        SetMessageHook(nullptr);
    }
    TDeletion Deletion(int module, TDataSet* dataSet)
    {
        TDeletion d;
        d.dm = &dm;
        d.module = module;
        d.dataSet = dataSet;
        d.counts = &counts;
        d.lists.adjustMemberCount = [this](int, int list, int delta) { members[list] += delta; };
        return d;
    }
    int Count(const char* sql) { return fx.Scalar(QString::fromLatin1(sql)).toInt(); }

    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
    TRecordCounts counts;
    QMap<int, int> members;
    TDeletion contacts;
    TDeletion documents;
    QStringList shown;
    int answer = AskFirst;
};

TEST_F(RecordDeletion, RefusesContactWithDocumentsAndLockedDocument)
{
    ASSERT_TRUE(dm.tabContacts->Locate(QStringLiteral("nummer"), 2));
    EXPECT_FALSE(DeleteCurrentRecord(contacts));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first(), QStringLiteral("Er zijn facturen voor contact Contact 2, dit contact kan niet verwijderd worden!"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 6);

    ASSERT_TRUE(dm.TabFact->Locate(QStringLiteral("F_ID"), 2));
    EXPECT_FALSE(DeleteCurrentRecord(documents));
    EXPECT_TRUE(shown.last().startsWith(QStringLiteral("Dit verkoopsdocument is vergrendeld")));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM faclijn WHERE FL_FNR = 2"), 1);
    EXPECT_EQ(counts.contacts, 6);
}

TEST_F(RecordDeletion, ContactDeleteLowersListAndRecordCounts)
{
    ASSERT_TRUE(dm.tabContacts->Locate(QStringLiteral("nummer"), 3));
    EXPECT_TRUE(DeleteCurrentRecord(contacts));
    EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(counts.contacts, 5);
    EXPECT_EQ(members.value(2), -1);
    EXPECT_EQ(members.value(4), -1);
    EXPECT_EQ(members.size(), 2);
}

TEST_F(RecordDeletion, DocumentGoesWithItsLinesOrNotAtAll)
{
    ASSERT_TRUE(dm.TabFact->Locate(QStringLiteral("F_ID"), 1));
    EXPECT_TRUE(DeleteCurrentRecord(documents));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM factuur WHERE F_ID = 1"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM faclijn WHERE FL_FNR = 1"), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM faclijn"), 2);

    // A header delete that fails takes the deleted lines back with it.
    ASSERT_TRUE(dm.TabFact->Locate(QStringLiteral("F_ID"), 3));
    dm.TabFact->BeforeDelete = [](TDataSet& d) { d.Abort(QStringLiteral("refused")); };
    EXPECT_FALSE(DeleteCurrentRecord(documents));
    EXPECT_EQ(shown.last(), QStringLiteral("Record kan niet verwijderd worden"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM factuur WHERE F_ID = 3"), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM faclijn WHERE FL_FNR = 3"), 1);
}

TEST_F(RecordDeletion, DeleteAllSkipsRefusedAndFailingRecordsOnce)
{
    // Contact 5 cannot be deleted: its delete fails each time.
    dm.tabContacts->BeforeDelete = [](TDataSet& d) {
        if (d.Field(0)->AsInteger() == 5)
            d.Abort(QStringLiteral("in use"));
    };
    int steps = 0;
    int maximum = 0;
    TDeleteProgress progress;
    progress.begin = [&](int max) { maximum = max; };
    progress.step = [&] { return ++steps < 100; };
    EXPECT_EQ(DeleteAllRecords(contacts, progress), 3);
    EXPECT_EQ(maximum, 6);
    EXPECT_EQ(steps, 6);  // one step per record, no record twice
    EXPECT_EQ(shown.count(QStringLiteral("Record kan niet verwijderd worden")), 1);
    EXPECT_EQ(shown.filter(QStringLiteral("Er zijn facturen")).size(), 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 3);
    EXPECT_EQ(counts.contacts, 3);
}

TEST_F(RecordDeletion, StopRequestEndsTheWalk)
{
    TDeleteProgress progress;
    int steps = 0;
    progress.step = [&] { return ++steps < 2; };
    // Contact 1 deleted, contact 2 refused, then the user stops.
    EXPECT_EQ(DeleteAllRecords(contacts, progress), 1);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 5);
}

TEST_F(RecordDeletion, QuestionsDecideAndMarkedRowsAreDeletedInOrder)
{
    TDeleteRequest request;
    request.plural = QStringLiteral("contacten");
    request.moduleTitle = QStringLiteral("Contacten");
    ASSERT_TRUE(dm.tabContacts->Locate(QStringLiteral("nummer"), 1));
    answer = AskSecond;
    EXPECT_EQ(DeleteRecords(contacts, request), 0);
    EXPECT_EQ(shown.last(), QStringLiteral("Bent u zeker dat u <Contact 1> wil verwijderen?"));
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen"), 6);

    answer = AskFirst;
    for (int id : {6, 2, 4}) {
        ASSERT_TRUE(dm.tabContacts->Locate(QStringLiteral("nummer"), id));
        request.marked.append(dm.tabContacts->GetBookmark());
    }
    shown.clear();
    EXPECT_EQ(DeleteRecords(contacts, request), 1);
    EXPECT_EQ(shown.first(), QStringLiteral("Bent u zeker dat u deze <3> contacten wilt verwijderen?"));
    EXPECT_EQ(shown.size(), 3);  // contacts 2 and 4 have documents
    EXPECT_EQ(Count("SELECT COUNT(*) FROM Adressen WHERE nummer = 6"), 0);

    request.marked.clear();
    request.allSelected = true;
    contacts.lists.activeList = [](int) { return 3; };
    contacts.lists.activeListCount = [](int) { return 12; };
    answer = AskSecond;
    EXPECT_EQ(DeleteRecords(contacts, request), 0);
    EXPECT_EQ(shown.last(), QStringLiteral("Bent u zeker dat u alle contacten in selectie <Contacten> wil verwijderen?"));
}
