// Feeds arbitrary bytes to the settings, pair, section and record parsers as file content and
// as keys, and checks the round trips that must always hold.
#include "foundation/currency.h"
#include "foundation/dates.h"
#include "foundation/files.h"
#include "foundation/numbers.h"
#include "foundation/pairfile.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"
#include "foundation/textutil.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

const QString& Folder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + QLatin1Char('/');
    return path;
}

void WriteRaw(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // First byte: key length; then the key; the rest is the file.
    const std::size_t keyLength = qMin<std::size_t>(data[0] % 24, size - 1);
    const QByteArray keyBytes(reinterpret_cast<const char*>(data + 1), qsizetype(keyLength));
    const QByteArray content(reinterpret_cast<const char*>(data + 1 + keyLength), qsizetype(size - 1 - keyLength));
    const QString key = DecodeWindows1252(keyBytes);
    const QString text = DecodeWindows1252(content);

    const QString ini = Folder() + QStringLiteral("in.ini");
    WriteRaw(ini, content);
    ReadSetting(ini, key);
    ReadSettingInt(ini, key, 1);
    ReadSettingFloat(ini, key, 1.0);
    ReadSettingBool(ini, key);
    ReadSection(ini, key);
    ReadPair(ini, key);
    LoadWindowPlacement(key, ini);
    WriteRaw(Folder() + QStringLiteral("EuroConvert.ini"), content);
    CurrencyAmount(CurrencyLine(Folder(), key, QString()), 2.0);

    // A written setting reads back as written (line breaks as blanks, trimmed), and the
    // rewrite keeps every other line. A file that opens with a UTF-8 mark is left out: once
    // rewritten as Windows-1252 its first characters would read differently.
    const QStringList before = LoadTextLines(ini);
    if (!content.startsWith("\xEF\xBB\xBF") && WriteSetting(ini, key, text)) {
        Check(ReadSetting(ini, key) == SingleLine(text).trimmed());
        const QStringList after = LoadTextLines(ini);
        Check(after.size() == before.size() || after.size() == before.size() + 1);
    }
    if (!content.startsWith("\xEF\xBB\xBF") && WritePairs(ini, {key}, {text}) && !key.contains(QLatin1Char('=')))
        Check(ReadPair(ini, key) == SingleLine(text).trimmed());

    // Records.
    const int n = int(data[0] % 40) - 2;
    const QString field = FieldOf(text, n);
    Check(!field.contains(QLatin1Char('|')));
    SeparatorCount(text);
    IndexInList(text, key);
    if (!key.contains(QLatin1Char('|')) && n >= 1)
        Check(FieldOf(SetFieldOf(text, n, key), n) == key);

    // Text, number and date helpers on the same bytes.
    EvalBool(text);
    TextBetween(text, key, key);
    SliceWithMarkers(text, key, text.left(3));
    ReplaceAll(text, key, text.left(2));
    Check(UnshiftText(ShiftText(text)) == text);
    const double x = FloatOrDefault(text, 0.0);
    RoundHalfAway(int(data[0] % 20) - 4, x);
    FormatFloat(x, int(data[0] % 12));
    IntOrDefault(text, 0);
    ParseDateLoose(text);
    const QString folder = NormaliseFolder(text);
    Check(NormaliseFolder(folder) == folder);
    IsEmailAddress(text);
    SanitizeName(text, QLatin1Char('_'));
    return 0;
}
