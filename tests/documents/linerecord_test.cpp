#include "documents/linerecord.h"

#include "foundation/numbers.h"

#include <gtest/gtest.h>

namespace {

// Expected texts are written with "."; the engine writes the locale's separator.
QString Dec(const char* text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('.'), DecimalSeparator());
}

TEST(LineRecord, TheEmptyLine)
{
    EXPECT_EQ(LineRecord::Empty().Text(), Dec("||||||1.00|1|||0||||"));
    EXPECT_EQ(LineRecord::Empty(QStringLiteral("Tekst")).Text(), Dec("|Tekst|||||1.00|1|||0||||"));
    EXPECT_TRUE(LineRecord::Empty().IsEmptyLine());
    EXPECT_FALSE(LineRecord::Empty(QStringLiteral("Tekst")).IsEmptyLine());
}

TEST(LineRecord, CountsAsEmptyWhenTheFirstFourFieldsAreEmpty)
{
    const struct
    {
        const char* text;
        bool empty;
    } cases[] = {
        {"||||||1.00|1|||0||||", true},
        {"||||21.00|||||||||||", true},
        {"|Tekst|||||1.00|1|||0||||", false},
        {"2|||||||||||||", false},
        {"|||   1.00||||||||||", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineRecord::FromText(Dec(c.text)).CountsAsEmptyForSaving(), c.empty) << c.text;
}

TEST(LineRecord, KeepsFieldsApartFromTheirRecordText)
{
    const QString text = Dec("2.00|Pen|    1.50| 1.5000|21.00|0.00|1.00|1|    1.82| 1.8150|7|3| 1.5000|0.25|");
    const LineRecord line = LineRecord::FromText(text);
    EXPECT_EQ(line.Text(), text);
    EXPECT_EQ(line.Field(LF_DESCRIPTION), QStringLiteral("Pen"));
    EXPECT_DOUBLE_EQ(line.Number(LF_NETFULL, 0.0), 1.5);
    EXPECT_DOUBLE_EQ(line.Number(LF_IVK, 0.0), 0.25);
    EXPECT_EQ(line.Field(0), QString());
    EXPECT_EQ(line.Field(15), QString());

    // A description holding the separator stays one field.
    LineRecord withBar = line;
    withBar.SetField(LF_DESCRIPTION, QStringLiteral("A|B"));
    EXPECT_EQ(withBar.Field(LF_NET), line.Field(LF_NET));
    EXPECT_DOUBLE_EQ(withBar.Number(LF_QUANTITY, 0.0), 2.0);
}

TEST(LineRecord, ReadsNumbersWithDefaults)
{
    LineRecord line;
    line.SetField(LF_QUANTITY, QStringLiteral("2,5"));
    line.SetField(LF_VAT, QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(line.Number(LF_QUANTITY, 1.0), 2.5);
    EXPECT_DOUBLE_EQ(line.Number(LF_VAT, 21.0), 21.0);
    EXPECT_DOUBLE_EQ(line.Number(LF_DISCOUNT, 7.0), 7.0);
}

TEST(LineRecord, FormatsNumberTexts)
{
    EXPECT_EQ(MoneyText(4, 10.0), Dec(" 10.0000"));
    EXPECT_EQ(MoneyText(2, 1234567.891), Dec("1234567.89"));
    EXPECT_EQ(MoneyText(2, -0.001), Dec("    0.00"));
    EXPECT_EQ(TwoDecimals(21.0), Dec("21.00"));
    EXPECT_EQ(TwoDecimals(1.005), Dec("1.01"));
    EXPECT_EQ(FixedText(6, 0, 1815.2955), QStringLiteral("  1815"));
    EXPECT_EQ(FixedText(8, 2, std::numeric_limits<double>::infinity()), QString());
    EXPECT_EQ(ShortestText(2.5), Dec("2.5"));
    EXPECT_EQ(ShortestText(3.0), QStringLiteral("3"));
    EXPECT_EQ(ShortestText(-0.125), Dec("-0.125"));
    EXPECT_EQ(ShortestText(1e-7), Dec("0.0000001"));
}

TEST(LineRecord, ReadNumberTellsNumbersFromText)
{
    double v = -1.0;
    EXPECT_TRUE(ReadNumber(QStringLiteral(" 6,5 "), &v));
    EXPECT_DOUBLE_EQ(v, 6.5);
    EXPECT_FALSE(ReadNumber(QStringLiteral("abc"), &v));
    EXPECT_FALSE(ReadNumber(QString(), &v));
    EXPECT_DOUBLE_EQ(v, 6.5);
}

TEST(LineRecord, ReadNumberAgreesWithTheSettingsReader)
{
    const char* texts[] = {"  12.5000", "-0,125", "21", "0.07", "1.1", "007", "-0", "1e3", "+5", ".5", "5.",
                           "1.2.3", "1,2,3", "- 5", "12a", "", "   ", "99999999999999999999.5", "0,000001"};
    for (const char* text : texts) {
        const QString t = QString::fromLatin1(text);
        const double expected = FloatOrDefault(t, -777.0);
        double value = -777.0;
        const bool number = ReadNumber(t, &value);
        EXPECT_EQ(number, expected != -777.0) << text;
        EXPECT_EQ(value, expected) << text;
    }
}

} // namespace
