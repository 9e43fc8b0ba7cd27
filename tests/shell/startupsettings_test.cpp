#include <gtest/gtest.h>

#include "common/testfolder.h"
#include "shell/startupsettings.h"

namespace {

struct MainPosCase
{
    const char* value;
    bool present;
    bool maximised;
    int left, top, width, height;
};

TEST(MainPos, ParsesEveryForm)
{
    const MainPosCase cases[] = {
        {"|10|20|700|500|", true, false, 10, 20, 700, 500},
        {"MAX|", true, true, 0, 0, 800, 600},
        {"", false, true, 0, 0, 800, 600},
        {"|||", true, false, 0, 0, 800, 600},
        {"|x|-5|0|-1|", true, false, 0, -5, 800, 600},
    };
    for (const MainPosCase& c : cases) {
        SCOPED_TRACE(c.value);
        const MainPlacement p = ParseMainPos(QString::fromLatin1(c.value), c.present);
        EXPECT_EQ(p.maximised, c.maximised);
        if (!c.maximised)
            EXPECT_EQ(p.Bounds(), QRect(c.left, c.top, c.width, c.height));
    }
}

TEST(MainPos, FormatsWhatItReads)
{
    EXPECT_EQ(FormatMainPos(true, QRect(1, 2, 3, 4)), QStringLiteral("MAX|"));
    const QString text = FormatMainPos(false, QRect(10, 20, 700, 500));
    EXPECT_EQ(text, QStringLiteral("|10|20|700|500|"));
    EXPECT_EQ(ParseMainPos(text).Bounds(), QRect(10, 20, 700, 500));
}

class StartupSettingsTest : public ::testing::Test
{
protected:
    StartupSettings Read(const QByteArray& ini)
    {
        folder.write(QStringLiteral("ovra.ini"), ini);
        return ReadStartupSettings(folder.file(QStringLiteral("ovra.ini")));
    }
    TestFolder folder;
};

TEST_F(StartupSettingsTest, MissingFileGivesDefaults)
{
    const StartupSettings s = ReadStartupSettings(folder.file(QStringLiteral("ovra.ini")));
    EXPECT_TRUE(s.placement.maximised);
    EXPECT_EQ(s.mainCurrency, QStringLiteral("BEF"));
    EXPECT_EQ(s.altCurrency, QStringLiteral("EUR"));
    EXPECT_FALSE(s.euroIsMain);
    EXPECT_EQ(s.languageIndex, 1);
    EXPECT_EQ(s.reminderIntervalMs, 2 * 60000);
    EXPECT_DOUBLE_EQ(s.standardVat, 21.0);
    EXPECT_EQ(s.defaultAdministration, QStringLiteral("NIL999"));
    EXPECT_FALSE(s.HasDefaultAdministration());
    EXPECT_FALSE(s.CardPanelColor().isValid());
    EXPECT_TRUE(s.quickSearchBelow);
    EXPECT_TRUE(s.reminderOn);
    EXPECT_TRUE(s.doBackup);
    EXPECT_TRUE(s.backupTemplates);
    EXPECT_TRUE(s.backupDir.isEmpty());
}

TEST_F(StartupSettingsTest, GarbageGivesDefaults)
{
    const StartupSettings s = Read(QByteArray("\x01\x02 garbage\r\n|||\r\nTIMERINT\r\nSTBTW abc\r\n"));
    EXPECT_TRUE(s.placement.maximised);
    EXPECT_EQ(s.reminderIntervalMs, 2 * 60000);
    EXPECT_DOUBLE_EQ(s.standardVat, 21.0);
    EXPECT_EQ(s.mainCurrency, QStringLiteral("BEF"));
}

TEST_F(StartupSettingsTest, LanguageIgnoresCase)
{
    EXPECT_EQ(Read("LANGUAGE UK\r\n").languageIndex, 3);
    EXPECT_EQ(Read("LANGUAGE uk\r\n").languageIndex, 3);
    EXPECT_EQ(Read("LANGUAGE F\r\n").languageIndex, 2);
    EXPECT_EQ(Read("LANGUAGE XX\r\n").languageIndex, 0);
}

TEST_F(StartupSettingsTest, ReminderInterval)
{
    EXPECT_EQ(Read("TIMERINT 0\r\n").reminderIntervalMs, 0);
    EXPECT_EQ(Read("TIMERINT 5\r\n").reminderIntervalMs, 5 * 60000);
    EXPECT_EQ(Read("TIMERINT soon\r\n").reminderIntervalMs, 2 * 60000);
    EXPECT_EQ(Read("TIMERINT -3\r\n").reminderIntervalMs, 2 * 60000);
    EXPECT_EQ(Read("TIMERINT 99999999\r\n").reminderIntervalMs, std::numeric_limits<int>::max());
}

TEST_F(StartupSettingsTest, ValuesAndCurrencyLines)
{
    folder.write(QStringLiteral("EuroConvert.ini"),
                 "BEF|40,3399|0|\r\nEUR|1|2|\r\nUSD|0,9|2|\r\n");
    const StartupSettings s = Read(
        "MAINPOS |10|20|700|500|\r\nMUNT EUR\r\nALTMUNT USD\r\nDEFADMIN Demo\r\nSTBTW 6\r\n"
        "MAINCOLOR 255\r\nSCROLLBOXCOLOR\r\nLETITDOWN FALSE\r\nREMINDERON false\r\n"
        "DOBACKUP FALSE\r\nBACKUPDIR /srv/backup\r\n");
    EXPECT_EQ(s.placement.Bounds(), QRect(10, 20, 700, 500));
    EXPECT_FALSE(s.placement.maximised);
    EXPECT_TRUE(s.euroIsMain);
    EXPECT_EQ(s.mainCurrencyLine, QStringLiteral("EUR|1|2|"));
    EXPECT_EQ(s.altCurrencyLine, QStringLiteral("USD|0,9|2|"));
    EXPECT_EQ(s.euroLine, QStringLiteral("EUR|1|2|"));
    EXPECT_TRUE(s.HasDefaultAdministration());
    EXPECT_EQ(s.defaultAdministration, QStringLiteral("Demo"));
    EXPECT_DOUBLE_EQ(s.standardVat, 6.0);
    // Colours are stored blue-green-red; an empty SCROLLBOXCOLOR leaves MAINCOLOR.
    EXPECT_EQ(s.CardPanelColor(), QColor(255, 0, 0));
    EXPECT_FALSE(s.quickSearchBelow);
    EXPECT_FALSE(s.reminderOn);
    EXPECT_FALSE(s.doBackup);
    EXPECT_TRUE(s.backupTemplates);
    EXPECT_EQ(s.backupDir, QStringLiteral("/srv/backup"));
}

TEST_F(StartupSettingsTest, EuroSignIsEuro)
{
    // The file is Windows-1252: byte 0x80 is the euro sign.
    EXPECT_TRUE(Read("MUNT \x80\r\n").euroIsMain);
    EXPECT_FALSE(Read("MUNT BEF\r\n").euroIsMain);
}

TEST(SettingColor, SystemColoursAreNotSet)
{
    EXPECT_EQ(SettingColor(QStringLiteral("16711680")), QColor(0, 0, 255));
    EXPECT_FALSE(SettingColor(QStringLiteral("-16777201")).isValid());
    EXPECT_FALSE(SettingColor(QStringLiteral("clBtnFace")).isValid());
    EXPECT_FALSE(SettingColor(QString()).isValid());
}

TEST(MainWindowCaption, TitleAdministrationAndVat)
{
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("Quillon PRO"));
    EXPECT_EQ(MainWindowCaption(QStringLiteral("Demo"), false),
              QStringLiteral("Quillon PRO   Administratie: Demo "));
    EXPECT_EQ(MainWindowCaption(QStringLiteral("Demo"), true),
              QStringLiteral("Quillon PRO   Administratie: Demo (BTWi)"));
    // A name holding "%s" is shown as it is.
    EXPECT_EQ(MainWindowCaption(QStringLiteral("A%sB"), false),
              QStringLiteral("Quillon PRO   Administratie: A%sB "));
}

} // namespace
