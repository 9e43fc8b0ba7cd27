#include "documents/linerecord.h"

#include "foundation/numbers.h"

#include <QLocale>
#include <QRegularExpression>

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
    if (n >= 1 && n <= LineFieldCount)
        m_fields[size_t(n - 1)] = text;
}

double LineRecord::Number(int n, double defaultValue) const
{
    const QString& text = Field(n);
    return text.isEmpty() ? defaultValue : FloatOrDefault(text, defaultValue);
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
    return WithoutNegativeZero(FormatFloat(x + 0.0, decimals)).rightJustified(width, QLatin1Char(' '));
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

bool ReadNumber(const QString& text, double* value)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double v = FloatOrDefault(text, nan);
    if (std::isnan(v))
        return false;
    *value = v;
    return true;
}
