// The translation check: every Dutch text the code marks with NL("...") needs a line in
// resources/dll/Strings.DAT with French, English and German filled in.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QStringDecoder>

namespace {

struct MarkedText
{
    QString text;
    QString file;
    int line = 0;
};

bool IsIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Reads a "..." literal starting at source[i] == '"', decoding its escapes.
QString ReadStringLiteral(const QString& s, int& i, int& line)
{
    QString out;
    ++i;
    while (i < s.size() && s.at(i) != QLatin1Char('"')) {
        QChar c = s.at(i);
        if (c == QLatin1Char('\n'))
            ++line;  // unterminated: let the compiler complain
        if (c == QLatin1Char('\\') && i + 1 < s.size()) {
            const QChar e = s.at(++i);
            switch (e.unicode()) {
            case 'n': out += QLatin1Char('\n'); break;
            case 't': out += QLatin1Char('\t'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 'x': {
                int j = i + 1;
                while (j < s.size() && isxdigit(s.at(j).toLatin1()))
                    ++j;
                out += QChar(s.mid(i + 1, j - i - 1).toUInt(nullptr, 16));
                i = j - 1;
                break;
            }
            case 'u': out += QChar(s.mid(i + 1, 4).toUShort(nullptr, 16)); i += 4; break;
            default:
                if (e >= QLatin1Char('0') && e <= QLatin1Char('7')) {
                    int j = i;
                    while (j < s.size() && j < i + 3 && s.at(j) >= QLatin1Char('0')
                           && s.at(j) <= QLatin1Char('7'))
                        ++j;
                    out += QChar(s.mid(i, j - i).toUInt(nullptr, 8));
                    i = j - 1;
                } else {
                    out += e;  // \" \\ \' \?
                }
            }
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    ++i;  // the closing quote
    return out;
}

void SkipSpaceAndComments(const QString& s, int& i, int& line)
{
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\n')) {
            ++line;
            ++i;
        } else if (c.isSpace()) {
            ++i;
        } else if (s.mid(i, 2) == QLatin1String("//")) {
            while (i < s.size() && s.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (s.mid(i, 2) == QLatin1String("/*")) {
            const int end = s.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? s.size() : end + 2;
            line += s.mid(i, stop - i).count(QLatin1Char('\n'));
            i = stop;
        } else {
            return;
        }
    }
}

// Every NL("...") in a C++ source text; adjacent literals join, as the compiler joins them.
// Comments, other string literals, character literals and raw strings are stepped over.
QList<MarkedText> FindMarkedTexts(const QString& s, const QString& file)
{
    QList<MarkedText> found;
    int i = 0;
    int line = 1;
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('\n') || c.isSpace() || s.mid(i, 2) == QLatin1String("//")
            || s.mid(i, 2) == QLatin1String("/*")) {
            SkipSpaceAndComments(s, i, line);
        } else if (c == QLatin1Char('"')) {
            ReadStringLiteral(s, i, line);
        } else if (c == QLatin1Char('\'')) {
            ++i;
            while (i < s.size() && s.at(i) != QLatin1Char('\'') && s.at(i) != QLatin1Char('\n'))
                i += s.at(i) == QLatin1Char('\\') ? 2 : 1;
            ++i;
        } else if (c.isDigit()) {
            while (i < s.size() && (IsIdentifierChar(s.at(i)) || s.at(i) == QLatin1Char('.')
                                    || s.at(i) == QLatin1Char('\'')))
                ++i;
        } else if (IsIdentifierChar(c)) {
            const int start = i;
            while (i < s.size() && IsIdentifierChar(s.at(i)))
                ++i;
            const QString word = s.mid(start, i - start);
            if (word.endsWith(QLatin1Char('R')) && i < s.size() && s.at(i) == QLatin1Char('"')) {
                // Raw string: R"delim( ... )delim"
                const int open = s.indexOf(QLatin1Char('('), i);
                const QString close = QLatin1Char(')') + s.mid(i + 1, open - i - 1) + QLatin1Char('"');
                const int end = s.indexOf(close, open);
                const int stop = end < 0 ? s.size() : end + close.size();
                line += s.mid(i, stop - i).count(QLatin1Char('\n'));
                i = stop;
                continue;
            }
            if (word != QLatin1String("NL"))
                continue;
            const int startLine = line;
            int j = i;
            SkipSpaceAndComments(s, j, line);
            if (j >= s.size() || s.at(j) != QLatin1Char('(')) {
                line = startLine;
                continue;
            }
            ++j;
            SkipSpaceAndComments(s, j, line);
            QString text;
            bool literal = false;
            while (j < s.size() && s.at(j) == QLatin1Char('"')) {
                text += ReadStringLiteral(s, j, line);
                literal = true;
                SkipSpaceAndComments(s, j, line);
            }
            if (literal)
                found.append(MarkedText{text, file, startLine});
            i = j;
        } else {
            ++i;
        }
    }
    return found;
}

struct Entry
{
    QString french, english, german;
};

QHash<QString, Entry> ReadTable(const QString& file, bool* ok)
{
    QHash<QString, Entry> table;
    QFile f(file);
    *ok = f.open(QIODevice::ReadOnly);
    const QString text = QString::fromUtf8(f.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.size() < 5 || line.startsWith(QLatin1String("//")))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        const QString key = fields.value(0).toCaseFolded();
        if (!table.contains(key))  // the first equal key wins, as in the program
            table.insert(key, Entry{fields.value(2), fields.value(3), fields.value(4)});
    }
    return table;
}

bool HasLetter(const QString& text)
{
    for (QChar c : text) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
            return true;
    }
    return false;
}

bool IsComplete(const QHash<QString, Entry>& table, const QString& text)
{
    const auto it = table.constFind(text.toCaseFolded());
    return it != table.cend() && !it->french.trimmed().isEmpty()
        && !it->english.trimmed().isEmpty() && !it->german.trimmed().isEmpty();
}

// Why a marked text lacks a complete translation; empty when it has one.
QString Missing(const QHash<QString, Entry>& table, const QString& text)
{
    if (!HasLetter(text))
        return {};  // shown as it is
    if (!text.contains(QLatin1Char('|')))
        return IsComplete(table, text) ? QString() : QStringLiteral("no complete entry");
    // Either its own translations "NL|F|UK|DE|", or pairs whose shown texts have entries.
    const QStringList fields = text.split(QLatin1Char('|'));
    bool own = fields.size() >= 4;
    for (int n = 0; n < 4 && own; ++n)
        own = !fields.at(n).trimmed().isEmpty();
    if (own)
        return {};
    for (int n = 0; n < fields.size(); n += 2) {
        if (HasLetter(fields.at(n)) && !IsComplete(table, fields.at(n)))
            return QStringLiteral("neither four languages nor translated pairs");
    }
    return {};
}

const char* const SourceFolders[] = {"foundation", "data", "shell", "cards", "selections",
                                      "calendar", "documents", "reports", "mailing", "export",
                                      "intake", "lantern"};

TEST(TranslationTable, EveryMarkedTextHasFrenchEnglishAndGerman)
{
    bool ok = false;
    const QString root = QStringLiteral(QUILLON_SOURCE_DIR "/");
    const QHash<QString, Entry> table = ReadTable(root + "resources/dll/Strings.DAT", &ok);
    ASSERT_TRUE(ok) << "resources/dll/Strings.DAT is missing";

    QStringList failures;
    int checked = 0;
    for (const char* folder : SourceFolders) {
        QDirIterator it(root + folder, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QString relative = path.mid(root.size());
            for (const MarkedText& m : FindMarkedTexts(QString::fromUtf8(f.readAll()), relative)) {
                ++checked;
                const QString why = Missing(table, m.text);
                if (!why.isEmpty())
                    failures << QStringLiteral("%1:%2: \"%3\" (%4)").arg(m.file).arg(m.line).arg(m.text, why);
            }
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_TRUE(failures.isEmpty()) << "Texts without a complete line in Strings.DAT "
                                       "(key|Dutch|French|English|German|):\n"
                                    << failures.join('\n').toStdString();
}

TEST(TranslationTable, ShippedFileIsUtf8AndEveryLineIsAnEntry)
{
    QFile f(QStringLiteral(QUILLON_SOURCE_DIR "/resources/dll/Strings.DAT"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    // Invalid UTF-8 would make the program read the whole file as Windows-1252.
    ASSERT_FALSE(utf8.hasError()) << "Strings.DAT is not valid UTF-8";
    int n = 0;
    QStringList bad;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++n;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("//")))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        // key|Dutch|French|English|German| : five fields and the closing "|"
        if (fields.size() != 6 || !fields.last().isEmpty()
            || fields.at(0).compare(fields.at(1), Qt::CaseInsensitive) != 0)
            bad << QStringLiteral("%1: %2").arg(n).arg(line);
    }
    EXPECT_TRUE(bad.isEmpty()) << "Malformed lines (key|Dutch|French|English|German|, key = "
                                  "Dutch):\n" << bad.join('\n').toStdString();
}

TEST(TranslationTable, ScannerFindsLiteralsTheWayTheCompilerSeesThem)
{
    const QString source = QStringLiteral(
        "#define NL(text) QStringLiteral(text)\n"
        "// NL(\"in a comment\")\n"
        "/* NL(\"in a block\")\n */\n"
        "auto a = NL(\"Naam \\\"kort\\\"\");\n"
        "auto b = NL( \"Deel een, \"\n"
        "            \"deel twee\" );\n"
        "auto c = \"NL(\\\"in a string\\\")\"; char q = '\"'; int n = 1'000;\n"
        "auto r = R\"x(NL(\"raw\"))x\";\n"
        "auto d = TNL(\"other macro\"); auto e = NL(name);\n"
        "auto f = NL(\"Caf\\xe9\");\n");
    const QList<MarkedText> found = FindMarkedTexts(source, "sample.cpp");
    ASSERT_EQ(found.size(), 3);
    EXPECT_EQ(found.at(0).text, "Naam \"kort\"");
    EXPECT_EQ(found.at(0).line, 5);
    EXPECT_EQ(found.at(1).text, "Deel een, deel twee");
    EXPECT_EQ(found.at(1).line, 6);
    EXPECT_EQ(found.at(2).text, QString::fromUtf8("Café"));
    EXPECT_EQ(found.at(2).line, 11);
}

TEST(TranslationTable, CompletenessRules)
{
    QHash<QString, Entry> table;
    table.insert(QString("opslaan"), Entry{"Enregistrer", "Save", "Speichern"});
    table.insert(QString("half"), Entry{"Moitié", "", "Halb"});
    table.insert(QString("tekstbestanden"), Entry{"Fichiers texte", "Text files", "Textdateien"});
    EXPECT_EQ(Missing(table, "OPSLAAN"), "");
    EXPECT_NE(Missing(table, "Half"), "");
    EXPECT_NE(Missing(table, "Onbekend"), "");
    EXPECT_EQ(Missing(table, "- 1 / 2 -"), "");
    EXPECT_EQ(Missing(table, "Ja|Oui|Yes|Ja|"), "");
    EXPECT_EQ(Missing(table, "Tekstbestanden|*.txt|"), "");
    EXPECT_NE(Missing(table, "Ja|Oui||Ja|"), "");
}

}  // namespace
