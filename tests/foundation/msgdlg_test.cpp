#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "foundation/msgdlg.h"
#include "foundation/numbers.h"
#include "foundation/translate.h"
#include "tests/foundation/dialogdriver.h"

namespace {

class MsgDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QApplication::setApplicationDisplayName("Quillon PRO");
        ResetTranslations();
        SetLanguageIndex(1);
        SetMessageHook({});
    }
    void TearDown() override
    {
        SetMessageHook({});
        SetLanguageIndex(1);
        ResetTranslations();
    }
    ModalWatchdog watchdog;
};

TmyMsgDlg* AsMsgDlg(QWidget* w)
{
    auto* dialog = qobject_cast<TmyMsgDlg*>(w);
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

TEST_F(MsgDlgTest, AskAnswersByButtonEnterEscAndCloseBox)
{
    struct Case { const char* what; std::function<void(TmyMsgDlg*)> act; int expected; };
    const Case cases[] = {
        {"first button", [](TmyMsgDlg* d) { QTest::mouseClick(d->FirstButton(), Qt::LeftButton); }, 1},
        {"second button", [](TmyMsgDlg* d) { QTest::mouseClick(d->SecondButton(), Qt::LeftButton); }, 7},
        {"enter", [](TmyMsgDlg* d) { QTest::keyClick(d, Qt::Key_Return); }, 1},
        {"esc", [](TmyMsgDlg* d) { QTest::keyClick(d, Qt::Key_Escape); }, 2},
        {"close box", [](TmyMsgDlg* d) { d->close(); }, 2},
    };
    for (const Case& c : cases) {
        WhenModal([&c](QWidget* w) { c.act(AsMsgDlg(w)); });
        EXPECT_EQ(Ask("Doorgaan?"), c.expected) << c.what;
    }
}

TEST_F(MsgDlgTest, CaptionIsTheApplicationTitleAndCaptionsAreTranslated)
{
    AddTranslation("Doorgaan?", "Doorgaan?", "Continuer ?", "Weiter?", "Continue?");
    SetLanguageIndex(3);
    QString caption, text, first, second;
    WhenModal([&](QWidget* w) {
        TmyMsgDlg* d = AsMsgDlg(w);
        caption = d->windowTitle();
        text = d->MessageText();
        first = d->FirstButton()->text();
        second = d->SecondButton()->text();
        d->reject();
    });
    Ask("Doorgaan?", true, "Ja", "Nee");
    EXPECT_EQ(caption, "Quillon PRO");
    EXPECT_EQ(text, "Continue?");
    EXPECT_EQ(first, "Ja");   // no table loaded: texts stay as they are
    EXPECT_EQ(second, "Nee");

    AddTranslation("Ja", "Ja", "Oui", "Ja", "Yes");
    WhenModal([&](QWidget* w) {
        TmyMsgDlg* d = AsMsgDlg(w);
        text = d->MessageText();
        first = d->FirstButton()->text();
        EXPECT_EQ(d->SecondButton(), nullptr);
        d->FirstButton()->click();
    });
    ShowNotice("Doorgaan?", false, "Ja");
    EXPECT_EQ(text, "Doorgaan?");  // not translated when not asked
    EXPECT_EQ(first, "Yes");
}

TEST_F(MsgDlgTest, AskTextRefusesForbiddenAndEmptyNamesOnOk)
{
    const QStringList forbidden{"Klanten", "Leveranciers"};
    bool stayedOpen = false;
    QString message;
    WhenModal([&](QWidget* w) {
        TmyMsgDlg* d = AsMsgDlg(w);
        EXPECT_EQ(d->EditBox()->text(), "Klanten");
        QTest::mouseClick(d->FirstButton(), Qt::LeftButton);
        d->EditBox()->setText("  klanten ");
        QTest::mouseClick(d->FirstButton(), Qt::LeftButton);
        d->EditBox()->setText("   ");
        QTest::mouseClick(d->FirstButton(), Qt::LeftButton);
        stayedOpen = d->isVisible();
        message = d->MessageText();
        d->EditBox()->setText(" Prospects ");
        QTest::mouseClick(d->FirstButton(), Qt::LeftButton);
    });
    EXPECT_EQ(AskText("Naam van de lijst", forbidden, "Klanten"), "Prospects");
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(message.endsWith("Deze naam mag niet gebruikt worden:\nKlanten\nLeveranciers"))
        << message.toStdString();
}

TEST_F(MsgDlgTest, EnterWithAForbiddenNameShowsTheNoticeAndStaysOpen)
{
    QString notice;
    bool stayedOpen = false;
    WhenModal([&](QWidget* w) {
        TmyMsgDlg* d = AsMsgDlg(w);
        WhenModal([&](QWidget* n) {
            notice = AsMsgDlg(n)->MessageText();
            QTest::keyClick(n, Qt::Key_Return);
        }, d);
        QTest::keyClick(d->EditBox(), Qt::Key_Return);
        stayedOpen = d->isVisible();
        QTest::keyClick(d->EditBox(), Qt::Key_Escape);
    });
    EXPECT_EQ(AskText("Naam van de lijst", {"Klanten"}, "KLANTEN"), "");
    EXPECT_EQ(notice, "Lijst met zelfde naam bestaat al");
    EXPECT_TRUE(stayedOpen);

    WhenModal([](QWidget* w) {
        TmyMsgDlg* d = AsMsgDlg(w);
        d->EditBox()->setText("Nieuwe lijst");
        QTest::keyClick(d->EditBox(), Qt::Key_Enter);
    });
    EXPECT_EQ(AskText("Naam van de lijst", {"Klanten"}, "Klanten"), "Nieuwe lijst");
}

TEST_F(MsgDlgTest, AskTextAppendsTheCheckBoxStateAndFiltersNumbers)
{
    WhenModal([](QWidget* w) {
        TmyMsgDlg* d = AsMsgDlg(w);
        EXPECT_EQ(d->windowTitle(), "Aantal");
        auto* check = d->findChild<QCheckBox*>();
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->text(), "Afdrukken");
        check->setChecked(true);
        d->EditBox()->clear();
        QTest::keyClicks(d->EditBox(), "1a2.5x");
        QTest::mouseClick(d->FirstButton(), Qt::LeftButton);
    });
    EXPECT_EQ(AskText("Aantal", {}, "", "Afdrukken", false, true),
              QString("12") + DecimalSeparator() + "5|TRUE");

    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(AskText("Aantal", {}, "3", "Afdrukken", false, true), "|FALSE");
}

TEST_F(MsgDlgTest, HookAnswersWithoutAWindow)
{
    AddTranslation("Doorgaan?", "Doorgaan?", "Continuer ?", "Weiter?", "Continue?");
    SetLanguageIndex(2);
    QStringList seen;
    SetMessageHook([&](const MessageRequest& r) {
        seen << r.text + "/" + r.buttons.join(",");
        MessageAnswer a;
        a.result = r.asksText ? 1 : 7;
        a.text = r.initialText;
        a.checked = true;
        return a;
    });
    EXPECT_EQ(Ask("Doorgaan?"), 7);
    ShowNotice("Doorgaan?", false);
    EXPECT_EQ(AskText("Naam", {"Klanten"}, "Andere", "Vink"), "Andere|TRUE");
    EXPECT_EQ(AskText("Naam", {"Klanten"}, "klanten"), "");  // still refused
    EXPECT_EQ(seen.value(0), "Continuer ?/Ja,Nee");
    EXPECT_EQ(seen.value(1), "Doorgaan?/OK");
}

}  // namespace
