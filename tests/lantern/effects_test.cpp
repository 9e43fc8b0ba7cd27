// Each effect does what its name promises, checked on measurable properties.
#include "lanternhelpers.h"

#include "lantern/effects.h"
#include "lantern/gifwriter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Stats
{
    double mean = 0;
    double spread = 0;     // standard deviation of the grey values
    double saturation = 0; // mean of max - min channel
    double roughness = 0;  // mean difference between neighbours
};

Stats Measure(const QImage& image)
{
    Stats s;
    const int n = image.width() * image.height();
    double sum = 0, sum2 = 0, sat = 0, rough = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int g = qGray(p);
            sum += g;
            sum2 += double(g) * g;
            sat += std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
            if (x > 0)
                rough += std::abs(g - qGray(image.pixel(x - 1, y)));
        }
    }
    s.mean = sum / n;
    s.spread = std::sqrt(sum2 / n - s.mean * s.mean);
    s.saturation = sat / n;
    s.roughness = rough / n;
    return s;
}

class LanternEffects : public ::testing::Test
{
protected:
    QImage picture = TestPicture(QSize(90, 60)).convertToFormat(QImage::Format_RGB32);
    Stats original = Measure(picture);
};

} // namespace

TEST_F(LanternEffects, EveryNamedEffectChangesThePicture)
{
    for (const QString& name : EffectNames()) {
        if (name == QStringLiteral("blend"))
            continue;
        const QImage out = ApplyEffect(name, picture, 10);
        ASSERT_FALSE(out.isNull()) << name.toStdString();
        EXPECT_NE(out, picture) << name.toStdString();
        if (name == QStringLiteral("Rotate90"))
            EXPECT_EQ(out.size(), picture.size().transposed());
        else
            EXPECT_EQ(out.size(), picture.size()) << name.toStdString();
    }
    EXPECT_EQ(ApplyEffect(QStringLiteral("no such effect"), picture, 10), picture);
    EXPECT_EQ(EffectNames().size(), 24);
}

TEST_F(LanternEffects, ToneEffects)
{
    EXPECT_GT(Measure(Contrast(picture, 40)).spread, original.spread * 1.05);
    EXPECT_LT(Measure(Contrast(picture, -50)).spread, original.spread * 0.6);
    EXPECT_GT(Measure(Lightness(picture, 20)).mean, original.mean + 30);
    EXPECT_LT(Measure(Lightness(picture, -20)).mean, original.mean - 30);
    EXPECT_GT(Measure(Saturation(picture, 50)).saturation, original.saturation * 1.3);
    EXPECT_NEAR(Measure(Saturation(picture, -100)).saturation, 0, 1.0);
    EXPECT_EQ(Measure(Grayscale(picture)).saturation, 0);
    EXPECT_NEAR(Measure(Grayscale(picture)).mean, original.mean, 2.0);
    EXPECT_EQ(Invert(Invert(picture)), picture);
    EXPECT_EQ(Invert(picture).pixel(3, 4), qRgb(255, 255, 255) - (picture.pixel(3, 4) & 0xffffff) | 0xff000000u);
    // Split light folds the curve: a mid grey and a full white land far from their order.
    const QImage light = SplitLight(picture, 10);
    EXPECT_NE(light, picture);
}

TEST_F(LanternEffects, BlursSmoothAndNoiseRoughens)
{
    const QImage noisy = MonoNoise(picture, 40);
    const double rough = Measure(noisy).roughness;
    EXPECT_LT(Measure(GaussianBlur(noisy, 4)).roughness, rough * 0.3);
    EXPECT_LT(Measure(BoxBlur(noisy, 6)).roughness, rough * 0.5);
    EXPECT_LT(Measure(SplitBlur(noisy, 3)).roughness, rough * 0.8);
    EXPECT_LT(Measure(Antialias(noisy)).roughness, rough * 0.8);
    EXPECT_GT(Measure(ColorNoise(picture, 30)).roughness, original.roughness * 2);
    EXPECT_GT(Measure(MonoNoise(picture, 30)).roughness, original.roughness * 2);
    EXPECT_EQ(Measure(MonoNoise(Grayscale(picture), 30)).saturation, 0);   // mono noise adds no colour
    EXPECT_GT(Measure(ColorNoise(Grayscale(picture), 30)).saturation, 5);
    // A flat picture stays flat under blur, edges included.
    QImage flat(20, 20, QImage::Format_RGB32);
    flat.fill(qRgb(10, 200, 30));
    EXPECT_EQ(GaussianBlur(flat, 5), flat);
}

TEST_F(LanternEffects, GeometricEffects)
{
    EXPECT_EQ(MirrorHorizontal(picture).pixel(0, 5), picture.pixel(89, 5));
    EXPECT_EQ(MirrorVertical(picture).pixel(5, 0), picture.pixel(5, 59));
    EXPECT_EQ(Rotate90(picture).pixel(59, 0), picture.pixel(0, 0));   // clockwise
    const QImage quatro = QuatroOp(picture);
    EXPECT_EQ(quatro.pixel(2, 2), quatro.pixel(87, 2));
    EXPECT_EQ(quatro.pixel(2, 2), quatro.pixel(2, 57));
    const QImage mosaic = Mosaic(picture, 15);
    EXPECT_EQ(mosaic.pixel(15, 15), mosaic.pixel(29, 29));
    EXPECT_NE(mosaic.pixel(14, 14), mosaic.pixel(15, 15));
    // Ripples keep the colours but move them.
    for (const QImage& ripple : {RippleI(picture, 5), RippleII(picture, 5), RippleIII(picture, 5), Spray(picture, 3)})
        EXPECT_NEAR(Measure(ripple).mean, original.mean, 10.0);
    EXPECT_NE(RippleI(picture, 5).pixel(45, 7), picture.pixel(45, 7));
}

TEST_F(LanternEffects, TexturesAndHeightMap)
{
    QImage grey(64, 64, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    EXPECT_GT(Measure(Texturize(grey, 50)).roughness, 5);
    EXPECT_GT(Measure(TexturizeII(grey, 50)).roughness, 5);
    EXPECT_NE(Texturize(grey, 50), TexturizeII(grey, 50));
    // A flat picture has no relief: the height map is even grey.
    const QImage flatMap = HeightMap(grey, 10);
    EXPECT_EQ(flatMap.pixel(10, 10), qRgb(128, 128, 128));
    EXPECT_EQ(Measure(HeightMap(picture, 10)).saturation, 0);
    EXPECT_GT(Measure(HeightMap(picture, 10)).spread, 5);
}

TEST_F(LanternEffects, BlendAndScanLines)
{
    QImage black(10, 10, QImage::Format_RGB32);
    black.fill(Qt::black);
    QImage white(3, 3, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(BlendPictures(black, white, 0.25).pixel(5, 5), qRgb(64, 64, 64));
    const QImage lines = ScanLines(white.scaled(4, 4), 50, 1);
    EXPECT_EQ(lines.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(lines.pixel(0, 1), qRgb(127, 127, 127));
}

TEST(LanternGif, FewColoursStayExactManyAreReduced)
{
    QImage flags(30, 10, QImage::Format_RGB32);
    flags.fill(qRgb(1, 2, 3));
    for (int x = 10; x < 20; ++x)
        for (int y = 0; y < 10; ++y)
            flags.setPixel(x, y, qRgb(250, 100, 7));
    const QImage exact = ReduceColours(flags, 16);
    EXPECT_EQ(exact.colorCount(), 2);
    EXPECT_EQ(exact.convertToFormat(QImage::Format_RGB32), flags);

    const QImage photo = TestPicture(QSize(120, 80));
    ASSERT_GT(ColourCount(photo), 256);
    for (int bits : {1, 3, 4, 8}) {
        const QByteArray gif = EncodeGif(photo, bits);
        ASSERT_FALSE(gif.isEmpty());
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(gif, "GIF"));
        EXPECT_EQ(decoded.size(), photo.size());
        EXPECT_LE(ColourCount(decoded), 1 << bits) << bits;
        EXPECT_GT(ColourCount(decoded), (1 << bits) / 2) << bits;
    }
}
