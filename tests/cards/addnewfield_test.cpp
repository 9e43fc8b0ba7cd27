#include "cards/addnewfield.h"
#include "cards/imagelist.h"
#include "data/fielddefs.h"
#include "data/fieldkinds.h"
#include "foundation/bledit.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"

#include "common/testfolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

int RowOfCode(const TdlAddNewField& dialog, int code)
{
    for (int i = 0; i < dialog.TypeList()->count(); ++i)
        if (dialog.TypeList()->item(i)->data(Qt::UserRole + 1).toInt() == code)
            return i;
    return -1;
}

} // namespace

class AddNewFieldDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(tmp.path());   // screen.ini goes here, not in the user's home
        SetMessageHook([this](const MessageRequest& request) {
            messages.append(request.text);
            return MessageAnswer{};
        });
    }
    void TearDown() override
    {
        SetMessageHook(nullptr);
        SetProgramFolder(QString());
    }

    TestFolder tmp;
    QStringList messages;
};

TEST_F(AddNewFieldDialog, OkNeedsANameAndAType)
{
    TdlAddNewField dialog(2);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Nieuw veld"));
    EXPECT_EQ(dialog.NameEdit()->toolTip(), QStringLiteral("Naam voor een nieuw veld"));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    QTest::keyClicks(dialog.NameEdit(), QStringLiteral("REGIO"));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());   // no type yet
    dialog.TypeList()->setCurrentRow(RowOfCode(dialog, 24));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    dialog.NameEdit()->setText(QStringLiteral("   "));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    dialog.NameEdit()->setText(QStringLiteral("  REGIO "));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.FieldName(), QStringLiteral("REGIO"));
    EXPECT_EQ(dialog.Code(), 24);
}

TEST_F(AddNewFieldDialog, ChoicesInOrderAndTheProductOnesOnlyForProducts)
{
    TdlAddNewField contacts(2);
    TdlAddNewField products(8);
    ASSERT_EQ(contacts.TypeList()->count(), 20);
    ASSERT_EQ(products.TypeList()->count(), 22);
    EXPECT_EQ(contacts.TypeList()->item(0)->text(), QStringLiteral("Tekst"));
    EXPECT_EQ(contacts.TypeList()->item(3)->text(), QStringLiteral("Ja/Nee"));
    EXPECT_EQ(contacts.TypeList()->item(19)->text(), QStringLiteral("Externe afbeelding"));
    EXPECT_EQ(RowOfCode(contacts, 10), -1);
    EXPECT_EQ(RowOfCode(contacts, 41), -1);
    EXPECT_EQ(products.TypeList()->item(20)->text(), QStringLiteral("Productprijs"));
    EXPECT_EQ(products.TypeList()->item(21)->text(), QStringLiteral("Productomschrijving"));
}

TEST_F(AddNewFieldDialog, SizeBoxFollowsTheType)
{
    struct Case
    {
        int code;
        bool enabled;
        int shown;   // 0: whatever it showed before
    };
    const Case cases[] = {
        {6, true, 30},   {7, false, 0},  {8, false, 0},  {9, false, 0},   {10, false, 0}, {11, false, 0},
        {12, false, 0},  {13, false, 0}, {14, true, 20}, {15, true, 20},  {16, true, 20}, {17, true, 50},
        {18, true, 50},  {19, false, 0}, {20, false, 20}, {21, false, 20}, {22, false, 20}, {23, false, 0},
        {24, true, 30},  {25, true, 30}, {37, true, 150}, {41, true, 255},
    };
    TdlAddNewField dialog(8);
    dialog.show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        dialog.SizeBox()->setEnabled(true);
        dialog.SizeBox()->setValue(99);
        dialog.TypeList()->setCurrentRow(RowOfCode(dialog, c.code));
        EXPECT_EQ(dialog.SizeBox()->isEnabled(), c.enabled);
        EXPECT_EQ(dialog.SizeBox()->value(), c.shown ? c.shown : 99);
    }
    dialog.SizeBox()->setEnabled(true);
    dialog.SizeBox()->setValue(0);
    EXPECT_EQ(dialog.SizeBox()->value(), 1);
    dialog.SizeBox()->setValue(300);
    EXPECT_EQ(dialog.SizeBox()->value(), 255);
}

TEST_F(AddNewFieldDialog, RefusedNameKeepsTheDialogOpen)
{
    TdlAddNewField dialog(2);
    const QStringList existing{QStringLiteral("nummer"), QStringLiteral("Name")};
    const QStringList reserved{QStringLiteral("SELECT")};
    int checks = 0;
    dialog.nameCheck = [&](const QString& name, int kind) {
        ++checks;
        const NewNameProblem problem = CheckNewColumnName(name, kind, existing, reserved);
        ShowNameProblem(problem, name);
        return problem == NewNameProblem::None;
    };
    dialog.show();
    dialog.TypeList()->setCurrentRow(0);
    for (const QString& name : {QStringLiteral("NAME"), QStringLiteral("select"), QStringLiteral("a'b")}) {
        dialog.NameEdit()->setText(name);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()) << name.toStdString();
    }
    EXPECT_EQ(checks, 3);
    EXPECT_EQ(messages, (QStringList{"Naam bestaat al!", "<select> mag niet gebruikt worden als veldnaam",
                                     "<a'b> mag niet gebruikt worden als veldnaam"}));
    dialog.NameEdit()->setText(QStringLiteral("REGIO"));
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(AddNewFieldDialog, KeyboardOnly)
{
    TdlAddNewField dialog(2);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.NameEdit()->setFocus();
    QTest::keyClicks(dialog.NameEdit(), QStringLiteral("WEBSITE2"));
    QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);   // Enter moves on, like Tab
    ASSERT_TRUE(dialog.TypeList()->hasFocus());
    QTest::keyClick(dialog.TypeList(), Qt::Key_Home);
    EXPECT_EQ(dialog.Code(), 6);
    for (int i = 0; i < 13; ++i)
        QTest::keyClick(dialog.TypeList(), Qt::Key_Down);
    EXPECT_EQ(dialog.Code(), 18);
    EXPECT_EQ(dialog.SizeBox()->value(), 50);
    QTest::keyClick(dialog.TypeList(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.FieldName(), QStringLiteral("WEBSITE2"));

    TdlAddNewField cancelled(2);
    cancelled.show();
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

TEST_F(AddNewFieldDialog, SizeChangeModeClosesAtOnce)
{
    TdlAddNewField dialog(2);
    bool checked = false;
    dialog.nameCheck = [&](const QString&, int) {
        checked = true;
        return false;
    };
    dialog.SetSizeChangeMode(QStringLiteral("Naam"), 50);
    dialog.show();
    EXPECT_FALSE(dialog.NameEdit()->isEnabled());
    EXPECT_EQ(dialog.NameEdit()->text(), QStringLiteral("Naam"));
    EXPECT_EQ(dialog.TypeList()->currentRow(), 0);
    EXPECT_EQ(dialog.SizeBox()->value(), 50);
    EXPECT_TRUE(dialog.SizeBox()->isEnabled());
    dialog.SizeBox()->setValue(20);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_FALSE(checked);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.FieldSize(), 20);
}

TEST(ImageList, CellsOfTheRenderedStripAndNoneWithoutAFile)
{
    const QList<QIcon> icons = LoadImageList(QStringLiteral(QUILLON_BINARY_DIR "/share/quillon/bmp/ILsmall.bmp"), 16);
    ASSERT_GT(icons.size(), 41);
    EXPECT_FALSE(icons.at(41).isNull());
    const QImage cell = icons.at(6).pixmap(16, 16).toImage();
    EXPECT_EQ(cell.size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(cell.pixel(0, 0)), 0);   // magenta turned transparent
    EXPECT_TRUE(LoadImageList(QStringLiteral("/nonexistent/ILsmall.bmp"), 16).isEmpty());
    TestFolder tmp;
    tmp.write(QStringLiteral("bad.bmp"), "not a picture");
    EXPECT_TRUE(LoadImageList(tmp.file(QStringLiteral("bad.bmp")), 16).isEmpty());
}
