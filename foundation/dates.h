#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// A date typed loosely: digits in up to three groups split at any non-digit, day first, then
// month, then the year (all later digits). Day and month swap when the month is above 12, so
// "25-12-2000" and "12/25/2000" are both 25 December 2000. A missing year is this year; one or
// two year digits fall within 50 years of this year. An empty text gives now; an impossible
// date gives an invalid QDateTime, which callers report.
QDateTime ParseDateLoose(const QString& text);
// "05/03/2001".
QString DateText(int day, int month, int year);
QString DateTextOf(const QDate& date);
int DayOf(const QDate& date);
int MonthOf(const QDate& date);
int YearOf(const QDate& date);
int DaysInMonth(const QDate& date);
// 1 + whole weeks since the Monday on or before 1 January of the date's year.
int WeekNumber(const QDate& date);
bool IsLeapYear(int year);
// The next / previous month, the day cut to its length; invalid for a month outside 1..12.
QDate NextMonth(int day, int month, int year);
QDate PreviousMonth(int day, int month, int year);
QDate FirstOfMonth(const QDate& date);
