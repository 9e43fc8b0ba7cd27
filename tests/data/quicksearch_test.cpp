#include "store_fixture.h"

#include "data/administration.h"
#include "data/dm.h"
#include "data/quicksearch.h"
#include "foundation/msgdlg.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

// Contacts with awkward names, sorted by ComName as the administration opens them.
class QuickSearch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(fx.MakeAdministration());
        SetMessageHook([](const MessageRequest&) { return MessageAnswer{}; });
        fx.Exec(QStringLiteral("DELETE FROM Adressen"));
        const QList<QVariantList> rows = {
            {1, QStringLiteral("Adams"), QStringLiteral("1999-05-01"), 10.0, 3},
            {2, QStringLiteral("SMITS"), QStringLiteral("2000-12-25"), 12.1000000001, 7},
            {3, QStringLiteral("Smith"), QStringLiteral("2001-01-02"), 12.5, 7},
            {4, QString::fromUtf8("élodie"), QStringLiteral("2002-02-02"), 0.0, 1},
            {5, QStringLiteral("O'Brien 100% _x"), QStringLiteral("2003-03-03"), 5.0, 2},
            {6, QStringLiteral("O'Brien 1000"), QStringLiteral("2004-04-04"), 5.0, 2},
            {7, QStringLiteral("Elodie"), QStringLiteral("2005-05-05"), 7.0, 9},
            {8, QStringLiteral("Xavier"), QStringLiteral("2006-06-06"), 8.0, 9},
        };
        for (const QVariantList& row : rows)
            fx.Exec(QStringLiteral("INSERT INTO Adressen (nummer, ComName, Birthday, C_VAT, ICON) VALUES (?, ?, ?, ?, ?)"),
                    row);
        admin = std::make_unique<TAdministration>(fx.folder(), QStringLiteral("Test"), &dm);
        ASSERT_EQ(admin->Status(), asOpen) << admin->StatusReason().toStdString();
        contacts = dm.tabContacts;
        ASSERT_TRUE(contacts->Active());
        contacts->First();
    }
    void TearDown() override
    {
        admin.reset();
        SetMessageHook(nullptr);
    }
    int Current() { return contacts->Field(0)->AsInteger(); }

    StoreFixture fx;
    Tdm dm;
    std::unique_ptr<TAdministration> admin;
    TTable* contacts = nullptr;
};

TEST_F(QuickSearch, TextStartsWithCaseAndAccentsIgnoredAndTypedLiterally)
{
    struct Case { const char* typed; int found; };
    const Case cases[] = {
        {"smi", 3},              // "Smith" sorts before "SMITS"
        {"smits", 2},
        {"\xc3\x89lo", 4},       // "Élo": "élodie" and "Elodie" fold alike; the older first
        {"elodie", 4},
        {"o'brien 100%", 5},     // the quote and "%" are plain characters
        {"O'Brien 100% _", 5},
        {"o'brien 10_", 0},      // "_" matches no other character
        {"o%", 0},
    };
    for (const Case& c : cases) {
        contacts->First();
        const bool found = QuickSearchLocate(*contacts, QStringLiteral("ComName"), QString::fromUtf8(c.typed));
        EXPECT_EQ(found, c.found != 0) << c.typed;
        if (c.found)
            EXPECT_EQ(Current(), c.found) << c.typed;
        else
            EXPECT_EQ(Current(), 1) << c.typed << ": the record stays";
    }
}

TEST_F(QuickSearch, DatesOnlyWhenTypedInFull)
{
    EXPECT_EQ(QuickSearchKindOf(*contacts, QStringLiteral("Birthday")), TQuickSearchKind::Date);
    EXPECT_FALSE(QuickSearchLocate(*contacts, QStringLiteral("Birthday"), QStringLiteral("25-12-200")));
    EXPECT_EQ(Current(), 1);
    EXPECT_TRUE(QuickSearchLocate(*contacts, QStringLiteral("Birthday"), QStringLiteral("25-12-2000")));
    EXPECT_EQ(Current(), 2);
    EXPECT_TRUE(QuickSearchLocate(*contacts, QStringLiteral("Birthday"), QStringLiteral("02/01/2001")));
    EXPECT_EQ(Current(), 3);
    // Ten characters that are no date are ignored.
    EXPECT_FALSE(QuickSearchLocate(*contacts, QStringLiteral("Birthday"), QStringLiteral("31-02-2001")));
    EXPECT_EQ(Current(), 3);
}

TEST_F(QuickSearch, NumbersByValueAmountsRoundedToTwoDecimals)
{
    EXPECT_TRUE(QuickSearchLocate(*contacts, QStringLiteral("ICON"), QStringLiteral("9")));
    EXPECT_EQ(Current(), 7);
    EXPECT_FALSE(QuickSearchLocate(*contacts, QStringLiteral("ICON"), QStringLiteral("9a")));
    EXPECT_EQ(Current(), 7);
    // The stored 12.1000000001 is the amount 12,10.
    EXPECT_TRUE(QuickSearchLocate(*contacts, QStringLiteral("C_VAT"), QStringLiteral("12,1")));
    EXPECT_EQ(Current(), 2);
    EXPECT_TRUE(QuickSearchLocate(*contacts, QStringLiteral("C_VAT"), QStringLiteral("12.50")));
    EXPECT_EQ(Current(), 3);
    EXPECT_FALSE(QuickSearchLocate(*contacts, QStringLiteral("C_VAT"), QStringLiteral("-1")));
    EXPECT_FALSE(QuickSearchLocate(*contacts, QStringLiteral("C_VAT"), QStringLiteral("abc")));
    EXPECT_EQ(Current(), 3);
    // Memo columns are not searched.
    EXPECT_EQ(QuickSearchKindOf(*contacts, QStringLiteral("Notes")), TQuickSearchKind::None);
}

TEST_F(QuickSearch, TypeAheadKeysAndCut)
{
    EXPECT_EQ(TypeAheadText(QStringLiteral("sm"), QLatin1Char('i')), QStringLiteral("smi"));
    EXPECT_EQ(TypeAheadText(QStringLiteral("smi"), QChar(8)), QStringLiteral("sm"));
    EXPECT_EQ(TypeAheadText(QString(), QChar(8)), QString());
    for (QChar key : {QChar(9), QChar(13), QChar(27)})
        EXPECT_EQ(TypeAheadText(QStringLiteral("sm"), key), QStringLiteral("sm"));
    EXPECT_EQ(TypeAheadCut(QString(25, QLatin1Char('a')), 20).size(), 19);
    EXPECT_EQ(TypeAheadCut(QStringLiteral("abc"), 20), QStringLiteral("abc"));
}

TEST_F(QuickSearch, LetterMovesOnToTheNextLetterThatHasRecords)
{
    EXPECT_EQ(LocateFromLetter(*contacts, QStringLiteral("ComName"), QLatin1Char('c')), QStringLiteral("E"));
    EXPECT_EQ(Current(), 4);
    EXPECT_EQ(LocateFromLetter(*contacts, QStringLiteral("ComName"), QLatin1Char('S')), QStringLiteral("S"));
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(LocateFromLetter(*contacts, QStringLiteral("ComName"), QLatin1Char('Y')), QString());
    EXPECT_EQ(Current(), 3);
}

TEST_F(QuickSearch, DocumentQueriesBindTheTextAndLogTheQuery)
{
    auto document = [&](int id, const char* number, int contact, double total, double coef, double prepaid, int payed,
                        int kind) {
        fx.Exec(QStringLiteral("INSERT INTO factuur (F_ID, F_FACNR, F_CID, F_TOTVAL, F_VATCOEF, F_PREPAYED, F_PAYED, F_TYPE) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {id, QString::fromLatin1(number), contact, total, coef, prepaid, payed, kind});
    };
    fx.Exec(QStringLiteral("DELETE FROM factuur"));
    document(1, "2024001", 3, 100.0, 1.21, 0.0, 0, 1);    // open 121,00
    document(2, "2024002", 2, 100.0, 1.21, 21.0, 0, 1);   // open 100,00
    document(3, "2024003", 2, 100.0, 1.21, 0.0, 1, 1);    // paid
    document(4, "2024004", 5, 121.0 / 1.21, 1.21, 0.0, 0, 1);  // 121,00 after rounding
    document(5, "2024005", 3, 100.0, 1.21, 0.0, 0, 2);    // another kind
    TDatabase& db = *dm.Database();
    bool handled = false;
    QList<TDocumentHit> hits = FindDocuments(db, QStringLiteral("totvalincTB"), QStringLiteral("121.00"), 1,
                                             fx.dataFolder(), &handled);
    EXPECT_TRUE(handled);
    ASSERT_EQ(hits.size(), 2);
    EXPECT_EQ(hits.at(0).id, 1);
    EXPECT_EQ(hits.at(1).number, QStringLiteral("2024004"));
    hits = FindDocuments(db, QStringLiteral("totvalincTB"), QStringLiteral("100"), 1, fx.dataFolder());
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits.at(0).id, 2);
    EXPECT_TRUE(LoadTextFile(fx.dataFolder() + QStringLiteral("sql.txt")).contains(QStringLiteral("F_type = 1")));

    hits = FindDocuments(db, QStringLiteral("KLANTNAAM"), QStringLiteral("smi"), 1, fx.dataFolder(), &handled);
    EXPECT_TRUE(handled);
    ASSERT_EQ(hits.size(), 3);  // Smith's 1 and SMITS's 2 and 3
    hits = FindDocuments(db, QStringLiteral("KLANTNAAM"), QStringLiteral("o'brien 100%"), 1, fx.dataFolder());
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits.at(0).id, 4);
    EXPECT_TRUE(FindDocuments(db, QStringLiteral("KLANTNAAM"), QStringLiteral("\"; DROP TABLE factuur; --"), 1,
                              fx.dataFolder()).isEmpty());
    EXPECT_EQ(fx.Scalar(QStringLiteral("SELECT COUNT(*) FROM factuur")).toInt(), 5);

    EXPECT_TRUE(FindDocuments(db, QStringLiteral("F_NOTES"), QStringLiteral("x"), 1, fx.dataFolder(), &handled).isEmpty());
    EXPECT_FALSE(handled);
}
