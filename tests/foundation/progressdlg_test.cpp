#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "foundation/msgdlg.h"
#include "foundation/progressdlg.h"
#include "foundation/translate.h"
#include "tests/foundation/dialogdriver.h"

namespace {

class ProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetTranslations();
        SetLanguageIndex(1);
        SetMessageHook({});
    }
    void TearDown() override { TdlgProg::Instance()->hide(); }
    ModalWatchdog watchdog;
};

// Keep first: it sees the instance as created.
TEST_F(ProgressTest, CreatedOnceWithItsDefaults)
{
    TdlgProg* dialog = TdlgProg::Instance();
    EXPECT_EQ(dialog, TdlgProg::Instance());
    EXPECT_EQ(dialog->windowTitle(), "Opmaken van E-mails");
    EXPECT_EQ(dialog->Maximum(), 100);
    EXPECT_EQ(dialog->size(), QSize(364, 58));
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
}

TEST_F(ProgressTest, EscAsksAndStopsOnlyOnJa)
{
    TdlgProg* dialog = TdlgProg::Instance();
    dialog->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), dialog);  // the rest takes no input
    EXPECT_FALSE(dialog->StopRequested());

    QString question;
    WhenModal([&](QWidget* w) {
        auto* ask = qobject_cast<TmyMsgDlg*>(w);
        ASSERT_NE(ask, nullptr);
        question = ask->MessageText();
        ask->SecondButton()->click();  // "Nee"
    }, dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_EQ(question, "Stoppen?");
    EXPECT_FALSE(dialog->StopRequested());
    EXPECT_TRUE(dialog->isVisible());

    WhenModal([](QWidget* w) { qobject_cast<TmyMsgDlg*>(w)->FirstButton()->click(); }, dialog);
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->StopRequested());
}

TEST_F(ProgressTest, CloseBoxStopsAndShowingAgainClears)
{
    TdlgProg* dialog = TdlgProg::Instance();
    dialog->show();
    QCoreApplication::processEvents();
    dialog->close();
    EXPECT_TRUE(dialog->StopRequested());
    EXPECT_FALSE(dialog->isVisible());
    dialog->show();
    EXPECT_FALSE(dialog->StopRequested());
}

TEST_F(ProgressTest, ProgressRunStepsAndEndsOnStop)
{
    AddTranslation("Selectie opbouwen", "Selectie opbouwen", "Construire la s\u00e9lection",
                   "Auswahl aufbauen", "Building selection");
    SetLanguageIndex(3);
    int done = 0;
    {
        ProgressRun progress("Selectie opbouwen", 10);
        TdlgProg* dialog = TdlgProg::Instance();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowTitle(), "Building selection");
        EXPECT_EQ(dialog->Maximum(), 10);
        for (int i = 0; i < 10; ++i) {
            if (i == 4)
                QTimer::singleShot(0, dialog, [dialog] { dialog->close(); });  // the user's close box
            if (!progress.Step())
                break;
            ++done;
        }
        EXPECT_TRUE(progress.Stopped());
        EXPECT_EQ(dialog->Position(), 5);
    }
    EXPECT_EQ(done, 4);
    EXPECT_FALSE(TdlgProg::Instance()->isVisible());

    ProgressRun again("Selectie opbouwen", 3);
    EXPECT_FALSE(again.Stopped());
    EXPECT_EQ(TdlgProg::Instance()->Position(), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(again.Step());
    EXPECT_EQ(TdlgProg::Instance()->Position(), 3);  // never past the maximum
}

}  // namespace
