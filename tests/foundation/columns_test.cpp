#include "foundation/columns.h"
#include "foundation/currency.h"

#include "common/testfolder.h"

#include <gtest/gtest.h>

TEST(Columns, IsUserColumn)
{
    struct Case {
        const char* name;
        int kind;
        bool user;
    };
    const Case cases[] = {
        {"P_ID", 0, false},       {"p_id", 0, false},        {"NAAM", 0, true},
        {"", 0, false},           {"", 1, false},            {"", 2, false},
        {"W_SPECIALPAGEID", 0, false}, {"PNR", 0, true},     {"PNR", 1, false},
        {"totvalincTB", 1, false}, {"TOTVALINCTB", 1, false}, {"FNR+DATUM", 1, false},
        {"CAL_DISPLAYED", 1, false}, {"F_TYPE", 1, false},   {"F_TYPE", 2, true},
        {"TELEPHONE OFFICE", 2, false}, {"vatnr", 2, false}, {"VATNR", 1, true},
        {"P_ID", 2, false},       {"P_ID", 7, true},         {"", 7, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUserColumn(QString::fromLatin1(c.name), c.kind), c.user) << c.name << " " << c.kind;
}

TEST(Columns, IsListableField)
{
    EXPECT_TRUE(IsListableField(QStringLiteral("NAAM"), 1));
    EXPECT_TRUE(IsListableField(QStringLiteral("BEDRAG"), 7));
    EXPECT_FALSE(IsListableField(QStringLiteral("NOTITIES"), kMemoDataType));
    EXPECT_FALSE(IsListableField(QStringLiteral("LOGO"), kGraphicDataType));
    EXPECT_FALSE(IsListableField(QString(), 1));
    EXPECT_FALSE(IsListableField(QStringLiteral("icon"), 1));
}

TEST(Currency, LastMatchingLineWins)
{
    TestFolder folder;
    folder.write(QStringLiteral("euroconvert.ini"), "EUR|1|\r\n\r\nUSD|0,9|dollar, US|\r\nusd|5|\r\nUSD|0.95|\r\nUSDX|7|\r\n");
    const QString dir = folder.path();
    EXPECT_EQ(CurrencyLine(dir, QStringLiteral("USD"), QStringLiteral("-")), QStringLiteral("USD|0.95|"));
    EXPECT_EQ(CurrencyLine(dir, QStringLiteral("EUR"), QStringLiteral("-")), QStringLiteral("EUR|1|"));
    EXPECT_EQ(CurrencyLine(dir.chopped(1), QStringLiteral("EUR"), QStringLiteral("-")), QStringLiteral("EUR|1|"));
    EXPECT_EQ(CurrencyLine(dir, QStringLiteral("GBP"), QStringLiteral("GBP|1|")), QStringLiteral("GBP|1|"));
    EXPECT_EQ(CurrencyLine(dir, QString(), QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(CurrencyLine(folder.file(QStringLiteral("none/")), QStringLiteral("EUR"), QStringLiteral("-")), QStringLiteral("-"));
}

TEST(Currency, Amount)
{
    EXPECT_DOUBLE_EQ(CurrencyAmount(QStringLiteral("USD|0,9|"), 100), 90);
    EXPECT_DOUBLE_EQ(CurrencyAmount(QStringLiteral("USD|0.9|"), 100), 90);
    EXPECT_DOUBLE_EQ(CurrencyAmount(QStringLiteral("USD|x|"), 100), 0);
    EXPECT_DOUBLE_EQ(CurrencyAmount(QString(), 100), 0);
}
