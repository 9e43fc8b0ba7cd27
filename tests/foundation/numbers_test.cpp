#include "foundation/numbers.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

// Runs a test body under a given default locale.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(m_old); }

private:
    QLocale m_old;
};

} // namespace

TEST(Numbers, IntOrDefault)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"12", 12}, {" -7 ", -7}, {"+3", 3}, {"", 99}, {"12a", 99}, {"1.5", 99}, {"99999999999", 99}};
    for (const Case& c : cases)
        EXPECT_EQ(IntOrDefault(QString::fromLatin1(c.text), 99), c.value) << c.text;
}

TEST(Numbers, FloatOrDefaultReadsCommaAndPointInEveryLocale)
{
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"2,5", 2.5}, {"2.5", 2.5},  {" -0,25 ", -0.25}, {"3", 3.0},    {"", -1.0},     {"1.234,5", -1.0},
        {"1,2,3", -1.0}, {"abc", -1.0}, {"nan", -1.0},   {"inf", -1.0}, {"1e400", -1.0}, {",5", 0.5},
    };
    for (const char* name : {"nl_NL", "en_US", "de_DE", "C"}) {
        LocaleScope scope{QLocale(QString::fromLatin1(name))};
        for (const Case& c : cases)
            EXPECT_DOUBLE_EQ(FloatOrDefault(QString::fromLatin1(c.text), -1.0), c.value) << name << " " << c.text;
    }
}

TEST(Numbers, FieldFloatOr)
{
    EXPECT_DOUBLE_EQ(FieldFloatOr(QVariant(), 5), 5);
    EXPECT_DOUBLE_EQ(FieldFloatOr(QVariant(QMetaType::fromType<double>()), 5), 5);
    EXPECT_DOUBLE_EQ(FieldFloatOr(QString(), 5), 5);
    EXPECT_DOUBLE_EQ(FieldFloatOr(QStringLiteral("2,5"), 5), 2.5);
    EXPECT_DOUBLE_EQ(FieldFloatOr(3.25, 5), 3.25);
    EXPECT_DOUBLE_EQ(FieldFloatOr(7, 5), 7);
}

TEST(Numbers, FormatFloatUsesTheLocaleSeparator)
{
    {
        LocaleScope scope{QLocale(QLocale::Dutch, QLocale::Netherlands)};
        EXPECT_EQ(DecimalSeparator(), QLatin1Char(','));
        EXPECT_EQ(FormatFloat(1234.5, 2), QStringLiteral("1234,50"));
        EXPECT_EQ(FormatFloat(1.005, 2), QStringLiteral("1,01"));
        EXPECT_EQ(FormatFloat(-0.001, 2), QStringLiteral("0,00"));
    }
    LocaleScope scope{QLocale(QLocale::English, QLocale::UnitedStates)};
    EXPECT_EQ(DecimalSeparator(), QLatin1Char('.'));
    EXPECT_EQ(FormatFloat(2.5, 0), QStringLiteral("3"));
    EXPECT_EQ(FormatFloat(-2.675, 2), QStringLiteral("-2.68"));
}

TEST(Numbers, RoundHalfAwayOnTheDecimalValue)
{
    struct Case {
        int decimals;
        double x;
        double rounded;
    };
    const Case cases[] = {
        {2, 1.005, 1.01},   {2, -1.005, -1.01}, {2, 2.675, 2.68},    {2, 1.004999, 1.0},
        {0, 2.5, 3.0},      {0, -2.5, -3.0},    {0, 0.5, 1.0},       {0, 0.49, 0.0},
        {2, 9.995, 10.0},   {2, 0.005, 0.01},   {2, 0.0049, 0.0},    {2, 1e-20, 0.0},
        {1, 0.1 + 0.2, 0.3}, {2, 1.15 * 3, 3.45}, {3, 1234.5675, 1234.568}, {-2, 1250.0, 1300.0},
        {2, 123456789.125, 123456789.13}, {2, 0.0, 0.0}, {4, 2.0, 2.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(RoundHalfAway(c.decimals, c.x), c.rounded) << c.decimals << " " << c.x;
    EXPECT_DOUBLE_EQ(RoundHalfAway(2, 1e300), 1e300);
    EXPECT_TRUE(std::isnan(RoundHalfAway(2, std::numeric_limits<double>::quiet_NaN())));
    EXPECT_FALSE(std::signbit(RoundHalfAway(2, -0.001)));
}

TEST(Numbers, PercentAndDivide)
{
    EXPECT_DOUBLE_EQ(PercentFactor(21), 1.21);
    EXPECT_DOUBLE_EQ(PercentFactorOf(QStringLiteral("6,5"), 0), 1.065);
    EXPECT_DOUBLE_EQ(PercentFactorOf(QStringLiteral("x"), 21), 1.21);
    EXPECT_DOUBLE_EQ(SafeDivide(1, 4), 0.25);
    EXPECT_DOUBLE_EQ(SafeDivide(1, 0), 0.0);
    EXPECT_EQ(Min(3, -2), -2);
    EXPECT_EQ(Max(3, -2), 3);
}

TEST(Numbers, FitSize)
{
    struct Case {
        int w, h, maxW, maxH;
        QSize result;
    };
    const Case cases[] = {
        {800, 600, 373, 241, QSize(321, 241)},  // height bound
        {1000, 100, 373, 241, QSize(373, 37)},  // width bound
        {100, 50, 400, 400, QSize(400, 200)},   // small pictures grow to fit
        {3, 1, 2, 2, QSize(2, 1)},              // 0.666.. rounds to 1
        {5, 1, 2, 2, QSize(2, 1)},              // 0.4 would round to 0: kept at 1
        {4, 1, 10, 10, QSize(10, 2)},           // 2.5 rounds half to even
        {4, 3, 10, 10, QSize(10, 8)},           // 7.5 rounds half to even
        {0, 0, 0, 0, QSize(1, 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitSize(c.w, c.h, c.maxW, c.maxH), c.result) << c.w << "x" << c.h << " in " << c.maxW << "x" << c.maxH;
}
