#pragma once

#include <QChar>
#include <QSize>
#include <QString>
#include <QVariant>

// Numbers read from files or typed by users read the same on every machine: "," and "." are
// both decimal separators. Numbers are shown with the locale's separator.

// The trimmed text as an integer, or the default when empty or not an integer.
int IntOrDefault(const QString& text, int defaultValue);
// The trimmed text as a number ("," or "." as decimal separator), or the default when empty,
// not a number, or not finite.
double FloatOrDefault(const QString& text, double defaultValue);
// A table field's value as a number, or the default when the field is null or empty.
double FieldFloatOr(const QVariant& value, double defaultValue);
// The locale's decimal separator, used when numbers are shown.
QChar DecimalSeparator();
// Fixed notation with DecimalSeparator(), rounded as RoundHalfAway does; no group separators.
QString FormatFloat(double x, int decimals);
// Rounds half away from zero on the decimal value the user sees (the number to 15 significant
// digits), so 1.005 to 2 decimals gives 1.01 although its binary value lies just below.
double RoundHalfAway(int decimals, double x);
// 1 + x / 100.
double PercentFactor(double x);
double PercentFactorOf(const QString& text, double defaultValue);
// a / b, or 0 when b is 0.
double SafeDivide(double a, double b);
// The size scaled to fit the maximum, keeping the aspect ratio; the scaled side is rounded
// half to even and no side drops below 1.
QSize FitSize(int width, int height, int maxWidth, int maxHeight);
int Min(int a, int b);
int Max(int a, int b);
