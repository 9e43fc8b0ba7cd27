#include <gtest/gtest.h>

#include <QLabel>
#include <QVBoxLayout>

#include "common/testfolder.h"
#include "foundation/defaultdialog.h"
#include "foundation/homefolder.h"
#include "foundation/pairfile.h"
#include "foundation/translate.h"

namespace {

class DefaultDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetProgramFolder(folder.path());
        QDir().mkpath(DataFolder());
        ResetTranslations();
        SetLanguageIndex(1);
    }
    void TearDown() override
    {
        SetProgramFolder(QString());
        SetLanguageIndex(1);
        ResetTranslations();
    }
    QString ScreenIni() const { return DataFolder() + "screen.ini"; }
    TestFolder folder;
};

TEST_F(DefaultDialogTest, PlacementRoundTripThroughScreenIni)
{
    {
        TfrmDefaultDialog dialog;
        dialog.setObjectName("dlgZoeken");
        dialog.resize(500, 300);
        dialog.show();
        EXPECT_EQ(dialog.pos(), QPoint(40, 80));  // nothing stored yet
        dialog.move(120, 150);
        dialog.resize(320, 210);
        dialog.accept();
    }
    const WindowPlacement stored = LoadWindowPlacement("dlgZoeken", ScreenIni());
    ASSERT_TRUE(stored.found);
    EXPECT_EQ(stored.left, 120);
    EXPECT_EQ(stored.top, 150);
    EXPECT_EQ(stored.width, 320);
    EXPECT_EQ(stored.height, 210);

    TfrmDefaultDialog again;
    again.setObjectName("dlgZoeken");
    again.show();
    EXPECT_EQ(again.pos(), QPoint(120, 150));
    EXPECT_EQ(again.size(), QSize(320, 210));
    again.close();
}

TEST_F(DefaultDialogTest, FixedSizeDialogKeepsItsSizeAndUsesTheClassName)
{
    SaveWindowPlacement(60, 70, 640, 480, QString(), "TfrmDefaultDialog", ScreenIni());
    TfrmDefaultDialog dialog;
    dialog.setFixedSize(200, 100);
    EXPECT_FALSE(dialog.IsSizeable());
    dialog.show();
    EXPECT_EQ(dialog.pos(), QPoint(60, 70));
    EXPECT_EQ(dialog.size(), QSize(200, 100));
    dialog.move(65, 75);
    dialog.reject();
    const WindowPlacement stored = LoadWindowPlacement("TfrmDefaultDialog", ScreenIni());
    EXPECT_EQ(stored.left, 65);
    EXPECT_EQ(stored.width, 200);
}

TEST_F(DefaultDialogTest, TranslatesItselfOnShowUnlessDutch)
{
    AddTranslation("Zoeken", "Zoeken", "Rechercher", "Suchen", "Search");
    TfrmDefaultDialog dialog;
    dialog.setWindowTitle("Zoeken");
    auto* label = new QLabel("Zoeken", &dialog);
    (new QVBoxLayout(&dialog))->addWidget(label);
    dialog.show();
    EXPECT_EQ(label->text(), "Zoeken");
    dialog.hide();
    SetLanguageIndex(3);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Search");
    EXPECT_EQ(label->text(), "Search");
    dialog.hide();
    SetLanguageIndex(2);
    dialog.show();
    EXPECT_EQ(label->text(), "Rechercher");
    dialog.hide();
    SetLanguageIndex(1);  // a dialog shown before in French comes back in Dutch
    dialog.show();
    EXPECT_EQ(label->text(), "Zoeken");
    EXPECT_EQ(dialog.windowTitle(), "Zoeken");
    dialog.hide();
}

}  // namespace
