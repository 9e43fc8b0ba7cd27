#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QVBoxLayout>

#include "foundation/bledit.h"
#include "foundation/numbers.h"

namespace {

QString WithSeparator(QString text)
{
    return text.replace(QLatin1Char('#'), DecimalSeparator());
}

TEST(NumberFilter, RulesCharacterByCharacter)
{
    NumberInputRules plain;
    plain.decimalSeparator = QLatin1Char(',');
    NumberInputRules data = plain;
    data.allowNegative = false;
    data.separatorLikeComma = true;
    NumberInputRules dotted = plain;
    dotted.decimalSeparator = QLatin1Char('.');

    struct Case { const char* before; const char* inserted; const char* after; NumberInputRules rules; const char* expected; };
    const Case cases[] = {
        {"", "12ab3", "", plain, "123"},
        {"", "1.5", "", plain, "1,5"},
        {"", "1,5,7.2", "", plain, "1,572"},    // one separator only
        {"1,5", ".", "", plain, ""},
        {"1.5", ",", "", plain, ""},            // a "." already counts
        {"", "-5", "", plain, "-5"},
        {"5", "-", "", plain, ""},              // "-" only at the first position
        {"", "-", "-5", plain, ""},             // and only once
        {"", "--5", "", plain, "-5"},
        {"", "-5", "", data, "5"},              // data-aware: only with AllowNegNumbers
        {"", "3.4", "", dotted, "3.4"},
        {"", "3,4", "", dotted, "3.4"},
        {"", "1\t2\n", "", plain, "12"},        // control characters of pasted text
        {"", "\u0663", "", plain, ""},          // digits of other scripts
        {"", "1 000", "", plain, "1000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilterNumberInput(QString::fromUtf8(c.before), QString::fromUtf8(c.inserted),
                                    QString::fromUtf8(c.after), c.rules),
                  QString::fromUtf8(c.expected))
            << c.before << " + " << c.inserted << " + " << c.after;
    }
}

TEST(NumberFilter, DataAwareTakesTheSeparatorItself)
{
    NumberInputRules data;
    data.separatorLikeComma = true;
    data.decimalSeparator = QChar(0x066B);  // Arabic decimal separator
    EXPECT_EQ(FilterNumberInput("", QString("1") + QChar(0x066B) + "5", "", data),
              QString("1") + QChar(0x066B) + "5");
    data.separatorLikeComma = false;
    EXPECT_EQ(FilterNumberInput("", QString("1") + QChar(0x066B) + "5", "", data), "15");
}

TEST(BlEdit, NumberFilterAppliesToTypedText)
{
    TBlEdit edit;
    edit.SetAllowOnlyNumbers(true);
    edit.show();
    QTest::keyClicks(&edit, "-12a,3.4-x");
    EXPECT_EQ(edit.text(), WithSeparator("-12#34"));
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, "-");
    EXPECT_EQ(edit.text(), WithSeparator("-12#34"));
    QTest::keyClick(&edit, Qt::Key_Backspace);  // control keys still work
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), WithSeparator("-12#3"));

    TBlDBEdit db;
    db.SetAllowOnlyNumbers(true);
    db.show();
    QTest::keyClicks(&db, "-7.5");
    EXPECT_EQ(db.text(), WithSeparator("7#5"));
    db.clear();
    db.SetAllowNegNumbers(true);
    QTest::keyClicks(&db, "-7.5");
    EXPECT_EQ(db.text(), WithSeparator("-7#5"));
}

TEST(BlEdit, NumberFilterAppliesToPastedText)
{
    QClipboard* clipboard = QApplication::clipboard();
    TBlEdit edit;
    edit.SetAllowOnlyNumbers(true);
    edit.show();

    clipboard->setText("x-1a2.5,7 EUR");
    edit.paste();
    EXPECT_EQ(edit.text(), WithSeparator("-12#57"));  // "x" dropped: "-" comes first
    edit.setCursorPosition(3);
    clipboard->setText("-8");
    edit.paste();
    EXPECT_EQ(edit.text(), WithSeparator("-128#57"));  // "-" not at the first position

    edit.clear();
    clipboard->setText("-4,25");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), WithSeparator("-4#25"));

    clipboard->setText("9.9");  // into the middle: the text has a separator already
    edit.setCursorPosition(2);
    edit.paste();
    EXPECT_EQ(edit.text(), WithSeparator("-499#25"));
    EXPECT_EQ(edit.cursorPosition(), 4);

    edit.selectAll();  // replacing a selection frees its separator
    clipboard->setText("0.5");
    edit.paste();
    EXPECT_EQ(edit.text(), WithSeparator("0#5"));
}

TEST(BlEdit, CaseModes)
{
    struct Case { int mode; bool dataAware; const char* typed; const char* expected; };
    const Case cases[] = {
        {0, false, "jAN de VRIES", "jAN de VRIES"},
        {1, false, "jAN de VRIES", "Jan de vries"},
        {1, true, "jAN de VRIES", "JAN De VRIES"},
        {2, false, "jAN de VRIES", "jan de vries"},
        {3, true, "jAN de vries", "JAN DE VRIES"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TBlEdit> edit(c.dataAware ? new TBlDBEdit : new TBlEdit);
        edit->SetCaseMode(c.mode);
        edit->show();
        QTest::keyClicks(edit.get(), c.typed);
        EXPECT_EQ(edit->text(), c.expected) << c.mode << " " << c.dataAware;
    }
    TBlEdit edit;
    edit.SetCaseMode(3);
    edit.setText("door het programma");  // only what the user types
    EXPECT_EQ(edit.text(), "door het programma");
}

TEST(BlEdit, EnterMovesOnAndFocusShowsTheColour)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new TBlEdit(&window);
    auto* second = new TBlEdit(&window);
    auto* third = new TBlEdit(&window);
    third->SetEnterLikeTab(false);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addWidget(third);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    EXPECT_EQ(first->FocusColor(), QApplication::palette().color(QPalette::ToolTipBase));
    const QColor normal = second->palette().color(QPalette::Base);
    first->SetFocusColor(QColor(Qt::yellow));
    first->setText("Amsterdam");
    first->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(first->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(first->cursorPosition(), 9);  // caret to the end on entering

    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_NE(first->palette().color(QPalette::Base), QColor(Qt::yellow));
    QTest::keyClick(second, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(third->hasFocus());
    QTest::keyClick(third, Qt::Key_Return);
    EXPECT_TRUE(third->hasFocus());
    EXPECT_EQ(second->palette().color(QPalette::Base), normal);

    TBlDBEdit db(&window);
    EXPECT_FALSE(db.CursorEndField());
    db.setText("Rotterdam");
    db.setCursorPosition(0);
    db.setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(db.cursorPosition(), 0);
    db.SetFieldName("NAAM");
    EXPECT_EQ(db.property("FieldName").toString(), "NAAM");
}

}  // namespace
