#include "foundation/records.h"

#include "foundation/textutil.h"

#include <QStringList>

namespace {
constexpr QChar kSeparator = QLatin1Char('|');
}

QString FieldOf(const QString& record, int n)
{
    const qsizetype index = n <= 1 ? 0 : qsizetype(n) - 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i < index; ++i) {
        start = record.indexOf(kSeparator, start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = record.indexOf(kSeparator, start);
    return end < 0 ? record.mid(start) : record.mid(start, end - start);
}

int SeparatorCount(const QString& text)
{
    return int(text.count(kSeparator));
}

int IndexInList(const QString& list, const QString& value)
{
    const QStringList fields = UpperAscii(list.trimmed()).split(kSeparator);
    const QString wanted = UpperAscii(value.trimmed());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields.at(i) == wanted)
            return int(i + 1);
    }
    return 0;
}

QString SetFieldOf(const QString& record, int n, const QString& value)
{
    QStringList fields = record.split(kSeparator);
    const qsizetype index = n <= 1 ? 0 : qsizetype(n) - 1;
    while (fields.size() <= index)
        fields.append(QString());
    fields[index] = value;
    // Each field followed by "|" with the very last character dropped is a plain join.
    return fields.join(kSeparator);
}
