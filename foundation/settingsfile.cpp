#include "foundation/settingsfile.h"

#include "foundation/numbers.h"
#include "foundation/textfile.h"
#include "foundation/textutil.h"


namespace {

// Whole-key match: MUNT must not take the line of MUNTOUD.
bool LineHasKey(const QString& line, const QString& key)
{
    if (!line.startsWith(key, Qt::CaseInsensitive))
        return false;
    return line.size() == key.size() || line.at(key.size()) == QLatin1Char(' ')
        || line.at(key.size()) == QLatin1Char('\t');
}

bool HasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

QString ReadSetting(const QString& file, const QString& key, bool* found)
{
    QString value;
    if (!key.isEmpty()) {
        const QStringList lines = LoadTextLines(file);
        for (const QString& line : lines) {
            if (LineHasKey(line, key)) {
                value = line.mid(key.size()).trimmed();
                break;
            }
        }
    }
    if (found)
        *found = !value.isEmpty();
    return value;
}

int ReadSettingInt(const QString& file, const QString& key, int defaultValue)
{
    return IntOrDefault(ReadSetting(file, key), defaultValue);
}

double ReadSettingFloat(const QString& file, const QString& key, double defaultValue)
{
    return FloatOrDefault(ReadSetting(file, key), defaultValue);
}

bool ReadSettingBool(const QString& file, const QString& key)
{
    return ReadSetting(file, key).toUpper() != QLatin1String("FALSE");
}

bool WriteSetting(const QString& file, const QString& key, const QString& value)
{
    if (key.isEmpty() || HasLineBreak(key))
        return false;
    QStringList lines;
    if (!LoadLinesForRewrite(file, &lines))
        return false;
    const QString entry = key + QLatin1Char(' ') + SingleLine(value);
    bool replaced = false;
    for (QString& line : lines) {
        if (LineHasKey(line, key)) {
            line = entry;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        lines.append(entry);
    return SaveTextLines(file, lines);
}

QString ReadSection(const QString& file, const QString& name)
{
    bool ok = false;
    const QString text = LoadTextFile(file, &ok);
    if (!ok)
        return {};
    return TextBetween(text, QLatin1Char('[') + name + QLatin1Char(']'), QStringLiteral("[END]"));
}
