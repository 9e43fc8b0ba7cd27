#include "common/testfolder.h"
#include "foundation/settingsfile.h"
#include "foundation/textfile.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    QString ini() const { return folder.file(QStringLiteral("admin.ini")); }
    void lines(const QByteArray& bytes) const { folder.write(QStringLiteral("admin.ini"), bytes); }
    TestFolder folder;
};

} // namespace

TEST_F(SettingsFileTest, KeysMatchAsWholeWordsIgnoringCase)
{
    lines("MUNTOUD X\r\nMUNT EUR\r\nEUROP 1\r\nEURO  2,5  \r\nLBWORDSAVE a\r\nlbword b\r\nLASTNRF 9\r\nLASTNR 41\r\nLEEG\r\nTAB\tx\r\n");
    struct Case {
        const char* key;
        const char* value;
        bool found;
    };
    const Case cases[] = {
        {"munt", "EUR", true},   {"MUNT", "EUR", true},    {"MUNTOUD", "X", true},
        {"EURO", "2,5", true},   {"EUROP", "1", true},     {"LBWORD", "b", true},
        {"LBWORDSAVE", "a", true}, {"LASTNR", "41", true}, {"LASTNRF", "9", true},
        {"LEEG", "", false},     {"TAB", "x", true},       {"MUN", "", false},
        {"ONBEKEND", "", false}, {"", "", false},
    };
    for (const Case& c : cases) {
        bool found = !c.found;
        EXPECT_EQ(ReadSetting(ini(), QString::fromLatin1(c.key), &found), QString::fromLatin1(c.value)) << c.key;
        EXPECT_EQ(found, c.found) << c.key;
    }
}

TEST_F(SettingsFileTest, FirstMatchWins)
{
    lines("MUNT EUR\nMUNT USD\n");
    EXPECT_EQ(ReadSetting(ini(), QStringLiteral("MUNT")), QStringLiteral("EUR"));
}

TEST_F(SettingsFileTest, TypedReaders)
{
    lines("NR 12\r\nBAD 12a\r\nF1 2,5\r\nF2 2.5\r\nF3 1.234,5\r\nB1 TRUE\r\nB2 yes\r\nB3 FALSE\r\nB4 false\r\nB5\r\n");
    EXPECT_EQ(ReadSettingInt(ini(), QStringLiteral("NR"), 7), 12);
    EXPECT_EQ(ReadSettingInt(ini(), QStringLiteral("BAD"), 7), 7);
    EXPECT_EQ(ReadSettingInt(ini(), QStringLiteral("MISSING"), 7), 7);
    EXPECT_DOUBLE_EQ(ReadSettingFloat(ini(), QStringLiteral("F1"), 0), 2.5);
    EXPECT_DOUBLE_EQ(ReadSettingFloat(ini(), QStringLiteral("F2"), 0), 2.5);
    EXPECT_DOUBLE_EQ(ReadSettingFloat(ini(), QStringLiteral("F3"), -1), -1);
    EXPECT_TRUE(ReadSettingBool(ini(), QStringLiteral("B1")));
    EXPECT_TRUE(ReadSettingBool(ini(), QStringLiteral("B2")));
    EXPECT_FALSE(ReadSettingBool(ini(), QStringLiteral("B3")));
    EXPECT_FALSE(ReadSettingBool(ini(), QStringLiteral("B4")));
    EXPECT_TRUE(ReadSettingBool(ini(), QStringLiteral("B5")));
    EXPECT_TRUE(ReadSettingBool(ini(), QStringLiteral("MISSING")));
    EXPECT_TRUE(ReadSettingBool(folder.file(QStringLiteral("none.ini")), QStringLiteral("B3")));
}

TEST_F(SettingsFileTest, WriteCreatesMissingFileWithOneLine)
{
    ASSERT_TRUE(WriteSetting(ini(), QStringLiteral("MUNT"), QStringLiteral("EUR")));
    EXPECT_EQ(folder.read(QStringLiteral("admin.ini")), QByteArray("MUNT EUR\r\n"));
}

TEST_F(SettingsFileTest, WriteReplacesOnlyTheWholeKeyAndKeepsOtherLines)
{
    lines("MUNTOUD X\nvrije tekst\nmunt USD\nMUNT GBP\n");
    ASSERT_TRUE(WriteSetting(ini(), QStringLiteral("MUNT"), QString::fromUtf8("€")));
    EXPECT_EQ(folder.read(QStringLiteral("admin.ini")), QByteArray("MUNTOUD X\r\nvrije tekst\r\nMUNT \x80\r\nMUNT GBP\r\n"));
    ASSERT_TRUE(WriteSetting(ini(), QStringLiteral("LASTNR"), QStringLiteral("42")));
    ASSERT_TRUE(WriteSetting(ini(), QStringLiteral("LASTNRF"), QStringLiteral("7")));
    EXPECT_EQ(ReadSetting(ini(), QStringLiteral("LASTNR")), QStringLiteral("42"));
    EXPECT_EQ(ReadSetting(ini(), QStringLiteral("LASTNRF")), QStringLiteral("7"));
    EXPECT_EQ(ReadSetting(ini(), QStringLiteral("MUNTOUD")), QStringLiteral("X"));
}

TEST_F(SettingsFileTest, ValuesStayOnTheirLine)
{
    ASSERT_TRUE(WriteSetting(ini(), QStringLiteral("VOET"), QStringLiteral("regel 1\r\nregel 2\nLASTNR 1")));
    EXPECT_EQ(LoadTextLines(ini()).size(), 1);
    EXPECT_EQ(ReadSetting(ini(), QStringLiteral("VOET")), QStringLiteral("regel 1 regel 2 LASTNR 1"));
    EXPECT_FALSE(ReadSetting(ini(), QStringLiteral("LASTNR"), nullptr).size());
    EXPECT_FALSE(WriteSetting(ini(), QString(), QStringLiteral("x")));
    EXPECT_FALSE(WriteSetting(ini(), QStringLiteral("A\nB"), QStringLiteral("x")));
}

TEST_F(SettingsFileTest, BadFilesReadAsEmptyAndAreNeverClobbered)
{
    const QString dir = folder.file(QStringLiteral("dir.ini"));
    ASSERT_TRUE(QDir().mkpath(dir));
    bool found = true;
    EXPECT_EQ(ReadSetting(dir, QStringLiteral("MUNT"), &found), QString());
    EXPECT_FALSE(found);
    EXPECT_FALSE(WriteSetting(dir, QStringLiteral("MUNT"), QStringLiteral("EUR")));
    EXPECT_TRUE(QFileInfo(dir).isDir());
    EXPECT_FALSE(WriteSetting(folder.file(QStringLiteral("no/admin.ini")), QStringLiteral("MUNT"), QStringLiteral("EUR")));

    QByteArray garbage("\0\xff\xfe MUNT\0 EUR\r\n", 16);
    garbage += QByteArray(1024 * 1024, 'M') + "\r\nMUNT EUR\r\n";
    lines(garbage);
    EXPECT_EQ(ReadSetting(ini(), QStringLiteral("MUNT")), QStringLiteral("EUR"));
    ASSERT_TRUE(WriteSetting(ini(), QStringLiteral("MUNT"), QStringLiteral("USD")));
    // Every other byte survives the rewrite.
    EXPECT_EQ(folder.read(QStringLiteral("admin.ini")), QByteArray(garbage).replace("MUNT EUR", "MUNT USD"));
}

TEST_F(SettingsFileTest, Sections)
{
    lines("[KOP]\r\nregel 1\r\nregel 2\r\n[END]\r\n[VOET]\r\nvoet\r\n[end]\r\n[LEEG][END]\r\n[OPEN]\r\nrest");
    EXPECT_EQ(ReadSection(ini(), QStringLiteral("KOP")), QStringLiteral("\nregel 1\nregel 2\n"));
    EXPECT_EQ(ReadSection(ini(), QStringLiteral("voet")), QStringLiteral("\nvoet\n"));
    EXPECT_EQ(ReadSection(ini(), QStringLiteral("LEEG")), QString());
    EXPECT_EQ(ReadSection(ini(), QStringLiteral("OPEN")), QStringLiteral("\nrest"));
    EXPECT_EQ(ReadSection(ini(), QStringLiteral("GEEN")), QString());
    EXPECT_EQ(ReadSection(folder.file(QStringLiteral("none.ini")), QStringLiteral("KOP")), QString());
}
