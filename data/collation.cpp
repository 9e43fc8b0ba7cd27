#include "data/collation.h"

#include <sqlite3.h>

namespace {

inline char16_t LowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool IsMark(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

// Letters that carry their accent inside (no decomposition) but that a user still reads as
// the plain letter, and the ligatures written out.
void AppendBase(QString& out, QChar c)
{
    switch (c.unicode()) {
    case 0x00F8: case 0x00D8: out += QLatin1Char('o'); return;           // ø
    case 0x0142: case 0x0141: out += QLatin1Char('l'); return;           // ł
    case 0x0111: case 0x0110: out += QLatin1Char('d'); return;           // đ
    case 0x0131: out += QLatin1Char('i'); return;                        // dotless i
    case 0x00E6: case 0x00C6: out += QLatin1String("ae"); return;        // æ
    case 0x0153: case 0x0152: out += QLatin1String("oe"); return;        // œ
    case 0x00DF: case 0x1E9E: out += QLatin1String("ss"); return;        // ß
    default: out += c;
    }
}

QString FoldSlow(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (!IsMark(c))
            AppendBase(out, c);
    return out.toCaseFolded();
}

// Compares two UTF-8 texts folded. The common case, plain ASCII, never leaves the loop.
int CompareUtf8Folded(const unsigned char* a, int lenA, const unsigned char* b, int lenB)
{
    const int n = lenA < lenB ? lenA : lenB;
    int i = 0;
    for (; i < n; ++i) {
        const unsigned char ca = a[i];
        const unsigned char cb = b[i];
        if ((ca | cb) & 0x80)
            break;
        const char16_t la = LowerAscii(ca);
        const char16_t lb = LowerAscii(cb);
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    if (i == n) {
        // One text is an ASCII prefix of the other; a non-ASCII rest may still fold to nothing.
        if (lenA == lenB)
            return 0;
        const unsigned char* rest = lenA > lenB ? a : b;
        const int len = lenA > lenB ? lenA : lenB;
        bool ascii = true;
        for (int j = n; j < len && ascii; ++j)
            ascii = !(rest[j] & 0x80);
        if (ascii)
            return lenA < lenB ? -1 : 1;
    }
    const QString restA = FoldSlow(QString::fromUtf8(reinterpret_cast<const char*>(a + i), lenA - i));
    const QString restB = FoldSlow(QString::fromUtf8(reinterpret_cast<const char*>(b + i), lenB - i));
    return QString::compare(restA, restB, Qt::CaseSensitive);
}

int CollateQci(void*, int lenA, const void* a, int lenB, const void* b)
{
    const int r = CompareUtf8Folded(static_cast<const unsigned char*>(a), lenA,
                                    static_cast<const unsigned char*>(b), lenB);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

QString TextArg(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return QString::fromUtf8(text, sqlite3_value_bytes(value));
}

void FoldFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray folded = FoldText(TextArg(argv[0])).toUtf8();
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

// LIKE on folded texts: '%' any run, '_' one character, escape makes the next literal.
bool LikeMatch(const QString& pattern, const QString& text, QChar escape, bool hasEscape)
{
    int p = 0;
    int t = 0;
    int starP = -1;
    int starT = 0;
    while (t < text.size()) {
        if (p < pattern.size()) {
            QChar pc = pattern.at(p);
            if (hasEscape && pc == escape && p + 1 < pattern.size()) {
                if (pattern.at(p + 1) == text.at(t)) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (pc == QLatin1Char('%')) {
                starP = p++;
                starT = t;
                continue;
            } else if (pc == QLatin1Char('_') || pc == text.at(t)) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP < 0)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('%'))
        ++p;
    return p == pattern.size();
}

void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    QChar escape;
    bool hasEscape = false;
    if (argc == 3) {
        const QString e = TextArg(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        const QString folded = FoldText(e);
        escape = folded.isEmpty() ? e.at(0) : folded.at(0);
        hasEscape = true;
    }
    sqlite3_result_int(context, LikeMatch(FoldText(TextArg(argv[0])), FoldText(TextArg(argv[1])),
                                          escape, hasEscape) ? 1 : 0);
}

} // namespace

QString FoldText(const QString& text)
{
    const char16_t* data = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] >= 0x80)
            return FoldSlow(text);
    }
    QString out(n, Qt::Uninitialized);
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < n; ++i)
        dst[i] = LowerAscii(data[i]);
    return out;
}

int CompareFolded(const QString& a, const QString& b)
{
    return QString::compare(FoldText(a), FoldText(b), Qt::CaseSensitive);
}

bool StartsWithFolded(const QString& text, const QString& prefix)
{
    return FoldText(text).startsWith(FoldText(prefix));
}

QString PrefixUpperBound(const QString& prefix)
{
    return FoldText(prefix) + QChar(0xFFFF);
}

bool RegisterQuillonCollation(sqlite3* db)
{
    if (!db)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    bool ok = sqlite3_create_collation(db, "QCI", SQLITE_UTF8, nullptr, CollateQci) == SQLITE_OK;
    ok = sqlite3_create_function(db, "QFOLD", 1, flags, nullptr, FoldFunction, nullptr, nullptr) == SQLITE_OK && ok;
    ok = sqlite3_create_function(db, "like", 2, flags, nullptr, LikeFunction, nullptr, nullptr) == SQLITE_OK && ok;
    ok = sqlite3_create_function(db, "like", 3, flags, nullptr, LikeFunction, nullptr, nullptr) == SQLITE_OK && ok;
    return ok;
}
