#include "foundation/pairfile.h"

#include "foundation/numbers.h"
#include "foundation/records.h"
#include "foundation/textfile.h"

QString ReadPair(const QString& file, const QString& key, const QString& separator)
{
    if (key.isEmpty())
        return {};
    const QString prefix = key + separator;
    const QStringList lines = LoadTextLines(file);
    for (const QString& line : lines) {
        if (line.startsWith(prefix, Qt::CaseInsensitive))
            return line.mid(prefix.size()).trimmed();
    }
    return {};
}

bool WritePairs(const QString& file, const QStringList& keys, const QStringList& values)
{
    if (keys.size() != values.size())
        return false;
    for (const QString& key : keys) {
        if (key.isEmpty() || key.contains(QLatin1Char('\n')) || key.contains(QLatin1Char('\r')))
            return false;
    }
    QStringList lines;
    if (!LoadLinesForRewrite(file, &lines))
        return false;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString prefix = keys.at(i) + QLatin1Char('=');
        const QString entry = prefix + SingleLine(values.at(i));
        bool replaced = false;
        for (QString& line : lines) {
            if (line.startsWith(prefix, Qt::CaseInsensitive)) {
                line = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.append(entry);
    }
    return SaveTextLines(file, lines);
}

bool SaveWindowPlacement(int left, int top, int width, int height, const QString& text,
                         const QString& componentName, const QString& file)
{
    const QChar bar = QLatin1Char('|');
    const QString value = QString::number(left) + bar + QString::number(top) + bar
        + QString::number(width) + bar + QString::number(height) + bar + text + bar;
    return WritePairs(file, {componentName}, {value});
}

WindowPlacement LoadWindowPlacement(const QString& componentName, const QString& file)
{
    const QString value = ReadPair(file, componentName, QStringLiteral("="));
    WindowPlacement p;
    p.left = IntOrDefault(FieldOf(value, 1), p.left);
    p.top = IntOrDefault(FieldOf(value, 2), p.top);
    p.width = IntOrDefault(FieldOf(value, 3), p.width);
    p.height = IntOrDefault(FieldOf(value, 4), p.height);
    p.text = FieldOf(value, 5);
    p.found = !value.isEmpty();
    return p;
}
