#include "foundation/dates.h"

namespace {

// A group of digits as a number; -1 when it is too long to be a date part.
int GroupValue(const QString& digits)
{
    if (digits.size() > 9)
        return -1;
    return digits.toInt();
}

// One or two year digits fall within 50 years of this year, as the original date entry did.
int FullYear(int year, qsizetype digitCount)
{
    if (digitCount > 2)
        return year;
    const int base = QDate::currentDate().year() - 50;
    int full = year + base / 100 * 100;
    if (full < base)
        full += 100;
    return full;
}

} // namespace

QDateTime ParseDateLoose(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return QDateTime::currentDateTime();
    QString groups[3];
    int group = 0;
    bool inDigits = false;
    for (const QChar ch : trimmed) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            groups[group < 2 ? group : 2].append(ch);
            inDigits = true;
        } else if (inDigits) {
            ++group;
            inDigits = false;
        }
    }
    if (groups[0].isEmpty() || groups[1].isEmpty())
        return {};
    int day = GroupValue(groups[0]);
    int month = GroupValue(groups[1]);
    int year = groups[2].isEmpty() ? QDate::currentDate().year() : GroupValue(groups[2]);
    if (day < 0 || month < 0 || year < 0)
        return {};
    if (!groups[2].isEmpty())
        year = FullYear(year, groups[2].size());
    if (month > 12)
        std::swap(day, month);
    if (year < 1 || year > 9999)
        return {};
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    return QDateTime(date, QTime(0, 0));
}

QString DateText(int day, int month, int year)
{
    return QStringLiteral("%1/%2/%3")
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(year, 4, 10, QLatin1Char('0'));
}

QString DateTextOf(const QDate& date)
{
    return DateText(date.day(), date.month(), date.year());
}

int DayOf(const QDate& date)
{
    return date.day();
}

int MonthOf(const QDate& date)
{
    return date.month();
}

int YearOf(const QDate& date)
{
    return date.year();
}

int DaysInMonth(const QDate& date)
{
    return date.daysInMonth();
}

int WeekNumber(const QDate& date)
{
    if (!date.isValid())
        return 0;
    const QDate newYear(date.year(), 1, 1);
    const QDate monday = newYear.addDays(1 - newYear.dayOfWeek());
    return 1 + int(monday.daysTo(date) / 7);
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

namespace {

QDate DayInMonth(int day, int month, int year)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        return {};
    return QDate(year, month, qBound(1, day, first.daysInMonth()));
}

} // namespace

QDate NextMonth(int day, int month, int year)
{
    if (month < 1 || month > 12)
        return {};
    return month == 12 ? DayInMonth(day, 1, year + 1) : DayInMonth(day, month + 1, year);
}

QDate PreviousMonth(int day, int month, int year)
{
    if (month < 1 || month > 12)
        return {};
    return month == 1 ? DayInMonth(day, 12, year - 1) : DayInMonth(day, month - 1, year);
}

QDate FirstOfMonth(const QDate& date)
{
    return date.isValid() ? QDate(date.year(), date.month(), 1) : QDate();
}
