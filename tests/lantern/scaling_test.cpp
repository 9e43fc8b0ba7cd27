#include "lanternhelpers.h"

#include "lantern/scalesession.h"
#include "lantern/scaling.h"

#include <gtest/gtest.h>

#include <QImageReader>

TEST(LanternFit, KeepsProportionsAndNeverGivesZero)
{
    struct Case
    {
        QSize picture, box, expected;
    };
    const Case cases[] = {
        {{400, 300}, {200, 200}, {200, 150}},
        {{300, 400}, {100, 100}, {75, 100}},
        {{100, 100}, {100, 100}, {100, 100}},
        {{5, 1000}, {100, 10}, {1, 10}},       // 0.05 rounds to 0: kept at 1
        {{0, 0}, {100, 100}, {100, 100}},
        {{100, 50}, {0, 0}, {1, 1}},
        {{3, 2}, {5, 5}, {5, 3}},               // 3.33 rounds to 3
        {{4, 1}, {2, 2}, {2, 1}},               // 0.5 halves to the even 0, kept at 1
        {{5, 3}, {10, 10}, {10, 6}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fit(c.picture, c.box), c.expected) << c.picture.width() << "x" << c.picture.height();
}

TEST(LanternFit, BiggerAndSmaller)
{
    EXPECT_EQ(BiggerSize(QSize(100, 50)), QSize(120, 60));
    EXPECT_EQ(SmallerSize(QSize(120, 60)), QSize(100, 50));
    EXPECT_EQ(SmallerSize(QSize(100, 1)), QSize(83, 1));     // 0.83 rounds to 1
    EXPECT_FALSE(SmallerSize(QSize(100, 0)).isValid());
    EXPECT_FALSE(SmallerSize(QSize(0, 1)).isValid());
}

TEST(LanternPresets, DefaultsAndStoredValues)
{
    LanternHome home;
    EXPECT_EQ(ReadScalePresets(home.home()), QList<QSize>({{100, 100}, {200, 200}, {300, 300}}));

    // A missing or broken preset falls back to its own default.
    home.folder.write(QStringLiteral("home/web.ini"), "DEFIMG1=640|480\r\nDEFIMG3=abc|90\r\nOTHER=1\r\n");
    const QList<QSize> presets = ReadScalePresets(home.home());
    EXPECT_EQ(presets, QList<QSize>({{640, 480}, {200, 200}, {300, 90}}));
    EXPECT_EQ(PresetCaption(presets[1]), QStringLiteral("200*200"));

    ASSERT_TRUE(WriteScalePresets(home.home(), {{1, 2}, {3, 4}, {5, 6}}));
    const QByteArray file = home.folder.read(QStringLiteral("home/web.ini"));
    EXPECT_TRUE(file.contains("DEFIMG1=1|2\r\n"));
    EXPECT_TRUE(file.contains("DEFIMG2=3|4\r\n"));
    EXPECT_TRUE(file.contains("OTHER=1"));
    EXPECT_EQ(ReadScalePresets(home.home()), QList<QSize>({{1, 2}, {3, 4}, {5, 6}}));
}

TEST(LanternPicture, LoadsScaledLargeJpegAndRefusesHugeOnes)
{
    LanternHome home;
    const QString photo = home.path(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(TestPicture(QSize(1600, 1200)).save(photo, "JPEG"));
    const QImage scaled = LoadScaledPicture(photo, QSize(200, 150));
    ASSERT_EQ(scaled.size(), QSize(200, 150));
    // The white ellipse stays in the middle, the black square at the upper left.
    EXPECT_GT(qGray(scaled.pixel(100, 75)), 230);
    EXPECT_LT(qGray(scaled.pixel(30, 22)), 40);

    home.folder.write(QStringLiteral("home/huge.png"), PngClaiming(12000, 9000));
    EXPECT_FALSE(PictureSize(home.path(QStringLiteral("huge.png"))).isValid());
    EXPECT_TRUE(LoadPicture(home.path(QStringLiteral("huge.png"))).isNull());
    EXPECT_TRUE(LoadPicture(home.path(QStringLiteral("missing.png"))).isNull());
}

TEST(LanternPicture, TransparencyShowsOnWhite)
{
    LanternHome home;
    QImage clear(4, 4, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(home.path(QStringLiteral("clear.png"))));
    const QImage loaded = LoadPicture(home.path(QStringLiteral("clear.png")));
    EXPECT_EQ(loaded.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(LanternScaleSession, ResultExtensionAndFile)
{
    LanternHome home;
    const QString source = home.path(QStringLiteral("Picture.PNG"));
    ASSERT_TRUE(WriteTestPicture(source, QSize(60, 40)));
    TScaleSession session(home.home(), source);
    ASSERT_TRUE(session.isValid());
    using Output = TScaleSession::Output;
    EXPECT_EQ(session.resultExtension(Output::Keep, false), QStringLiteral(".png"));
    EXPECT_EQ(session.resultExtension(Output::Keep, true), QStringLiteral(".gif"));
    EXPECT_EQ(session.resultExtension(Output::Web, false), QStringLiteral(".jpg"));

    // Make GIF on an unchanged PNG encodes a real GIF rather than copying PNG bytes.
    EXPECT_EQ(session.saveResult(Output::Keep, true), QStringLiteral("temp.gif"));
    EXPECT_EQ(QImageReader(home.path(QStringLiteral("bmp/temp.gif"))).format(), QByteArray("gif"));

    ASSERT_TRUE(session.scaleTo(QSize(30, 20)));
    EXPECT_TRUE(session.isModified());
    EXPECT_EQ(session.resultExtension(Output::Keep, false), QStringLiteral(".jpg"));
    EXPECT_EQ(session.saveResult(Output::Keep, false), QStringLiteral("temp.jpg"));
    EXPECT_EQ(QImageReader(home.path(QStringLiteral("bmp/temp.jpg"))).size(), QSize(30, 20));
}

TEST(LanternScaleSession, ScalingStartsFromTheSourceAndUndoRestores)
{
    LanternHome home;
    const QString source = home.path(QStringLiteral("p.png"));
    ASSERT_TRUE(WriteTestPicture(source, QSize(400, 300)));
    TScaleSession session(home.home(), source);
    ASSERT_TRUE(session.scaleToPreset(0, false));
    EXPECT_EQ(session.picture().size(), QSize(100, 75));
    ASSERT_TRUE(session.applyEffect(QStringLiteral("invert"), 10));
    // The next scaling reads the source again: the inversion is gone.
    ASSERT_TRUE(session.bigger());
    EXPECT_EQ(session.picture().size(), QSize(120, 90));
    EXPECT_GT(qGray(session.picture().pixel(60, 45)), 200);
    ASSERT_TRUE(session.undo());
    EXPECT_EQ(session.picture().size(), QSize(100, 75));
    EXPECT_FALSE(session.canUndo());

    ASSERT_TRUE(session.scaleTo(QSize(1, 1)));
    // A side never rounds down to 0: the smallest picture stays 1x1.
    session.smaller();
    EXPECT_EQ(session.picture().size(), QSize(1, 1));
    EXPECT_FALSE(session.crop(QRect(0, 0, 1, 1)));
}

TEST(LanternScaleSession, BlendUsesTheNamedPictureOrDoesNothing)
{
    LanternHome home;
    const QString source = home.path(QStringLiteral("p.png"));
    QImage black(40, 40, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(source));
    QImage white(10, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(white.save(home.path(QStringLiteral("bmp/blendII.bmp"))));
    TScaleSession session(home.home(), source);
    EXPECT_FALSE(session.blend(QStringLiteral("blendI.bmp"), 50));
    EXPECT_FALSE(session.isModified());
    ASSERT_TRUE(session.blend(QStringLiteral("blendII.bmp"), 50));
    EXPECT_NEAR(qRed(session.picture().pixel(20, 20)), 128, 1);
    ASSERT_TRUE(session.blend(home.path(QStringLiteral("bmp/blendII.bmp")), 100));
    EXPECT_EQ(session.picture().pixel(20, 20), qRgb(255, 255, 255));
}
