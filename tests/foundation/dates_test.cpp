#include "foundation/dates.h"

#include <gtest/gtest.h>

#include <QLocale>

TEST(Dates, ParseDateLooseWhateverTheLocale)
{
    struct Case {
        const char* text;
        QDate date; // invalid: the text is no date
    };
    const int thisYear = QDate::currentDate().year();
    const Case cases[] = {
        {"25-12-2000", QDate(2000, 12, 25)},
        {"12/25/2000", QDate(2000, 12, 25)},
        {" 25.12.2000 ", QDate(2000, 12, 25)},
        {"5 3 2001", QDate(2001, 3, 5)},
        {"05032001x", QDate()}, // one group: no month
        {"25-12", QDate(thisYear, 12, 25)},
        {"29-02-2000", QDate(2000, 2, 29)},
        {"29-02-2001", QDate()},
        {"31-04-2001", QDate()},
        {"0-1-2000", QDate()},
        {"13-13-2000", QDate()},
        {"1-2-0", QDate(2000, 2, 1)},
        {"1-2-99999", QDate()},
        {"1-2-99999999999999999999", QDate()},
        {"99999999999-2-2000", QDate()},
        {"abc", QDate()},
        {"25-12-2000 10:30", QDate()}, // every later digit belongs to the year
        {"--25--12--2000--", QDate(2000, 12, 25)},
    };
    for (const char* name : {"nl_NL", "en_US", "de_DE"}) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        for (const Case& c : cases) {
            const QDateTime parsed = ParseDateLoose(QString::fromLatin1(c.text));
            EXPECT_EQ(parsed.isValid(), c.date.isValid()) << name << " " << c.text;
            if (c.date.isValid()) {
                EXPECT_EQ(parsed.date(), c.date) << name << " " << c.text;
                EXPECT_EQ(parsed.time(), QTime(0, 0));
            }
        }
    }
    QLocale::setDefault(QLocale::system());
}

TEST(Dates, TwoDigitYearsFallWithinFiftyYears)
{
    const int thisYear = QDate::currentDate().year();
    for (int yy : {0, 3, 49, 50, 75, 99}) {
        const QDateTime parsed = ParseDateLoose(QStringLiteral("1-2-%1").arg(yy, 2, 10, QLatin1Char('0')));
        ASSERT_TRUE(parsed.isValid()) << yy;
        const int year = parsed.date().year();
        EXPECT_EQ(year % 100, yy);
        EXPECT_GE(year, thisYear - 50);
        EXPECT_LT(year, thisYear + 50);
    }
}

TEST(Dates, EmptyTextIsNow)
{
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime parsed = ParseDateLoose(QStringLiteral("  "));
    EXPECT_GE(parsed, before);
    EXPECT_LE(parsed, QDateTime::currentDateTime());
}

TEST(Dates, TextAndParts)
{
    EXPECT_EQ(DateText(5, 3, 2001), QStringLiteral("05/03/2001"));
    EXPECT_EQ(DateText(31, 12, 999), QStringLiteral("31/12/0999"));
    const QDate d(2001, 3, 5);
    EXPECT_EQ(DateTextOf(d), QStringLiteral("05/03/2001"));
    EXPECT_EQ(DayOf(d), 5);
    EXPECT_EQ(MonthOf(d), 3);
    EXPECT_EQ(YearOf(d), 2001);
    EXPECT_EQ(FirstOfMonth(QDate(2001, 3, 25)), QDate(2001, 3, 1));
    EXPECT_FALSE(FirstOfMonth(QDate()).isValid());
}

TEST(Dates, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2001));
    EXPECT_EQ(DaysInMonth(QDate(2000, 2, 10)), 29);
    EXPECT_EQ(DaysInMonth(QDate(1900, 2, 10)), 28);
    EXPECT_EQ(DaysInMonth(QDate(2001, 4, 1)), 30);
    EXPECT_EQ(DaysInMonth(QDate(2001, 12, 1)), 31);
}

TEST(Dates, WeekNumber)
{
    for (int year = 1995; year <= 2030; ++year)
        EXPECT_EQ(WeekNumber(QDate(year, 1, 1)), 1) << year;
    EXPECT_EQ(WeekNumber(QDate(2001, 1, 7)), 1);  // 1 January 2001 was a Monday
    EXPECT_EQ(WeekNumber(QDate(2001, 1, 8)), 2);
    EXPECT_EQ(WeekNumber(QDate(2000, 1, 2)), 1);  // a Sunday: the week began 27 December 1999
    EXPECT_EQ(WeekNumber(QDate(2000, 1, 3)), 2);
    EXPECT_EQ(WeekNumber(QDate(2000, 12, 31)), 53);
}

TEST(Dates, NextAndPreviousMonth)
{
    EXPECT_EQ(NextMonth(31, 1, 2001), QDate(2001, 2, 28));
    EXPECT_EQ(NextMonth(15, 12, 2000), QDate(2001, 1, 15));
    EXPECT_EQ(NextMonth(31, 1, 2000), QDate(2000, 2, 29));
    EXPECT_EQ(NextMonth(31, 3, 2001), QDate(2001, 4, 30));
    EXPECT_EQ(PreviousMonth(31, 3, 2000), QDate(2000, 2, 29));
    EXPECT_EQ(PreviousMonth(10, 1, 2001), QDate(2000, 12, 10));
    EXPECT_EQ(PreviousMonth(31, 5, 2001), QDate(2001, 4, 30));
    EXPECT_FALSE(NextMonth(1, 13, 2001).isValid());
    EXPECT_FALSE(PreviousMonth(1, 0, 2001).isValid());
}
