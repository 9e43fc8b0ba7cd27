#include <gtest/gtest.h>

#include <QImage>

namespace {

const QString kPictures = QStringLiteral(QUILLON_BINARY_DIR "/share/quillon/bmp/");

QImage Load(const char* name)
{
    // conIcons.gmp is a bitmap under another extension.
    return QImage(kPictures + QLatin1String(name), "BMP");
}

TEST(Artwork, StripsHoldEveryIndexTheProgramUses)
{
    const struct { const char* name; int cell; int cells; } strips[] = {
        {"IL265.bmp", 24, 62},   // tool buttons use 0..61
        {"ILsmall.bmp", 16, 61}, // field-tree icons 0..60, 13 the record icon
        {"conIcons.gmp", 16, 45},
    };
    for (const auto& s : strips) {
        SCOPED_TRACE(s.name);
        const QImage strip = Load(s.name);
        ASSERT_FALSE(strip.isNull());
        EXPECT_EQ(strip.height(), s.cell);
        EXPECT_EQ(strip.width(), s.cell * s.cells);
        // Every cell has a drawn icon on the transparent colour.
        for (int i = 0; i < s.cells; ++i) {
            int drawn = 0;
            for (int y = 0; y < s.cell; ++y)
                for (int x = 0; x < s.cell; ++x)
                    drawn += (strip.pixel(i * s.cell + x, y) & 0xFFFFFF) != 0xFF00FFu;
            EXPECT_GE(drawn, 10) << "cell " << i << " is empty";
            EXPECT_LT(drawn, s.cell * s.cell * 3 / 4) << "cell " << i << " has no transparent ground";
        }
    }
}

TEST(Artwork, PicturesExist)
{
    for (const char* name : {"contacts.bmp", "design.bmp", "emails.bmp", "cal.bmp",
                             "products.bmp", "fact.bmp"}) {
        const QImage picture = Load(name);
        EXPECT_EQ(picture.size(), QSize(48, 48)) << name;
    }
    EXPECT_EQ(Load("logo.bmp").size(), QSize(300, 80));
    EXPECT_EQ(Load("splash.bmp").size(), QSize(480, 300));
}

} // namespace
