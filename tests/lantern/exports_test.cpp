// The exports of liblantern.so, loaded from the build with QLibrary through the client.
#include "lanternhelpers.h"

#include "lantern/lantern_api.h"
#include "lantern/lanternclient.h"

#include "foundation/sharedlibrary.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImageReader>
#include <QPainter>

namespace {

class LanternExports : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(LanternAvailable()) << "liblantern.so is not beside the test"; }
    LanternHome home;
};

QImage Read(const QString& file)
{
    QImageReader reader(file);
    return reader.read();
}

} // namespace

TEST_F(LanternExports, OnlyTheFiveExportsAreVisible)
{
    SharedLibrary library(QStringLiteral("lantern"));
    ASSERT_TRUE(library.isLoaded());
    for (const char* name : {"LetHimScale", "LetHimScaleWeb", "MakeThumbnail", "MakeButton", "GetBitmapRect"})
        EXPECT_NE(library.resolve(name), nullptr) << name;
    // The library's own copy of the foundation stays inside it.
    EXPECT_EQ(library.resolve("_Z13ProgramFolderv"), nullptr);
    EXPECT_EQ(library.resolve("_Z6FitSizeiiii"), nullptr);
}

TEST_F(LanternExports, LibraryIsUnloadedAfterTheCall)
{
    auto mapped = [] {
        QFile maps(QStringLiteral("/proc/self/maps"));
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("liblantern.so");
    };
    {
        SharedLibrary library(QStringLiteral("lantern"));
        ASSERT_TRUE(library.isLoaded());
        EXPECT_TRUE(mapped());
    }
    EXPECT_FALSE(mapped());
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::black);
    EXPECT_EQ(GetBitmapRect(picture), QRect(0, 0, 4, 4));
    EXPECT_FALSE(mapped());
}

TEST_F(LanternExports, MissingLibraryOrExportDoesNothing)
{
    SharedLibrary missing(QStringLiteral("nosuchlibrary"));
    EXPECT_FALSE(missing.isLoaded());
    EXPECT_EQ(missing.resolve("MakeThumbnail"), nullptr);
    SharedLibrary library(QStringLiteral("lantern"));
    EXPECT_EQ(library.resolve("NoSuchExport"), nullptr);
}

TEST_F(LanternExports, LibraryInHomeDllFolderComesFirst)
{
    QDir().mkpath(home.path(QStringLiteral("dll")));
    ASSERT_TRUE(QFile::copy(SharedLibraryPath(QStringLiteral("lantern")), home.path(QStringLiteral("dll/liblantern.so"))));
    EXPECT_EQ(SharedLibraryPath(QStringLiteral("lantern")), home.path(QStringLiteral("dll/liblantern.so")));
}

struct ThumbnailCase
{
    QSize picture;
    QSize box;
    bool canvas;
    QSize expected;
};

class LanternThumbnailFit : public LanternExports, public ::testing::WithParamInterface<ThumbnailCase>
{
};

TEST_P(LanternThumbnailFit, GivesTheFittedOrCanvasSize)
{
    const ThumbnailCase c = GetParam();
    const QString source = home.path(QStringLiteral("pictures/source.jpg"));
    ASSERT_TRUE(WriteTestPicture(source, c.picture));
    ASSERT_TRUE(MakeThumbnail(source, home.home(), QStringLiteral("thumb"), c.box.width(), c.box.height(), Qt::white,
                              c.canvas, false));
    EXPECT_EQ(Read(home.path(QStringLiteral("thumb.jpg"))).size(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Boxes, LanternThumbnailFit,
                         ::testing::Values(ThumbnailCase{{400, 300}, {200, 200}, false, {200, 150}},
                                           ThumbnailCase{{300, 400}, {100, 100}, false, {75, 100}},
                                           ThumbnailCase{{300, 400}, {100, 100}, true, {100, 100}},
                                           ThumbnailCase{{1, 1000}, {50, 50}, false, {1, 50}},
                                           ThumbnailCase{{50, 50}, {200, 100}, false, {100, 100}}),
                         [](const ::testing::TestParamInfo<ThumbnailCase>& info) {
                             const ThumbnailCase& c = info.param;
                             return QStringLiteral("%1x%2_in_%3x%4%5")
                                 .arg(c.picture.width()).arg(c.picture.height())
                                 .arg(c.box.width()).arg(c.box.height())
                                 .arg(c.canvas ? QStringLiteral("_canvas") : QString())
                                 .toStdString();
                         });

TEST_F(LanternExports, ThumbnailOnCanvasStartsAtTheCentredColumn)
{
    // 300x400 in 100x100 is 75x100, placed at x = 50 - 37 = 13 on a red canvas.
    const QString source = home.path(QStringLiteral("blue.png"));
    QImage blue(300, 400, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(source));
    ASSERT_TRUE(MakeThumbnail(source, home.home(), QStringLiteral("canvas"), 100, 100, Qt::red, true, true));
    const QImage thumb = Read(home.path(QStringLiteral("canvas.jpg")));
    ASSERT_EQ(thumb.size(), QSize(100, 100));
    auto isRed = [&](int x) { return QColor(thumb.pixel(x, 50)).red() > 200 && QColor(thumb.pixel(x, 50)).blue() < 60; };
    auto isBlue = [&](int x) { return QColor(thumb.pixel(x, 50)).blue() > 200 && QColor(thumb.pixel(x, 50)).red() < 60; };
    EXPECT_TRUE(isRed(5));
    EXPECT_TRUE(isBlue(15));
    EXPECT_TRUE(isBlue(85));
    EXPECT_TRUE(isRed(95));
    // JPEG blurs the edge by a pixel or two; the edge itself lies at 13 and 88.
    EXPECT_TRUE(isRed(10));
    EXPECT_TRUE(isBlue(16));
}

TEST_F(LanternExports, GifThumbnailLeavesTheSourceFolderAlone)
{
    const QString source = home.path(QStringLiteral("pictures/logo.gif"));
    ASSERT_TRUE(WriteTestPicture(source, QSize(120, 60)));
    const QString keep = home.path(QStringLiteral("pictures/temp.gif"));
    QFile(keep).open(QIODevice::WriteOnly);
    ASSERT_TRUE(MakeThumbnail(source, home.home(), QStringLiteral("logo"), 60, 60, Qt::white, false, false));
    EXPECT_EQ(QImageReader(home.path(QStringLiteral("logo.gif"))).format(), QByteArray("gif"));
    EXPECT_EQ(Read(home.path(QStringLiteral("logo.gif"))).size(), QSize(60, 30));
    EXPECT_EQ(QFileInfo(keep).size(), 0);
    // Force JPEG writes a JPEG for the same source.
    ASSERT_TRUE(MakeThumbnail(source, home.home(), QStringLiteral("logo"), 60, 60, Qt::white, false, true));
    EXPECT_EQ(QImageReader(home.path(QStringLiteral("logo.jpg"))).format(), QByteArray("jpeg"));
}

TEST_F(LanternExports, ThumbnailOfMissingUnreadableOrHugeSource)
{
    EXPECT_FALSE(MakeThumbnail(home.path(QStringLiteral("none.jpg")), home.home(), QStringLiteral("a"), 50, 50,
                               Qt::white, false, false));
    EXPECT_TRUE(home.notices().isEmpty());

    const QString broken = home.path(QStringLiteral("broken.jpg"));
    home.folder.write(QStringLiteral("home/broken.jpg"), "not a picture");
    EXPECT_FALSE(MakeThumbnail(broken, home.home(), QStringLiteral("b"), 50, 50, Qt::white, false, false));
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("b.jpg"))));

    const QString huge = home.path(QStringLiteral("huge.png"));
    home.folder.write(QStringLiteral("home/huge.png"), PngClaiming(20000, 10000));
    EXPECT_FALSE(MakeThumbnail(huge, home.home(), QStringLiteral("c"), 50, 50, Qt::white, false, false));
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("c.jpg"))));

    EXPECT_EQ(home.notices(), QStringList({broken + QStringLiteral(" Image not valid"),
                                           huge + QStringLiteral(" Image not valid")}));
}

TEST_F(LanternExports, BadArgumentsAreRefusedAtTheBoundary)
{
    SharedLibrary library(QStringLiteral("lantern"));
    auto thumbnail = library.function<MakeThumbnailFunction>("MakeThumbnail");
    auto button = library.function<MakeButtonFunction>("MakeButton");
    auto rect = library.function<GetBitmapRectFunction>("GetBitmapRect");
    auto scale = library.function<LetHimScaleFunction>("LetHimScale");
    ASSERT_TRUE(thumbnail && button && rect && scale);
    EXPECT_EQ(thumbnail(nullptr, nullptr, nullptr, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(thumbnail("x", "y", "z", -5, 100000, 0, 1, 0), 0);
    EXPECT_EQ(button(nullptr, nullptr, nullptr, nullptr, 8, 0), 0);
    EXPECT_EQ(rect(nullptr, nullptr), 0);
    const LanternBitmap shortStride{10, 10, 4, LANTERN_PIXELS_XRGB32, "x"};
    LanternRect out{};
    EXPECT_EQ(rect(&shortStride, &out), 0);
    char result[4] = "abc";
    EXPECT_EQ(scale(nullptr, home.path(QStringLiteral("none.jpg")).toUtf8().constData(), 0, result, 4), 0);
    EXPECT_STREQ(result, "");
}

TEST_F(LanternExports, BitmapRectOfADrawnPicture)
{
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(QColor(252, 254, 252));
    QPainter painter(&picture);
    painter.fillRect(QRect(30, 20, 10, 5), Qt::black);
    painter.fillRect(QRect(70, 50, 3, 4), QColor(252, 254, 251));   // one step off the background
    painter.end();
    EXPECT_EQ(GetBitmapRect(picture), QRect(QPoint(30, 20), QPoint(72, 53)));

    picture.fill(QColor(252, 254, 252));
    EXPECT_EQ(GetBitmapRect(picture), QRect(0, 0, 120, 80));

    // 24-bit pixels with a padded stride go through the same path.
    QImage rgb(5, 3, QImage::Format_RGB888);
    rgb.fill(QColor(252, 254, 252));
    rgb.setPixel(4, 1, qRgb(0, 0, 0));
    SharedLibrary library(QStringLiteral("lantern"));
    auto call = library.function<GetBitmapRectFunction>("GetBitmapRect");
    const LanternBitmap bitmap{5, 3, int(rgb.bytesPerLine()), LANTERN_PIXELS_RGB24, rgb.constBits()};
    LanternRect out{};
    ASSERT_EQ(call(&bitmap, &out), 1);
    EXPECT_EQ(out.left, 4);
    EXPECT_EQ(out.top, 1);
    EXPECT_EQ(out.right, 4);
    EXPECT_EQ(out.bottom, 1);
}

TEST_F(LanternExports, LetHimScaleOkKeepsAnUnchangedPicture)
{
    const QString source = home.path(QStringLiteral("Photo.JPG"));
    ASSERT_TRUE(TestPicture(QSize(80, 60)).save(source, "JPEG"));
    ClickInModalDialog(QStringLiteral("btnOk"));
    EXPECT_EQ(LetHimScale(home.home(), source, false), QStringLiteral("temp.jpg"));
    QFile copy(home.path(QStringLiteral("bmp/temp.jpg")));
    QFile original(source);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original.readAll());
    // Ok writes the presets back.
    EXPECT_TRUE(QFileInfo::exists(home.path(QStringLiteral("web.ini"))));
    // Nothing of the dialog keeps the library in memory.
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("liblantern.so"));
}

TEST_F(LanternExports, LetHimScaleMakesGifAndScalesWhenAsked)
{
    const QString source = home.path(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(TestPicture(QSize(400, 300)).save(source, "JPEG"));
    ClickInModalDialog(QStringLiteral("btnOk"), [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Scale"));
        EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        dialog->findChild<QAbstractButton*>(QStringLiteral("btnPreset2"))->click();
    });
    EXPECT_EQ(LetHimScale(home.home(), source, true), QStringLiteral("temp.gif"));
    QImageReader reader(home.path(QStringLiteral("bmp/temp.gif")));
    EXPECT_EQ(reader.format(), QByteArray("gif"));
    EXPECT_EQ(reader.size(), QSize(200, 150));
}

TEST_F(LanternExports, LetHimScaleCancelledGivesNothing)
{
    const QString source = home.path(QStringLiteral("photo.png"));
    ASSERT_TRUE(WriteTestPicture(source, QSize(50, 40)));
    ClickInModalDialog(QStringLiteral("btnCancel"));
    EXPECT_EQ(LetHimScale(home.home(), source, false), QString());
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("bmp/temp.png"))));
}

TEST_F(LanternExports, LetHimScaleWebAlwaysEncodes)
{
    const QString source = home.path(QStringLiteral("photo.png"));
    ASSERT_TRUE(WriteTestPicture(source, QSize(50, 40)));
    ClickInModalDialog(QStringLiteral("btnOk"));
    EXPECT_EQ(LetHimScaleWeb(home.home(), source), QStringLiteral("temp.jpg"));
    EXPECT_EQ(QImageReader(home.path(QStringLiteral("bmp/temp.jpg"))).format(), QByteArray("jpeg"));
}

TEST_F(LanternExports, LetHimScaleOfUnreadablePictureSaysSo)
{
    home.folder.write(QStringLiteral("home/bad.jpg"), "nonsense");
    EXPECT_EQ(LetHimScale(home.home(), home.path(QStringLiteral("bad.jpg")), false), QString());
    EXPECT_EQ(home.notices(), QStringList(home.path(QStringLiteral("bad.jpg")) + QStringLiteral(" Image not valid")));
}
