#include "foundation/textutil.h"

#include "foundation/textfile.h"

#include <QStringList>

int PosCI(const QString& part, const QString& text)
{
    if (part.isEmpty())
        return 0;
    return int(text.indexOf(part, 0, Qt::CaseInsensitive)) + 1;
}

QString TextBetween(const QString& text, const QString& start, const QString& end)
{
    QString rest = text;
    if (!start.isEmpty()) {
        const int p = PosCI(start, text);
        if (p == 0)
            return {};
        rest = text.mid(p - 1 + start.size());
    }
    const int q = PosCI(end, rest);
    if (q == 1)
        return {};
    return q > 1 ? rest.left(q - 1) : rest;
}

QString SliceWithMarkers(const QString& text, const QString& start, const QString& end)
{
    const int p = PosCI(start, text);
    if (p == 0)
        return {};
    const QString rest = text.mid(p - 1 + start.size());
    const int q = PosCI(end, rest);
    if (q > 0)
        return start + rest.left(q - 1) + end;
    return start + rest;
}

QString ReplaceAll(const QString& text, const QString& oldText, const QString& newText)
{
    if (oldText.isEmpty() || oldText == newText)
        return text;
    QString result = text;
    return result.replace(oldText, newText, Qt::CaseSensitive);
}

int CountChar(QChar c, const QString& text)
{
    return int(text.count(c));
}

QString Capitalize(const QString& text)
{
    QString result = text;
    for (QChar& ch : result) {
        if (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            ch = QChar(ch.unicode() + ('a' - 'A'));
    }
    if (!result.isEmpty())
        result[0] = result.at(0).toUpper();
    return result;
}

QString AfterChar(const QString& text, QChar c)
{
    const qsizetype p = text.indexOf(c);
    return p < 0 ? QString() : text.mid(p + 1);
}

QString BeforeChar(const QString& text, QChar c)
{
    const qsizetype p = text.indexOf(c);
    return p < 0 ? text : text.left(p);
}

QString TrimRightBlanks(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.left(n);
}

QString UpperAscii(const QString& text)
{
    QString result = text;
    for (QChar& ch : result) {
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z'))
            ch = QChar(ch.unicode() - ('a' - 'A'));
    }
    return result;
}

QString PadRight(int width, const QString& text)
{
    if (width <= 0)
        return {};
    return text.leftJustified(width, QLatin1Char(' '), true);
}

bool IsEmailAddress(const QString& text)
{
    const QString address = text.trimmed();
    if (address.isEmpty() || address.count(QLatin1Char('@')) != 1)
        return false;
    for (const QChar ch : address) {
        if (ch.isSpace())
            return false;
    }
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    const QString domain = address.mid(at + 1);
    if (at == 0 || domain.isEmpty())
        return false;
    const qsizetype dot = domain.indexOf(QLatin1Char('.'));
    return dot > 0 && domain.size() - dot - 1 > 1;
}

QString SanitizeName(const QString& text, QChar c)
{
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const bool keep = (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            || (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'))
            || (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) || ch == QLatin1Char('_');
        if (keep)
            result.append(ch);
        else if (c != QLatin1Char(' '))
            result.append(c);
    }
    return result;
}

bool EvalBool(const QString& text)
{
    // Splitting at every " and ", then every " or ", gives the same result as splitting at the
    // first one recursively, without a recursion as deep as the text is long.
    const QStringList terms = text.split(QLatin1String(" and "), Qt::KeepEmptyParts, Qt::CaseInsensitive);
    for (const QString& term : terms) {
        const QStringList options = term.split(QLatin1String(" or "), Qt::KeepEmptyParts, Qt::CaseInsensitive);
        bool any = false;
        for (const QString& option : options) {
            if (option.toUpper() == QLatin1String("TRUE")) {
                any = true;
                break;
            }
        }
        if (!any)
            return false;
    }
    return true;
}

QString BoolText(bool flag)
{
    return flag ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

namespace {

// The scrambling works on the Windows-1252 bytes the lines are stored as.
QString ShiftBytes(const QString& text, int even, int odd)
{
    QByteArray bytes = EncodeWindows1252(text);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(static_cast<unsigned char>(bytes.at(i)) + (i % 2 == 0 ? even : odd));
    return DecodeWindows1252(bytes);
}

} // namespace

QString ShiftText(const QString& text)
{
    return ShiftBytes(text, 2, 1);
}

QString UnshiftText(const QString& text)
{
    return ShiftBytes(text, -2, -1);
}
