#include "documents/currency.h"

#include "common/testfolder.h"

#include "foundation/translate.h"

#include <gtest/gtest.h>

namespace {

class CurrencyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // As the settings dialog writes it: decimal commas, a date, no trailing separator.
        folder.write("EuroConvert.ini", "EUR|1|2|11/12/2026\r\n"
                                        "BEF|40,3399|0|11/12/2026\r\n"
                                        "USD|1,2|2|\r\n"
                                        "USD|1,25|2|\r\n"
                                        "NUL|0|2|\r\n");
    }

    CurrencyBook Book()
    {
        return CurrencyBook(folder.path(), [this](const QString& text) { warnings << text; });
    }

    TestFolder folder;
    QStringList warnings;
};

TEST_F(CurrencyTest, ReadsRecordsWithTheLastLineWinning)
{
    const CurrencyBook book = Book();
    const CurrencyRecord bef = book.Lookup(QStringLiteral("BEF"));
    EXPECT_TRUE(bef.found);
    EXPECT_DOUBLE_EQ(bef.rate, 40.3399);
    EXPECT_EQ(bef.decimals, 0);
    EXPECT_DOUBLE_EQ(book.Lookup(QStringLiteral("USD")).rate, 1.25);
    EXPECT_EQ(book.Lookup(QStringLiteral("USD")).decimals, 2);
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(CurrencyTest, TheEuroSignIsTheEuro)
{
    const CurrencyBook book = Book();
    const QString sign(QChar(0x20AC));
    EXPECT_TRUE(IsEuroCode(sign));
    EXPECT_TRUE(IsEuroCode(QStringLiteral("EUR")));
    EXPECT_FALSE(IsEuroCode(QStringLiteral("eur")));
    const CurrencyRecord euro = book.Lookup(sign);
    EXPECT_TRUE(euro.found);
    EXPECT_DOUBLE_EQ(euro.rate, 1.0);
    EXPECT_EQ(euro.code, sign);
    EXPECT_DOUBLE_EQ(book.ConvertAmount(sign, QStringLiteral("BEF"), 10.0), 403.399);
    EXPECT_DOUBLE_EQ(book.ConvertAmount(QStringLiteral("EUR"), sign, 10.0), 10.0);
}

TEST_F(CurrencyTest, TheEuroHasARecordEvenWithoutTheFile)
{
    TestFolder empty;
    CurrencyBook book(empty.path(), [this](const QString& text) { warnings << text; });
    const CurrencyRecord euro = book.Lookup(QStringLiteral("EUR"));
    EXPECT_DOUBLE_EQ(euro.rate, 1.0);
    EXPECT_EQ(euro.decimals, 2);
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(book.KnownCodes(), QStringList{QStringLiteral("BEF")});
}

TEST_F(CurrencyTest, AMissingRecordWarnsInsteadOfConvertingToZero)
{
    const CurrencyBook book = Book();
    const CurrencyRecord xyz = book.Lookup(QStringLiteral("XYZ"));
    EXPECT_FALSE(xyz.found);
    EXPECT_EQ(xyz.code, QStringLiteral("XYZ"));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.first().contains(QStringLiteral("<XYZ>")));

    warnings.clear();
    bool ok = true;
    EXPECT_DOUBLE_EQ(book.ConvertAmount(QStringLiteral("XYZ"), QStringLiteral("EUR"), 50.0, &ok), 50.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_DOUBLE_EQ(book.ConvertAmount(QStringLiteral("EUR"), QStringLiteral("NUL"), 50.0, &ok), 50.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(warnings.size(), 2);
}

TEST_F(CurrencyTest, FallsBackToTheStandardCurrencyWithAMessage)
{
    const CurrencyBook book = Book();
    const CurrencyRecord record = book.LookupOr(QStringLiteral("XYZ"), QStringLiteral("BEF"));
    EXPECT_EQ(record.code, QStringLiteral("BEF"));
    EXPECT_DOUBLE_EQ(record.rate, 40.3399);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings.first(),
              Translate(QStringLiteral("Munt <%s> is onbekend voor systeem en wordt vervangen door standaard munt"))
                  .replace(QLatin1String("%s"), QLatin1String("XYZ")));
}

TEST_F(CurrencyTest, ConvertsThroughTheEuro)
{
    const CurrencyBook book = Book();
    struct Case
    {
        const char* from;
        const char* to;
        double x;
        double expected;
    } cases[] = {
        {"BEF", "BEF", 100.0, 100.0},
        {"EUR", "BEF", 10.0, 403.399},
        {"BEF", "EUR", 403.399, 10.0},
        {"USD", "BEF", 1.25, 40.3399},
        {"BEF", "USD", 40.3399, 1.25},
    };
    for (const Case& c : cases) {
        bool ok = false;
        EXPECT_NEAR(book.ConvertAmount(QString::fromLatin1(c.from), QString::fromLatin1(c.to), c.x, &ok), c.expected,
                    1e-9)
            << c.from << " -> " << c.to;
        EXPECT_TRUE(ok);
    }
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(CurrencyTest, ListsTheKnownCodes)
{
    EXPECT_EQ(Book().KnownCodes(), (QStringList{"EUR", "BEF", "USD", "USD", "NUL"}));
}

} // namespace
