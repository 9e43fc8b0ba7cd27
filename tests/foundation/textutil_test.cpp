#include "foundation/textutil.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

TEST(TextUtil, PosCI)
{
    EXPECT_EQ(PosCI(QStringLiteral("B"), QStringLiteral("abc")), 2);
    EXPECT_EQ(PosCI(QStringLiteral("x"), QStringLiteral("abc")), 0);
    EXPECT_EQ(PosCI(QString(), QStringLiteral("abc")), 0);
    EXPECT_EQ(PosCI(QString::fromUtf8("É"), QString::fromUtf8("café")), 4);
}

TEST(TextUtil, TextBetweenAndSliceWithMarkers)
{
    struct Case {
        const char* text;
        const char* start;
        const char* end;
        const char* between;
        const char* slice;
    };
    const Case cases[] = {
        {"ab<x>cd</x>ef", "<X>", "</X>", "cd", "<X>cd</X>"},
        {"ab<x></x>ef", "<x>", "</x>", "", "<x></x>"},
        {"ab<x>cd", "<x>", "</x>", "cd", "<x>cd"},
        {"abcd", "<x>", "</x>", "", ""},
        {"abcd", "", "c", "ab", ""},
        {"abcd", "a", "", "bcd", "abcd"},
        {"abcd", "", "", "abcd", ""},
        {"a[k]1[k]2", "[k]", "[k]", "1", "[k]1[k]"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        const QString start = QString::fromLatin1(c.start);
        const QString end = QString::fromLatin1(c.end);
        EXPECT_EQ(TextBetween(text, start, end), QString::fromLatin1(c.between)) << c.text << " " << c.start;
        EXPECT_EQ(SliceWithMarkers(text, start, end), QString::fromLatin1(c.slice)) << c.text << " " << c.start;
    }
}

TEST(TextUtil, ReplaceAll)
{
    EXPECT_EQ(ReplaceAll(QStringLiteral("aAa"), QStringLiteral("a"), QStringLiteral("aa")), QStringLiteral("aaAaa"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("xxx"), QStringLiteral("xx"), QStringLiteral("y")), QStringLiteral("yx"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("abc"), QStringLiteral("b"), QStringLiteral("b")), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceAll(QStringLiteral("abc"), QString(), QStringLiteral("z")), QStringLiteral("abc"));
}

TEST(TextUtil, SmallHelpers)
{
    EXPECT_EQ(CountChar(QLatin1Char('|'), QStringLiteral("a|b||")), 3);
    EXPECT_EQ(Capitalize(QString::fromUtf8("jAN DE VRIES ÉÉN")), QString::fromUtf8("Jan de vries ÉÉn"));
    EXPECT_EQ(Capitalize(QString::fromUtf8("élodie")), QString::fromUtf8("Élodie"));
    EXPECT_EQ(Capitalize(QString()), QString());
    EXPECT_EQ(AfterChar(QStringLiteral("a=b=c"), QLatin1Char('=')), QStringLiteral("b=c"));
    EXPECT_EQ(AfterChar(QStringLiteral("abc"), QLatin1Char('=')), QString());
    EXPECT_EQ(BeforeChar(QStringLiteral("a=b=c"), QLatin1Char('=')), QStringLiteral("a"));
    EXPECT_EQ(BeforeChar(QStringLiteral("abc"), QLatin1Char('=')), QStringLiteral("abc"));
    EXPECT_EQ(TrimRightBlanks(QStringLiteral("  a b  ")), QStringLiteral("  a b"));
    EXPECT_EQ(TrimRightBlanks(QStringLiteral("   ")), QString());
    EXPECT_EQ(UpperAscii(QString::fromUtf8("abz_é1")), QString::fromUtf8("ABZ_é1"));
    EXPECT_EQ(PadRight(5, QStringLiteral("ab")), QStringLiteral("ab   "));
    EXPECT_EQ(PadRight(2, QStringLiteral("abcd")), QStringLiteral("ab"));
    EXPECT_EQ(PadRight(0, QStringLiteral("abcd")), QString());
    EXPECT_EQ(BoolText(true), QStringLiteral("TRUE"));
    EXPECT_EQ(BoolText(false), QStringLiteral("FALSE"));
}

TEST(TextUtil, IsEmailAddress)
{
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"jan@firma.nl", true},   {"  jan@firma.nl ", true}, {"jan@firma.n", false},
        {"jan@fir@ma.nl", false}, {"jan @firma.nl", false},  {"jan@firma .nl", false},
        {"@firma.nl", false},     {"jan@", false},           {"jan@.nl", false},
        {"jan@firma", false},     {"", false},               {"jan@a.b.c", true},
        {"jan\t@firma.nl", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsEmailAddress(QString::fromLatin1(c.text)), c.valid) << c.text;
}

TEST(TextUtil, SanitizeName)
{
    EXPECT_EQ(SanitizeName(QString::fromUtf8("Klant naam-2é"), QLatin1Char('_')), QStringLiteral("Klant_naam_2_"));
    EXPECT_EQ(SanitizeName(QString::fromUtf8("Klant naam-2é"), QLatin1Char(' ')), QStringLiteral("Klantnaam2"));
}

TEST(TextUtil, EvalBool)
{
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {
        {"TRUE", true},
        {"true", true},
        {"true ", false},
        {"FALSE", false},
        {"", false},
        {"TRUE or FALSE and TRUE", true},
        {"FALSE or TRUE and TRUE", true},
        {"TRUE and FALSE or TRUE", true},
        {"TRUE and FALSE", false},
        {"FALSE or FALSE", false},
        {"TRUE AND TRUE", true},
        {"FALSE Or TRUE", true},
        {"TRUE and ", false},
        {"x or TRUE", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EvalBool(QString::fromLatin1(c.text)), c.value) << c.text;
    // A long expression must not run out of stack.
    QString chain = QStringLiteral("TRUE");
    for (int i = 0; i < 200000; ++i)
        chain += QStringLiteral(" and TRUE");
    EXPECT_TRUE(EvalBool(chain));
}

TEST(TextUtil, ShiftText)
{
    EXPECT_EQ(ShiftText(QStringLiteral("aaaa")), QStringLiteral("cbcb"));
    EXPECT_EQ(ShiftText(QStringLiteral("AB|")), QStringLiteral("CC~"));
    EXPECT_EQ(UnshiftText(QStringLiteral("cbcb")), QStringLiteral("aaaa"));
    // Every Windows-1252 character survives, also where the shift wraps past 255.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = DecodeWindows1252(all) + QString::fromUtf8("ÿÿ€é");
    EXPECT_EQ(UnshiftText(ShiftText(text)), text);
    EXPECT_EQ(EncodeWindows1252(ShiftText(QString::fromUtf8("ÿþ"))), QByteArray("\x01\xff"));
}
