#include "documents/linerecord.h"

#include "documents/money.h"

#include "foundation/numbers.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

const QString& NoText()
{
    static const QString empty;
    return empty;
}

// "-0.00" -> "0.00": a value that rounds to zero carries no sign.
QString WithoutNegativeZero(QString text)
{
    if (text.startsWith(QLatin1Char('-'))) {
        bool onlyZeros = true;
        for (qsizetype i = 1; i < text.size() && onlyZeros; ++i)
            onlyZeros = text.at(i) == QLatin1Char('0') || !text.at(i).isDigit();
        if (onlyZeros)
            text.remove(0, 1);
    }
    return text;
}

} // namespace

LineRecord LineRecord::Empty(const QString& description)
{
    LineRecord line;
    line.SetField(LF_DESCRIPTION, description);
    line.SetField(LF_AFKOEF, QLatin1Char('1') + DecimalSeparator() + QLatin1String("00"));
    line.SetField(LF_AFSOORT, QStringLiteral("1"));
    line.SetField(LF_PID, QStringLiteral("0"));
    return line;
}

LineRecord LineRecord::FromText(const QString& text)
{
    LineRecord line;
    qsizetype start = 0;
    for (int n = 1; n <= LineFieldCount && start <= text.size(); ++n) {
        qsizetype end = text.indexOf(QLatin1Char('|'), start);
        if (end < 0)
            end = text.size();
        line.m_fields[size_t(n - 1)] = text.mid(start, end - start);
        start = end + 1;
    }
    return line;
}

QString LineRecord::Text() const
{
    QString text;
    for (const QString& field : m_fields)
        text += field + QLatin1Char('|');
    return text;
}

const QString& LineRecord::Field(int n) const
{
    if (n < 1 || n > LineFieldCount)
        return NoText();
    return m_fields[size_t(n - 1)];
}

void LineRecord::SetField(int n, const QString& text)
{
    if (n < 1 || n > LineFieldCount)
        return;
    m_fields[size_t(n - 1)] = text;
    m_parsed &= quint16(~(1u << (n - 1)));
}

bool LineRecord::ReadField(int n, double* value) const
{
    if (n < 1 || n > LineFieldCount)
        return false;
    const quint16 bit = quint16(1u << (n - 1));
    if (!(m_parsed & bit)) {
        double v = 0.0;
        if (ReadNumber(m_fields[size_t(n - 1)], &v)) {
            m_values[size_t(n - 1)] = v;
            m_numbers |= bit;
        } else {
            m_numbers &= quint16(~bit);
        }
        m_parsed |= bit;
    }
    if (!(m_numbers & bit))
        return false;
    *value = m_values[size_t(n - 1)];
    return true;
}

double LineRecord::Number(int n, double defaultValue) const
{
    double value = defaultValue;
    return ReadField(n, &value) ? value : defaultValue;
}

bool LineRecord::CountsAsEmptyForSaving() const
{
    return IsBlank(LF_QUANTITY) && IsBlank(LF_DESCRIPTION) && IsBlank(LF_NET) && IsBlank(LF_NETEURO);
}

bool LineRecord::IsEmptyLine() const
{
    return *this == Empty();
}

QString FixedText(int width, int decimals, double x)
{
    if (!std::isfinite(x))
        return QString();
    // Rounded first (half away from zero, on the decimal value), so that printing the
    // nearest binary value of the result gives exactly its digits.
    const int places = std::clamp(decimals, 0, 20);
    char buffer[384];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, RoundHalfUp(places, x),
                                       std::chars_format::fixed, places);
    if (written.ec != std::errc())
        return QString();
    QString text = QString::fromLatin1(buffer, written.ptr - buffer);
    const QChar separator = DecimalSeparator();
    if (separator != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), separator);
    return WithoutNegativeZero(std::move(text)).rightJustified(width, QLatin1Char(' '));
}

QString MoneyText(int decimals, double x)
{
    return FixedText(8, decimals, x);
}

QString TwoDecimals(double x)
{
    return FixedText(2, 2, x);
}

QString ShortestText(double x)
{
    if (!std::isfinite(x))
        return QString();
    QString text = QString::number(x + 0.0, 'g', QLocale::FloatingPointShortest);
    if (text.contains(QLatin1Char('e'))) // no exponent in a typed amount
        text = QString::number(x, 'f', 10).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
    return text.replace(QLatin1Char('.'), DecimalSeparator());
}

namespace {

// The plain decimal texts line fields hold ("  12.5000", "-0,125", "21") read without the
// general parser, which costs more than the whole totals computation. Anything else (an
// exponent, a plus sign, a lone separator) is left to FloatOrDefault, so both give the same
// number for every text.
bool ReadPlainDecimal(const QString& text, double* value, bool* plain)
{
    *plain = false;
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).isSpace())
        ++begin;
    while (end > begin && text.at(end - 1).isSpace())
        --end;
    if (end == begin) {
        *plain = true;
        return false;
    }
    char buffer[48];
    if (end - begin >= qsizetype(sizeof buffer))
        return false;
    int length = 0;
    bool separator = false;
    int digitsBefore = 0;
    int digitsAfter = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= u'0' && c <= u'9') {
            (separator ? digitsAfter : digitsBefore)++;
            buffer[length++] = char(c);
        } else if ((c == u'.' || c == u',') && !separator) {
            separator = true;
            buffer[length++] = '.';
        } else if (c == u'-' && i == begin) {
            buffer[length++] = '-';
        } else {
            return false;
        }
    }
    if (digitsBefore == 0 || (separator && digitsAfter == 0))
        return false;
    double v = 0.0;
    const auto result = std::from_chars(buffer, buffer + length, v);
    if (result.ec != std::errc() || result.ptr != buffer + length || !std::isfinite(v))
        return false;
    *plain = true;
    *value = v;
    return true;
}

} // namespace

bool ReadNumber(const QString& text, double* value)
{
    bool plain = false;
    double v = 0.0;
    if (ReadPlainDecimal(text, &v, &plain)) {
        *value = v;
        return true;
    }
    if (plain)
        return false;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    v = FloatOrDefault(text, nan);
    if (std::isnan(v))
        return false;
    *value = v;
    return true;
}
