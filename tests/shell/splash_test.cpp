#include <gtest/gtest.h>

#include "common/testfolder.h"
#include "foundation/dialogdriver.h"
#include "foundation/homefolder.h"
#include "foundation/translate.h"
#include "foundation/version.h"
#include "shell/splash.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {

class SplashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(tmp.path());
        SetLanguageIndex(1);
        TfrmSplash::SetUrlOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        });
    }
    void TearDown() override
    {
        TfrmSplash::SetUrlOpener(nullptr);
        SetProgramFolder(QString());
    }
    TestFolder tmp;
    QList<QUrl> opened;
};

} // namespace

TEST_F(SplashTest, StartShowsTitleVersionLogoAndProgress)
{
    QDir().mkpath(tmp.path() + QStringLiteral("bmp"));
    QImage logo(120, 40, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(tmp.path() + QStringLiteral("bmp/logo.bmp")));

    TfrmSplash splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(splash.InfoMode());
    EXPECT_EQ(splash.TitleLabel()->text(), QStringLiteral("Quillon PRO"));
    EXPECT_EQ(splash.VersionLabel()->text(), QStringLiteral("Version: ") + ProgramVersion());
    EXPECT_FALSE(ProgramVersion().isEmpty());
    EXPECT_EQ(splash.Progress(), QStringLiteral("Opstarten van Quillon PRO"));
    EXPECT_FALSE(splash.HelpLabel()->isVisible());
    EXPECT_FALSE(splash.FolderLabel()->isVisible());
    const auto* picture = splash.findChildren<QLabel*>().first();
    EXPECT_EQ(picture->pixmap().size(), QSize(120, 40));
    const QRect area = splash.screen()->availableGeometry();
    EXPECT_LE((splash.frameGeometry().center() - area.center()).manhattanLength(), 2);

    splash.SetProgress(QStringLiteral("Laden van database"));
    EXPECT_EQ(splash.Progress(), QStringLiteral("Laden van database"));
    // Clicks do not close the splash of the start.
    QTest::mouseClick(splash.TitleLabel(), Qt::LeftButton);
    EXPECT_TRUE(splash.isVisible());
}

TEST_F(SplashTest, WithoutPicturesTheSplashStillShows)
{
    TfrmSplash splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    EXPECT_EQ(splash.TitleLabel()->text(), QStringLiteral("Quillon PRO"));
}

TEST_F(SplashTest, InfoOpensHelpAndFolderAndClosesOnAClick)
{
    QDir().mkpath(tmp.path() + QStringLiteral("help"));
    tmp.write(QStringLiteral("help/index.html"), "<html></html>");
    bool checked = false;
    ModalWatchdog watchdog;
    WhenModal([&](QWidget* modal) {
        auto* info = qobject_cast<TfrmSplash*>(modal);
        ASSERT_TRUE(info);
        EXPECT_TRUE(info->InfoMode());
        EXPECT_TRUE(info->HelpLabel()->isVisible());
        EXPECT_TRUE(info->FolderLabel()->isVisible());
        QTest::mouseClick(info->HelpLabel(), Qt::LeftButton);
        QTest::mouseClick(info->FolderLabel(), Qt::LeftButton);
        EXPECT_TRUE(info->isVisible()) << "a link click closed the window";
        checked = true;
        QTest::mouseClick(info->TitleLabel(), Qt::LeftButton);
    });
    TfrmSplash::ShowInfo(nullptr);
    EXPECT_TRUE(checked);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened.at(0), QUrl::fromLocalFile(tmp.path() + QStringLiteral("help/index.html")));
    EXPECT_EQ(opened.at(1), QUrl::fromLocalFile(tmp.path()));
}
