#include "data/field.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

#include "data/dataset.h"
#include "foundation/dates.h"
#include "foundation/numbers.h"

TDeclaredType ParseDeclaredType(const QString& declaredType)
{
    TDeclaredType result;
    const QString type = declaredType.trimmed().toUpper();
    static const QRegularExpression sizePattern(QStringLiteral("\\(\\s*(\\d+)"));
    const QRegularExpressionMatch match = sizePattern.match(type);
    if (match.hasMatch())
        result.size = match.captured(1).toInt();
    const QString word = type.section(QLatin1Char('('), 0, 0).trimmed();
    struct Name { const char* name; int code; };
    static const Name names[] = {
        {"CHAR", ftText}, {"VARCHAR", ftText}, {"TEXT", ftText}, {"SMALLINT", ftSmallint},
        {"INTEGER", ftInteger}, {"INT", ftInteger}, {"BOOLEAN", ftBoolean}, {"BOOL", ftBoolean},
        {"FLOAT", ftFloat}, {"REAL", ftFloat}, {"DOUBLE", ftFloat}, {"MONEY", ftMoney},
        {"DATE", ftDate}, {"TIME", ftTime}, {"AUTOINC", ftAutoInc}, {"BLOB", ftBlob},
        {"MEMO", ftMemo}, {"GRAPHIC", ftGraphic},
    };
    for (const Name& n : names)
        if (word == QLatin1String(n.name)) {
            result.dataType = n.code;
            return result;
        }
    // Names of other origins, by SQLite's own affinity rules.
    if (word.contains(QLatin1String("MEMO")))
        result.dataType = ftMemo;
    else if (word.contains(QLatin1String("GRAPHIC")))
        result.dataType = ftGraphic;
    else if (word.contains(QLatin1String("INT")))
        result.dataType = ftInteger;
    else if (word.contains(QLatin1String("CHAR")) || word.contains(QLatin1String("CLOB"))
             || word.contains(QLatin1String("TEXT")))
        result.dataType = ftText;
    else if (word.contains(QLatin1String("BLOB")) || word.isEmpty())
        result.dataType = ftBlob;
    else if (word.contains(QLatin1String("REAL")) || word.contains(QLatin1String("FLOA"))
             || word.contains(QLatin1String("DOUB")) || word.contains(QLatin1String("NUMERIC"))
             || word.contains(QLatin1String("DECIMAL")))
        result.dataType = ftFloat;
    else if (word.contains(QLatin1String("DATE")))
        result.dataType = ftDate;
    else if (word.contains(QLatin1String("TIME")))
        result.dataType = ftTime;
    else
        result.dataType = ftText;
    return result;
}

bool IsTextType(int dataType)
{
    return dataType == ftText || dataType == ftMemo;
}

bool IsIntegerType(int dataType)
{
    return dataType == ftSmallint || dataType == ftInteger || dataType == ftAutoInc;
}

bool IsFloatType(int dataType)
{
    return dataType == ftFloat || dataType == ftMoney;
}

TField::TField(TDataSet* dataSet, const QString& name, int dataType, int size, TFieldKind kind)
    : m_dataSet(dataSet), m_name(name), m_dataType(dataType), m_size(size), m_kind(kind)
{
}

namespace {

bool ParseBoolText(const QString& text, const QString& displayValues, bool* value)
{
    const QString t = text.trimmed();
    if (!displayValues.isEmpty()) {
        const QStringList parts = displayValues.split(QLatin1Char(';'));
        if (!parts.value(0).isEmpty() && t.compare(parts.value(0), Qt::CaseInsensitive) == 0) {
            *value = true;
            return true;
        }
        if (!parts.value(1).isEmpty() && t.compare(parts.value(1), Qt::CaseInsensitive) == 0) {
            *value = false;
            return true;
        }
    }
    static const char* yes[] = {"TRUE", "T", "1", "JA", "J", "YES", "Y", "OUI", "O"};
    static const char* no[] = {"FALSE", "F", "0", "NEE", "N", "NO", "NON", "NEIN"};
    for (const char* y : yes)
        if (t.compare(QLatin1String(y), Qt::CaseInsensitive) == 0) {
            *value = true;
            return true;
        }
    for (const char* n : no)
        if (t.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) {
            *value = false;
            return true;
        }
    return false;
}

bool ParseTimeText(const QString& text, QTime* time)
{
    const QString t = text.trimmed();
    for (const char* format : {"HH:mm:ss", "H:mm:ss", "HH:mm", "H:mm", "HH:mm:ss.zzz"}) {
        const QTime parsed = QTime::fromString(t, QLatin1String(format));
        if (parsed.isValid()) {
            *time = parsed;
            return true;
        }
    }
    return false;
}

bool ParseDateText(const QString& text, QDate* date)
{
    const QString t = text.trimmed();
    // The stored form first, so values read back convert without guessing.
    QDate parsed = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!parsed.isValid()) {
        const QDateTime loose = ParseDateLoose(t);
        if (loose.isValid())
            parsed = loose.date();
    }
    if (!parsed.isValid())
        return false;
    *date = parsed;
    return true;
}

QString FloatText(double value)
{
    QString text = QString::number(value, 'g', 15);
    if (DecimalSeparator() != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), DecimalSeparator());
    return text;
}

} // namespace

bool TField::ToStored(const QVariant& value, QVariant* stored) const
{
    if (!value.isValid() || value.isNull()
        || (value.metaType().id() == QMetaType::QString && value.toString().isEmpty())) {
        // An empty text is no value, for every type (a cleared edit box empties the column).
        *stored = QVariant();
        return true;
    }
    const int type = value.metaType().id();
    const bool isText = type == QMetaType::QString;
    switch (m_dataType) {
    case ftText:
    case ftMemo: {
        QString text;
        if (type == QMetaType::QDate)
            text = value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        else if (type == QMetaType::Double)
            text = FloatText(value.toDouble());
        else
            text = value.toString();
        if (m_dataType == ftText && m_size > 0 && text.size() > m_size)
            text.truncate(m_size);
        *stored = text;
        return true;
    }
    case ftSmallint:
    case ftInteger:
    case ftAutoInc: {
        if (isText) {
            bool ok = false;
            const qint64 n = value.toString().trimmed().toLongLong(&ok);
            if (ok) {
                *stored = n;
                return true;
            }
            const double x = FloatOrDefault(value.toString(), std::numeric_limits<double>::quiet_NaN());
            if (std::isnan(x))
                return false;
            *stored = qint64(std::llround(x));
            return true;
        }
        if (type == QMetaType::Double || type == QMetaType::Float) {
            *stored = qint64(std::llround(value.toDouble()));
            return true;
        }
        bool ok = false;
        const qint64 n = value.toLongLong(&ok);
        if (!ok && type != QMetaType::Bool)
            return false;
        *stored = type == QMetaType::Bool ? qint64(value.toBool() ? 1 : 0) : n;
        return true;
    }
    case ftBoolean: {
        bool flag = false;
        if (isText) {
            if (!ParseBoolText(value.toString(), m_displayValues, &flag))
                return false;
        } else {
            flag = value.toBool();
        }
        *stored = qint64(flag ? 1 : 0);
        return true;
    }
    case ftFloat:
    case ftMoney: {
        double x;
        if (isText)
            x = FloatOrDefault(value.toString(), std::numeric_limits<double>::quiet_NaN());
        else {
            bool ok = false;
            x = value.toDouble(&ok);
            if (!ok)
                x = std::numeric_limits<double>::quiet_NaN();
        }
        if (!std::isfinite(x))
            return false;
        *stored = x;
        return true;
    }
    case ftDate: {
        QDate date;
        if (type == QMetaType::QDate)
            date = value.toDate();
        else if (type == QMetaType::QDateTime)
            date = value.toDateTime().date();
        else if (!ParseDateText(value.toString(), &date))
            return false;
        if (!date.isValid())
            return false;
        *stored = date.toString(QStringLiteral("yyyy-MM-dd"));
        return true;
    }
    case ftTime: {
        QTime time;
        if (type == QMetaType::QTime)
            time = value.toTime();
        else if (type == QMetaType::QDateTime)
            time = value.toDateTime().time();
        else if (!ParseTimeText(value.toString(), &time))
            return false;
        if (!time.isValid())
            return false;
        *stored = time.toString(QStringLiteral("HH:mm:ss"));
        return true;
    }
    case ftBlob:
    case ftGraphic:
        *stored = type == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
        return true;
    default:
        *stored = value;
        return true;
    }
}

QVariant TField::TypedOf(const QVariant& stored) const
{
    if (!stored.isValid() || stored.isNull())
        return {};
    switch (m_dataType) {
    case ftText:
    case ftMemo:
        return stored.toString();
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
        return stored.toLongLong();
    case ftBoolean:
        return stored.metaType().id() == QMetaType::QString
            ? QVariant(stored.toString().compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0
                       || stored.toString() == QLatin1String("1"))
            : QVariant(stored.toLongLong() != 0);
    case ftFloat:
    case ftMoney:
        return stored.toDouble();
    case ftDate: {
        const QDate date = QDate::fromString(stored.toString().left(10), QStringLiteral("yyyy-MM-dd"));
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case ftTime: {
        QTime time;
        return ParseTimeText(stored.toString(), &time) ? QVariant(time) : QVariant();
    }
    case ftBlob:
    case ftGraphic:
        return stored.toByteArray();
    default:
        return stored;
    }
}

QString TField::TextOf(const QVariant& stored) const
{
    // Most columns are text: no conversion needed.
    if (IsTextType(m_dataType) || stored.metaType().id() == QMetaType::QString) {
        if (IsTextType(m_dataType))
            return stored.toString();
    }
    if (IsIntegerType(m_dataType) && stored.metaType().id() == QMetaType::LongLong)
        return QString::number(stored.toLongLong());
    const QVariant typed = TypedOf(stored);
    if (!typed.isValid())
        return {};
    switch (m_dataType) {
    case ftBoolean: {
        const bool flag = typed.toBool();
        if (!m_displayValues.isEmpty())
            return m_displayValues.section(QLatin1Char(';'), flag ? 0 : 1, flag ? 0 : 1);
        return flag ? QStringLiteral("True") : QStringLiteral("False");
    }
    case ftFloat:
    case ftMoney:
        return FloatText(typed.toDouble());
    case ftDate:
        return DateTextOf(typed.toDate());
    case ftTime:
        return typed.toTime().toString(QStringLiteral("HH:mm:ss"));
    case ftBlob:
    case ftGraphic:
        return QString::fromUtf8(typed.toByteArray());
    default:
        return typed.toString();
    }
}

QString TField::DisplayTextOf(const QVariant& stored) const
{
    if (m_displayFormat.isEmpty() || IsTextType(m_dataType))
        return TextOf(stored);
    const QVariant typed = TypedOf(stored);
    if (!typed.isValid())
        return {};
    if (IsFloatType(m_dataType) || IsIntegerType(m_dataType))
        return FormatNumber(m_displayFormat, typed.toDouble());
    if (m_dataType == ftDate)
        return FormatDateTimePattern(m_displayFormat, QDateTime(typed.toDate(), QTime(0, 0)));
    if (m_dataType == ftTime)
        return FormatDateTimePattern(m_displayFormat, QDateTime(QDate(1899, 12, 30), typed.toTime()));
    return TextOf(stored);
}

bool TField::IsNull() const
{
    const QVariant v = m_dataSet ? m_dataSet->FieldValue(m_index) : QVariant();
    return !v.isValid() || v.isNull();
}

QVariant TField::AsVariant() const
{
    return m_dataSet ? TypedOf(m_dataSet->FieldValue(m_index)) : QVariant();
}

QString TField::AsString() const
{
    return m_dataSet ? TextOf(m_dataSet->FieldValue(m_index)) : QString();
}

QString TField::DisplayText() const
{
    return m_dataSet ? DisplayTextOf(m_dataSet->FieldValue(m_index)) : QString();
}

qint64 TField::AsLargeInt() const
{
    const QVariant v = AsVariant();
    if (v.metaType().id() == QMetaType::QString) {
        const double x = FloatOrDefault(v.toString(), 0);
        return qint64(std::llround(x));
    }
    if (v.metaType().id() == QMetaType::Double)
        return qint64(std::llround(v.toDouble()));
    return v.toLongLong();
}

int TField::AsInteger() const
{
    return int(AsLargeInt());
}

double TField::AsFloat() const
{
    const QVariant v = AsVariant();
    if (v.metaType().id() == QMetaType::QString)
        return FloatOrDefault(v.toString(), 0);
    return v.toDouble();
}

bool TField::AsBoolean() const
{
    const QVariant v = AsVariant();
    if (v.metaType().id() == QMetaType::QString) {
        bool flag = false;
        return ParseBoolText(v.toString(), m_displayValues, &flag) && flag;
    }
    return v.toBool();
}

QDate TField::AsDate() const
{
    const QVariant v = AsVariant();
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    QDate date;
    return ParseDateText(v.toString(), &date) ? date : QDate();
}

QTime TField::AsTime() const
{
    const QVariant v = AsVariant();
    if (v.metaType().id() == QMetaType::QTime)
        return v.toTime();
    QTime time;
    return ParseTimeText(v.toString(), &time) ? time : QTime();
}

QByteArray TField::AsBytes() const
{
    const QVariant v = AsVariant();
    return v.metaType().id() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
}

bool TField::SetValue(const QVariant& value)
{
    return m_dataSet && m_dataSet->SetFieldValue(m_index, value);
}

// Delphi-style number patterns: sections "positive;negative;zero", '0' a digit always shown,
// '#' a digit when significant, '.' the decimal point, ',' thousands grouping, quoted text kept.
QString FormatNumber(const QString& pattern, double value)
{
    QStringList sections;
    {
        QString current;
        QChar quote;
        for (QChar c : pattern) {
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                current += c;
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
                current += c;
            } else if (c == QLatin1Char(';')) {
                sections << current;
                current.clear();
            } else {
                current += c;
            }
        }
        sections << current;
    }
    QString section = sections.value(0);
    bool showMinus = value < 0;
    if (value < 0 && sections.size() > 1 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        showMinus = false;
    } else if (value == 0 && sections.size() > 2 && !sections.at(2).isEmpty()) {
        section = sections.at(2);
    }

    QString prefix, suffix;
    int intZeros = 0, decZeros = 0, decHashes = 0;
    bool grouping = false, seenPoint = false, seenDigit = false;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (seenDigit ? suffix : prefix) += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!suffix.isEmpty()) {
                suffix.clear();  // text between digits is not kept
            }
            seenDigit = true;
            if (seenPoint)
                (c == QLatin1Char('0') ? decZeros : decHashes)++;
            else if (c == QLatin1Char('0'))
                ++intZeros;
        } else if (c == QLatin1Char('.')) {
            seenPoint = true;
            seenDigit = true;
        } else if (c == QLatin1Char(',')) {
            if (!seenPoint)
                grouping = true;
            seenDigit = true;
        } else {
            (seenDigit ? suffix : prefix) += c;
        }
    }
    if (!seenDigit)
        return prefix + suffix;

    const int maxDecimals = decZeros + decHashes;
    const double rounded = RoundHalfAway(maxDecimals, std::fabs(value));
    QString digits = QString::number(rounded, 'f', maxDecimals);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString decPart = maxDecimals > 0 ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    while (decPart.size() > decZeros && decPart.endsWith(QLatin1Char('0')))
        decPart.chop(1);
    if (intPart == QLatin1String("0") && intZeros == 0)
        intPart.clear();
    while (intPart.size() < intZeros)
        intPart.prepend(QLatin1Char('0'));
    const QChar decimal = DecimalSeparator();
    if (grouping && intPart.size() > 3) {
        const QChar group = decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, group);
    }
    QString number = intPart;
    if (!decPart.isEmpty())
        number += decimal + decPart;
    if (showMinus && rounded != 0)
        number.prepend(QLatin1Char('-'));
    return prefix + number + suffix;
}

// Delphi-style date and time patterns: d dd ddd dddd, m mm mmm mmmm (minutes after h),
// yy yyyy, h hh, n nn, s ss, quoted text kept.
QString FormatDateTimePattern(const QString& pattern, const QDateTime& value)
{
    const QDate date = value.date();
    const QTime time = value.time();
    const QLocale locale;
    QString out;
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int end = pattern.indexOf(c, i + 1);
            out += pattern.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? int(pattern.size()) : end + 1;
            continue;
        }
        int run = 1;
        while (i + run < pattern.size() && pattern.at(i + run).toLower() == c.toLower())
            ++run;
        const QChar k = c.toLower();
        auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
        if (k == QLatin1Char('d')) {
            if (run == 1) out += QString::number(date.day());
            else if (run == 2) out += two(date.day());
            else if (run == 3) out += locale.dayName(date.dayOfWeek(), QLocale::ShortFormat);
            else out += locale.dayName(date.dayOfWeek());
            afterHour = false;
        } else if (k == QLatin1Char('m')) {
            if (afterHour && run <= 2) {
                out += run == 1 ? QString::number(time.minute()) : two(time.minute());
            } else if (run == 1) out += QString::number(date.month());
            else if (run == 2) out += two(date.month());
            else if (run == 3) out += locale.monthName(date.month(), QLocale::ShortFormat);
            else out += locale.monthName(date.month());
            afterHour = false;
        } else if (k == QLatin1Char('y')) {
            out += run <= 2 ? two(date.year() % 100) : QString::number(date.year());
            afterHour = false;
        } else if (k == QLatin1Char('h')) {
            out += run == 1 ? QString::number(time.hour()) : two(time.hour());
            afterHour = true;
        } else if (k == QLatin1Char('n')) {
            out += run == 1 ? QString::number(time.minute()) : two(time.minute());
            afterHour = false;
        } else if (k == QLatin1Char('s')) {
            out += run == 1 ? QString::number(time.second()) : two(time.second());
            afterHour = false;
        } else {
            out += pattern.mid(i, run);
        }
        i += run;
    }
    return out;
}
