#include "foundation/records.h"

#include <gtest/gtest.h>

TEST(Records, FieldOf)
{
    struct Case {
        const char* record;
        int n;
        const char* field;
    };
    const Case cases[] = {
        {"a|b|c|", 1, "a"}, {"a|b|c|", 3, "c"}, {"a|b|c|", 4, ""}, {"a|b|c|", 9, ""},
        {"a|b", 2, "b"},    {"a|b", 0, "a"},    {"a|b", -5, "a"},  {"", 1, ""},
        {"||x|", 3, "x"},   {"abc", 1, "abc"},  {"abc", 2, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldOf(QString::fromLatin1(c.record), c.n), QString::fromLatin1(c.field)) << c.record << " " << c.n;
}

TEST(Records, SeparatorCountAndIndexInList)
{
    EXPECT_EQ(SeparatorCount(QStringLiteral("NL|F|UK|DE|")), 4);
    EXPECT_EQ(SeparatorCount(QString()), 0);
    struct Case {
        const char* list;
        const char* value;
        int index;
    };
    const Case cases[] = {
        {"NL|F|UK|DE|", " uk ", 3}, {"NL|F|UK|DE|", "nl", 1}, {"NL|F|UK|DE|", "DE", 4},
        {"NL|F|UK|DE|", "", 5},     {"NL|F|UK|DE|", "U", 0},  {" nl|f ", "F", 2},
        {"a|b|a|", "A", 1},         {"NL| F|", "F", 0},       {"", "", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IndexInList(QString::fromLatin1(c.list), QString::fromLatin1(c.value)), c.index) << c.list << " / " << c.value;
    // Only a..z are upper-cased, as the stored lists expect.
    EXPECT_EQ(IndexInList(QString::fromUtf8("É|é|"), QString::fromUtf8("é")), 2);
}

TEST(Records, SetFieldOf)
{
    struct Case {
        const char* record;
        int n;
        const char* value;
        const char* result;
    };
    const Case cases[] = {
        {"a|b|c|", 2, "X", "a|X|c|"}, {"a|b|c|", 5, "X", "a|b|c||X"}, {"a|b|c|", 1, "X", "X|b|c|"},
        {"a|b|c|", 4, "X", "a|b|c|X"}, {"a|b|c", 3, "X", "a|b|X"},    {"", 3, "X", "||X"},
        {"a|b|", 0, "X", "X|b|"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetFieldOf(QString::fromLatin1(c.record), c.n, QString::fromLatin1(c.value)),
                  QString::fromLatin1(c.result)) << c.record << " " << c.n;
    }
}
