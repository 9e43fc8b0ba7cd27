#include "foundation/numbers.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

int IntOrDefault(const QString& text, int defaultValue)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

double FloatOrDefault(const QString& text, double defaultValue)
{
    QString number = text.trimmed();
    if (number.isEmpty())
        return defaultValue;
    number.replace(QLatin1Char(','), QLatin1Char('.'));
    if (number.count(QLatin1Char('.')) > 1)
        return defaultValue;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(number, &ok);
    return ok && std::isfinite(value) ? value : defaultValue;
}

double FieldFloatOr(const QVariant& value, double defaultValue)
{
    if (value.isNull() || !value.isValid())
        return defaultValue;
    if (value.typeId() == QMetaType::QString)
        return FloatOrDefault(value.toString(), defaultValue);
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && std::isfinite(number) ? number : defaultValue;
}

QChar DecimalSeparator()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

QString FormatFloat(double x, int decimals)
{
    const int places = decimals < 0 ? 0 : decimals;
    QString text = QString::number(RoundHalfAway(places, x), 'f', places);
    text.replace(QLatin1Char('.'), DecimalSeparator());
    return text;
}

double RoundHalfAway(int decimals, double x)
{
    constexpr int kDigits = 15; // what a double holds for certain, and what a user is shown
    if (!std::isfinite(x) || decimals > 400 || decimals < -400)
        return x;
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(x),
                                       std::chars_format::scientific, kDigits - 1);
    if (written.ec != std::errc())
        return x;
    // "d.dddddddddddddde+XX": the digits and the power of ten of the first one.
    const std::string text(buffer, written.ptr);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::stoi(text.substr(e + 1));
    const int kept = exponent + 1 + decimals;
    if (kept >= kDigits)
        return x;
    if (kept < 0)
        return 0.0;
    std::uint64_t n = kept == 0 ? 0 : std::stoull(digits.substr(0, std::size_t(kept)));
    if (digits[std::size_t(kept)] >= '5')
        ++n;
    if (n == 0)
        return 0.0;
    const std::string rounded = std::to_string(n) + "e" + std::to_string(-decimals);
    double result = 0.0;
    std::from_chars(rounded.data(), rounded.data() + rounded.size(), result);
    return x < 0 ? -result : result;
}

double PercentFactor(double x)
{
    return 1.0 + x / 100.0;
}

double PercentFactorOf(const QString& text, double defaultValue)
{
    return PercentFactor(FloatOrDefault(text, defaultValue));
}

double SafeDivide(double a, double b)
{
    return b == 0.0 ? 0.0 : a / b;
}

QSize FitSize(int width, int height, int maxWidth, int maxHeight)
{
    const double w = width < 1 ? 1 : width;
    const double h = height < 1 ? 1 : height;
    const double mw = maxWidth < 1 ? 1 : maxWidth;
    const double mh = maxHeight < 1 ? 1 : maxHeight;
    const double rw = w / mw;
    const double rh = h / mh;
    // nearbyint rounds half to even, as the original's rounding did.
    int newWidth = 0;
    int newHeight = 0;
    if (rw > rh) {
        newWidth = int(mw);
        newHeight = int(std::nearbyint(h / rw));
    } else {
        newHeight = int(mh);
        newWidth = int(std::nearbyint(w / rh));
    }
    return QSize(Max(newWidth, 1), Max(newHeight, 1));
}

int Min(int a, int b)
{
    return a < b ? a : b;
}

int Max(int a, int b)
{
    return a > b ? a : b;
}
