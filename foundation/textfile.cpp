#include "foundation/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned codes pass through
// as the C1 controls of the same value, so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t DecodeByte(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char16_t(b);
}

// Byte of a UTF-16 unit, or -1 when Windows-1252 has no such character.
int EncodeUnit(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < int(kHighControls.size()); ++i) {
        if (kHighControls[i] == u)
            return 0x80 + i;
    }
    return -1;
}

bool HasUtf8Bom(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

// Reads the bytes of a regular file; false for anything else.
bool ReadBytes(const QString& file, QByteArray* bytes)
{
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return false;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *bytes = f.readAll();
    return f.error() == QFileDevice::NoError;
}

QString DecodeFileBytes(const QByteArray& bytes)
{
    if (HasUtf8Bom(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(bytes.mid(3));
        if (!utf8.hasError())
            return text;
    }
    return DecodeWindows1252(bytes);
}

bool WriteBytes(const QString& file, const QByteArray& bytes)
{
    if (file.isEmpty())
        return false;
    QSaveFile f(file);
    // Unbuffered, so a short write (a full disk) is seen here: QSaveFile itself would commit
    // the truncated file.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace

QByteArray EncodeWindows1252(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const int b = EncodeUnit(u);
        out.append(b < 0 ? '?' : char(b));
        // A character outside the basic plane is one "?", not two.
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return out;
}

QString DecodeWindows1252(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(DecodeByte(static_cast<unsigned char>(bytes.at(i))));
    return out;
}

QStringList LoadTextLines(const QString& file, bool* ok)
{
    bool read = false;
    const QString text = LoadTextFile(file, &read);
    if (ok)
        *ok = read;
    if (!read || text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

QString LoadTextFile(const QString& file, bool* ok)
{
    QByteArray bytes;
    const bool read = ReadBytes(file, &bytes);
    if (ok)
        *ok = read;
    if (!read)
        return {};
    QString text = DecodeFileBytes(bytes);
    // CR LF and a lone CR both end a line.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool SaveTextLines(const QString& file, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeWindows1252(line);
        bytes += "\r\n";
    }
    return WriteBytes(file, bytes);
}

bool SaveTextFile(const QString& file, const QString& text)
{
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normal.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return WriteBytes(file, EncodeWindows1252(normal));
}

QString SingleLine(const QString& value)
{
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool LoadLinesForRewrite(const QString& file, QStringList* lines)
{
    bool ok = false;
    *lines = LoadTextLines(file, &ok);
    return ok || !QFileInfo::exists(file);
}
