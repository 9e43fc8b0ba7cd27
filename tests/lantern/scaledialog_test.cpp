// The scaling dialog driven offscreen with QTest.
#include "lanternhelpers.h"

#include "lantern/effects.h"
#include "lantern/scaledialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRubberBand>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace {

class LanternScaleDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = home.path(QStringLiteral("picture.png"));
        ASSERT_TRUE(WriteTestPicture(source, QSize(400, 300)));
    }

    std::unique_ptr<TfrmScalePicture> open()
    {
        auto dialog = std::make_unique<TfrmScalePicture>(home.home(), source, TScaleSession::Output::Keep, false);
        dialog->show();
        return dialog;
    }

    template <typename T>
    static T* child(QWidget* dialog, const char* name)
    {
        T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    static QSize pictureSize(TfrmScalePicture* dialog) { return dialog->session().picture().size(); }

    LanternHome home;
    QString source;
};

} // namespace

TEST_F(LanternScaleDialog, PresetsFromWebIniAndStretch)
{
    home.folder.write(QStringLiteral("home/web.ini"), "DEFIMG1=50|50\r\nDEFIMG3=320|100\r\n");
    auto dialog = open();
    auto* preset1 = child<QPushButton>(dialog.get(), "btnPreset1");
    auto* preset2 = child<QPushButton>(dialog.get(), "btnPreset2");
    auto* preset3 = child<QPushButton>(dialog.get(), "btnPreset3");
    EXPECT_EQ(preset1->text(), QStringLiteral("50*50"));
    EXPECT_EQ(preset2->text(), QStringLiteral("200*200"));
    EXPECT_EQ(preset3->text(), QStringLiteral("320*100"));

    QTest::mouseClick(preset2, Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(200, 150));
    EXPECT_EQ(child<QSpinBox>(dialog.get(), "edtWidth")->value(), 200);
    EXPECT_EQ(child<QSpinBox>(dialog.get(), "edtHeight")->value(), 150);

    QTest::mouseClick(preset3, Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(133, 100));

    child<QCheckBox>(dialog.get(), "chkStretch")->setChecked(true);
    QTest::mouseClick(preset2, Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(200, 200));
}

TEST_F(LanternScaleDialog, PlusStoresTheCurrentSizeAndOkWritesWebIni)
{
    auto dialog = open();
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnPreset3"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnSmaller"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(250, 188));   // 300x225 / 1.2, rounded
    QTest::mouseClick(child<QToolButton>(dialog.get(), "btnStore1"), Qt::LeftButton);
    EXPECT_EQ(child<QPushButton>(dialog.get(), "btnPreset1")->text(), QStringLiteral("250*188"));
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("web.ini"))));

    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnOk"), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QStringLiteral("temp.jpg"));
    const QByteArray ini = home.folder.read(QStringLiteral("home/web.ini"));
    EXPECT_TRUE(ini.contains("DEFIMG1=250|188")) << ini.constData();
    EXPECT_TRUE(ini.contains("DEFIMG2=200|200"));
}

TEST_F(LanternScaleDialog, WidthFieldKeepsProportionsUnlessStretched)
{
    auto dialog = open();
    auto* width = child<QSpinBox>(dialog.get(), "edtWidth");
    auto* height = child<QSpinBox>(dialog.get(), "edtHeight");
    EXPECT_EQ(width->value(), 400);
    width->setFocus();
    QTest::keyClick(width, Qt::Key_Up);
    EXPECT_EQ(width->value(), 401);
    EXPECT_EQ(height->value(), 301);   // 300.75 rounded
    width->setValue(100);
    EXPECT_EQ(height->value(), 75);
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnScale"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(100, 75));

    child<QCheckBox>(dialog.get(), "chkStretch")->setChecked(true);
    width->setValue(50);
    EXPECT_EQ(height->value(), 75);
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnScale"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(50, 75));
}

TEST_F(LanternScaleDialog, BiggerSmallerAndTheirLimit)
{
    auto dialog = open();
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnPreset1"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(100, 75));
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnBigger"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(120, 90));
    child<QCheckBox>(dialog.get(), "chkStretch")->setChecked(true);
    child<QSpinBox>(dialog.get(), "edtWidth")->setValue(2);
    child<QSpinBox>(dialog.get(), "edtHeight")->setValue(1);
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnScale"), Qt::LeftButton);
    ASSERT_EQ(pictureSize(dialog.get()), QSize(2, 1));
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnSmaller"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(2, 1));   // 1 / 1.2 would round to 1, 2 / 1.2 to 2: same size
    child<QSpinBox>(dialog.get(), "edtWidth")->setValue(1);
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnScale"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnSmaller"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(1, 1));
}

TEST_F(LanternScaleDialog, DraggingCropsAndUndoRestores)
{
    auto dialog = open();
    QWidget* view = child<QWidget>(dialog.get(), "imgPicture");
    const QImage before = dialog->session().picture();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(150, 100));
    QTest::mouseMove(view, QPoint(200, 140));
    auto* band = view->findChild<QRubberBand*>();
    ASSERT_NE(band, nullptr);
    EXPECT_TRUE(band->isVisible());
    EXPECT_EQ(band->geometry(), QRect(QPoint(150, 100), QPoint(200, 140)));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(250, 180));
    EXPECT_FALSE(band->isVisible());
    EXPECT_EQ(pictureSize(dialog.get()), QSize(101, 81));
    EXPECT_EQ(dialog->session().picture().pixel(0, 0), before.pixel(150, 100));
    EXPECT_TRUE(dialog->session().isModified());

    // A click without dragging crops nothing.
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(pictureSize(dialog.get()), QSize(101, 81));

    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnUndo"), Qt::LeftButton);
    EXPECT_EQ(dialog->session().picture(), before);
}

TEST_F(LanternScaleDialog, ExpertShowsEveryEffectAndAppliesTheAmount)
{
    auto dialog = open();
    QWidget* panel = child<QWidget>(dialog.get(), "grpExpert");
    EXPECT_FALSE(panel->isVisible());
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnExpert"), Qt::LeftButton);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(child<QSpinBox>(dialog.get(), "edtAmount")->value(), 10);
    for (const QString& name : EffectNames()) {
        QString objectName = QStringLiteral("btnEffect_") + name;
        objectName.replace(QLatin1Char(' '), QLatin1Char('_'));
        auto* button = panel->findChild<QPushButton*>(objectName);
        ASSERT_NE(button, nullptr) << name.toStdString();
        EXPECT_EQ(button->text(), name);
    }
    const QImage before = dialog->session().picture();
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btnEffect_Rotate90")), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(300, 400));
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("btnEffect_mosaic")), Qt::LeftButton);
    const QImage mosaic = dialog->session().picture();
    EXPECT_EQ(mosaic.pixel(0, 0), mosaic.pixel(9, 9));       // blocks of the amount, 10 pixels
    EXPECT_NE(mosaic.pixel(0, 0), mosaic.pixel(10, 300));
    QTest::mouseClick(child<QPushButton>(dialog.get(), "btnUndo"), Qt::LeftButton);
    EXPECT_EQ(pictureSize(dialog.get()), QSize(300, 400));
    EXPECT_NE(dialog->session().picture(), before);
}
