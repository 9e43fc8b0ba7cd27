// Rendered buttons and title images through MakeButton, and golden pictures of a few.
#include "lanternhelpers.h"

#include "lantern/button.h"
#include "lantern/buttondescription.h"
#include "lantern/lanternclient.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>

namespace {

class LanternButtons : public ::testing::Test
{
protected:
    void SetUp() override { QDir().mkpath(site() + QStringLiteral("images")); }

    QString site() const { return home.path(QStringLiteral("site/")); }
    QString shared() const { return home.path(QStringLiteral("webtemplates/___shared/")); }
    void writeSiteIni(const QByteArray& text) { home.folder.write(QStringLiteral("home/site/site.ini"), text); }
    QImage output(const QString& name) const
    {
        QImageReader reader(site() + name + QStringLiteral(".gif"));
        return reader.read();
    }
    static void writeSolid(const QString& file, const QSize& size, const QColor& colour)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(SavePicture(image, file));
    }

    LanternHome home;
};

// Pixels that differ by more than a small step in any channel, as a share of all pixels.
double DifferingShare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            if (std::abs(qRed(p) - qRed(q)) > 48 || std::abs(qGreen(p) - qGreen(q)) > 48
                || std::abs(qBlue(p) - qBlue(q)) > 48)
                ++differing;
        }
    return double(differing) / (x.width() * x.height());
}

void ExpectLikeGolden(const QImage& rendered, const QString& name)
{
    const QString file = QStringLiteral(QUILLON_TEST_FIXTURES) + name;
    if (qEnvironmentVariableIsSet("LANTERN_UPDATE_GOLDEN")) {
        ASSERT_TRUE(rendered.save(file));
        return;
    }
    const QImage golden(file);
    ASSERT_FALSE(golden.isNull()) << "missing reference " << file.toStdString();
    ASSERT_EQ(rendered.size(), golden.size());
    EXPECT_LT(DifferingShare(rendered, golden), 0.01) << name.toStdString();
}

} // namespace

TEST(LanternDescription, KeysMatchWholeWordsAndDefaultsHold)
{
    const TWebImageIniString d(QStringLiteral("SHADOWII TRUE\r\nshadowi false\r\nFONTSIZE x\r\nSHADOWCOLORII $0000FF\r\n"
                                              "SHADOWCOLORI 255\r\nBLURVALUE 4\r\nBLUR yes\r\nFONTBOLD true\r\n"
                                              "RECTLEFT 5\r\nRECTRIGHT 50\r\nRECTBOTTOM 20\r\nFONTSIZE 30\r\n"));
    EXPECT_TRUE(d.shadowII);
    EXPECT_FALSE(d.shadowI);
    EXPECT_EQ(d.fontSize, 10);               // the first line wins, and "x" is no number
    EXPECT_EQ(d.shadowColorII, QColor(255, 0, 0));
    EXPECT_EQ(d.shadowColorI, QColor(255, 0, 0));
    EXPECT_EQ(d.blurValue, 4);
    EXPECT_FALSE(d.blur);                    // only "TRUE" is true
    EXPECT_TRUE(d.fontBold);
    EXPECT_TRUE(d.antial);                   // absent: on
    EXPECT_EQ(d.textRect, QRect(5, 0, 45, 20));
    EXPECT_EQ(d.imageWidth, 200);
    EXPECT_EQ(d.imageHeight, 95);
    EXPECT_EQ(d.fontAlignment, 2);
    EXPECT_EQ(d.fontName, QStringLiteral("Liberation Sans"));
    EXPECT_FALSE(TWebImageIniString(QStringLiteral("ANTIAL FALSE")).antial);
}

TEST_F(LanternButtons, AntialRendersLargeAndScalesDown)
{
    writeSiteIni("[SMOOTH]\r\nIMAGEWIDTH 120\r\nIMAGEHEIGHT 30\r\nFONTSIZE 14\r\nBACKCOLOR 16777215\r\n[END]\r\n"
                 "[SHARP]\r\nANTIAL FALSE\r\nIMAGEWIDTH 120\r\nIMAGEHEIGHT 30\r\nFONTSIZE 14\r\nBACKCOLOR 16777215\r\n[END]\r\n");
    ASSERT_TRUE(MakeButton(QStringLiteral("Contact"), site(), QStringLiteral("smooth"), QStringLiteral("SMOOTH"), 8));
    ASSERT_TRUE(MakeButton(QStringLiteral("Contact"), site(), QStringLiteral("sharp"), QStringLiteral("SHARP"), 8));
    const QImage smooth = output(QStringLiteral("smooth"));
    const QImage sharp = output(QStringLiteral("sharp"));
    ASSERT_EQ(smooth.size(), QSize(120, 30));
    ASSERT_EQ(sharp.size(), QSize(120, 30));
    // At the final size the text is drawn without smoothing: black on white only.
    EXPECT_EQ(ColourCount(sharp), 2);
    EXPECT_GT(ColourCount(smooth), 8);
    EXPECT_EQ(smooth.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("bmp/temp.bmp"))));
}

TEST_F(LanternButtons, ColourDepthReducesThePalette)
{
    QImage gradient(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixel(x, y, qRgb(x * 4, y * 8, 255 - x * 2));
    ASSERT_TRUE(gradient.save(site() + QStringLiteral("images/back.png")));
    writeSiteIni("[MENU]\r\nBACKIMAGEON TRUE\r\nBACKIMAGEPATH back.png\r\nIMAGEWIDTH 160\r\nIMAGEHEIGHT 40\r\n"
                 "FONTCOLOR 16777215\r\nSHADOWI TRUE\r\nBLUR TRUE\r\nBLURVALUE 2\r\n[END]\r\n");
    ASSERT_TRUE(MakeButton(QStringLiteral("Products"), site(), QStringLiteral("eight"), QStringLiteral("MENU"), 8));
    ASSERT_TRUE(MakeButton(QStringLiteral("Products"), site(), QStringLiteral("four"), QStringLiteral("MENU"), 4));
    ASSERT_TRUE(MakeButton(QStringLiteral("Products"), site(), QStringLiteral("two"), QStringLiteral("MENU"), 2));
    EXPECT_GT(ColourCount(output(QStringLiteral("eight"))), 100);
    EXPECT_LE(ColourCount(output(QStringLiteral("four"))), 16);
    EXPECT_GT(ColourCount(output(QStringLiteral("four"))), 8);
    EXPECT_LE(ColourCount(output(QStringLiteral("two"))), 4);
}

TEST_F(LanternButtons, MissingBackgroundImageWritesNothing)
{
    writeSiteIni("[MENU]\r\nBACKIMAGEON TRUE\r\nBACKIMAGEPATH gone.jpg\r\n[END]\r\n");
    EXPECT_FALSE(MakeButton(QStringLiteral("Home"), site(), QStringLiteral("home"), QStringLiteral("MENU"), 8));
    EXPECT_FALSE(QFileInfo::exists(site() + QStringLiteral("home.gif")));
    EXPECT_EQ(home.notices(), QStringList(QStringLiteral("waar is ") + site() + QStringLiteral("images/gone.jpg")));
}

TEST_F(LanternButtons, EmptySectionFallsBackToTitlesAndAutoWidthFollowsTheCaption)
{
    writeSiteIni("[TITLES]\r\nAUTOWIDTH TRUE\r\nRECTLEFT 10\r\nRECTTOP 0\r\nRECTRIGHT 20\r\nRECTBOTTOM 30\r\n"
                 "IMAGEHEIGHT 30\r\nANTIAL FALSE\r\nBACKCOLOR 255\r\n[END]\r\n");
    ASSERT_TRUE(MakeButton(QStringLiteral("A"), site(), QStringLiteral("short"), QStringLiteral("NOSUCH"), 8));
    ASSERT_TRUE(MakeButton(QStringLiteral("A much longer caption"), site(), QStringLiteral("long"),
                           QStringLiteral("NOSUCH"), 8));
    const QImage shortTitle = output(QStringLiteral("short"));
    const QImage longTitle = output(QStringLiteral("long"));
    EXPECT_EQ(shortTitle.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_GT(longTitle.width(), shortTitle.width() + 60);
    EXPECT_EQ(longTitle.height(), 30);

    // Centred: the left margin comes back on the right.
    TWebImageIniString d(QStringLiteral("AUTOWIDTH TRUE\r\nRECTLEFT 10\r\nRECTBOTTOM 30\r\nIMAGEHEIGHT 30"));
    const ButtonRender render = RenderButtonImage(d, QStringLiteral("Wide"), site() + QStringLiteral("images/"));
    EXPECT_EQ(d.textRect.right() + 1 + 10, render.image.width());
    EXPECT_TRUE(d.text().contains(QStringLiteral("IMAGEWIDTH %1").arg(render.image.width())));
}

TEST_F(LanternButtons, CapsGoBesideAndBlendMixesIn)
{
    writeSolid(site() + QStringLiteral("images/bar.png"), QSize(20, 20), QColor(0, 0, 200));
    writeSolid(site() + QStringLiteral("images/L_bar.png"), QSize(7, 20), QColor(0, 200, 0));
    writeSolid(site() + QStringLiteral("images/R_bar.png"), QSize(9, 20), QColor(200, 0, 0));
    QImage blend(50, 20, QImage::Format_RGB32);
    blend.fill(QColor(255, 0, 255));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 10; ++x)
            blend.setPixel(x, y, qRgb(255, 255, 255));
    ASSERT_TRUE(blend.save(site() + QStringLiteral("images/Blend_bar.bmp")));
    writeSiteIni("[MENU]\r\nBACKIMAGEON TRUE\r\nBACKIMAGEPATH bar.png\r\nIMAGEWIDTH 50\r\nIMAGEHEIGHT 20\r\n"
                 "ANTIAL FALSE\r\nBLEND TRUE\r\nBLENDTRANSPARENCY 255\r\n[END]\r\n");
    ASSERT_TRUE(MakeButton(QString(), site(), QStringLiteral("capped"), QStringLiteral("MENU"), 8));
    const QImage capped = output(QStringLiteral("capped"));
    ASSERT_EQ(capped.size(), QSize(66, 20));
    EXPECT_EQ(capped.pixel(3, 10), qRgb(255, 255, 255));     // left cap under white blend pixels
    EXPECT_EQ(capped.pixel(30, 10), qRgb(0, 0, 200));        // magenta lets the picture show
    EXPECT_EQ(capped.pixel(62, 10), qRgb(200, 0, 0));
}

TEST_F(LanternButtons, TopicItemTilesTheFramePieces)
{
    const QString images = site() + QStringLiteral("images/");
    auto piece = [&](const char* name, QSize size, QColor colour) {
        writeSolid(images + QStringLiteral("vyx_srch_") + QLatin1String(name) + QStringLiteral(".gif"), size, colour);
    };
    piece("upper_left_corner", {10, 10}, QColor(255, 0, 0));
    piece("upper_right_corner", {10, 10}, QColor(0, 0, 255));
    piece("lower_left_corner", {10, 10}, QColor(255, 255, 0));
    piece("lower_right_corner", {10, 10}, QColor(0, 255, 255));
    piece("leftbar", {10, 5}, QColor(128, 0, 0));
    piece("rightbar", {10, 5}, QColor(0, 0, 128));
    piece("bgp", {20, 5}, QColor(200, 200, 200));
    piece("bottombar", {20, 10}, QColor(0, 128, 0));
    // The top bar is half dark and half light, so each of its tiles can be seen.
    QImage top(20, 10, QImage::Format_RGB32);
    top.fill(QColor(0, 100, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            top.setPixel(x, y, qRgb(0, 250, 0));
    ASSERT_TRUE(SavePicture(top, images + QStringLiteral("vyx_srch_topbar.gif")));
    writeSiteIni("[TOPICITEM]\r\nBACKIMAGEON TRUE\r\nBACKIMAGEPATH ../topicitem.gif\r\nIMAGEWIDTH 239\r\n"
                 "IMAGEHEIGHT 43\r\nFONTCOLOR 16777215\r\n[END]\r\n");

    ASSERT_TRUE(MakeButton(QStringLiteral("News"), site(), QStringLiteral("topic"), QStringLiteral("TOPICITEM"), 8));
    const QImage frame(shared() + QStringLiteral("topicitem.gif"));
    ASSERT_EQ(frame.size(), QSize(239, 43));
    EXPECT_EQ(frame.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(9, 9), qRgb(255, 0, 0));
    // (239 - 20) div 20 = 10 tiles of the top bar from x = 10 to 210.
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(frame.pixel(10 + 20 * i, 5), qRgb(0, 100, 0)) << i;
        EXPECT_EQ(frame.pixel(29 + 20 * i, 5), qRgb(0, 250, 0)) << i;
    }
    EXPECT_EQ(frame.pixel(210, 5), qRgb(255, 255, 255));
    EXPECT_EQ(frame.pixel(228, 5), qRgb(255, 255, 255));
    EXPECT_EQ(frame.pixel(229, 5), qRgb(0, 0, 255));
    EXPECT_EQ(frame.pixel(238, 9), qRgb(0, 0, 255));
    // (43 - 20) div 5 = 4 rows of the side bars, from y = 10 to 30.
    EXPECT_EQ(frame.pixel(5, 29), qRgb(128, 0, 0));
    EXPECT_EQ(frame.pixel(5, 31), qRgb(255, 255, 255));
    EXPECT_EQ(frame.pixel(100, 20), qRgb(200, 200, 200));
    EXPECT_EQ(frame.pixel(233, 12), qRgb(0, 0, 128));
    EXPECT_EQ(frame.pixel(5, 40), qRgb(255, 255, 0));
    EXPECT_EQ(frame.pixel(100, 40), qRgb(0, 128, 0));
    EXPECT_EQ(frame.pixel(235, 40), qRgb(0, 255, 255));

    // The button itself is rendered over the assembled frame.
    const QImage button = output(QStringLiteral("topic"));
    ASSERT_EQ(button.size(), QSize(239, 43));
    EXPECT_EQ(button.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(LanternTopicFrame, EmptyPiecesGiveNoTilesAndNoDivisionByZero)
{
    auto solid = [](int w, int h, QRgb c) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(c);
        return image;
    };
    QList<QImage> pieces(9);
    pieces[0] = solid(10, 10, qRgb(255, 0, 0));
    pieces[2] = solid(10, 10, qRgb(0, 0, 255));
    // Top bar and left bar are empty: their tile widths and heights are 0.
    const QImage frame = AssembleTopicFrame(pieces);
    ASSERT_EQ(frame.size(), QSize(239, 43));
    EXPECT_EQ(frame.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(100, 5), qRgb(255, 255, 255));
    EXPECT_EQ(frame.pixel(235, 5), qRgb(0, 0, 255));
    EXPECT_TRUE(AssembleTopicFrame({}).isNull());
}

TEST_F(LanternButtons, TopicItemWithAMissingPieceEndsCleanly)
{
    const QString images = site() + QStringLiteral("images/");
    for (const char* name : {"upper_left_corner", "topbar", "upper_right_corner", "leftbar", "bgp",
                             "lower_left_corner", "bottombar", "lower_right_corner"})
        writeSolid(images + QStringLiteral("vyx_srch_") + QLatin1String(name) + QStringLiteral(".jpg"), {10, 10}, Qt::gray);
    EXPECT_FALSE(MakeButton(QStringLiteral("News"), site(), QStringLiteral("topic"), QStringLiteral("TOPICITEM"), 8));
    EXPECT_EQ(home.notices(), QStringList(QStringLiteral("waar is ") + images + QStringLiteral("vyx_srch_rightbar.jpg")));
    EXPECT_FALSE(QFileInfo::exists(shared() + QStringLiteral("topicitem.gif")));
    EXPECT_FALSE(QFileInfo::exists(site() + QStringLiteral("topic.gif")));
}

TEST_F(LanternButtons, TopicItemWithoutPiecesUsesTheDefaultFrame)
{
    writeSolid(shared() + QStringLiteral("images/defaulttopicitem.gif"), {239, 43}, QColor(0, 0, 255));
    home.folder.write(QStringLiteral("home/webtemplates/___shared/site.ini"),
                      "[TOPICITEM2]\r\nBACKIMAGEON TRUE\r\nBACKIMAGEPATH ../topicitem.gif\r\nIMAGEWIDTH 239\r\n"
                      "IMAGEHEIGHT 43\r\nANTIAL FALSE\r\n[END]\r\n");
    ASSERT_TRUE(MakeButton(QString(), site(), QStringLiteral("topic"), QStringLiteral("TOPICITEM2"), 8));
    EXPECT_EQ(QImage(shared() + QStringLiteral("topicitem.gif")).pixel(3, 3), qRgb(0, 0, 255));
    EXPECT_EQ(output(QStringLiteral("topic")).pixel(3, 3), qRgb(0, 0, 255));
}

TEST_F(LanternButtons, LookLikeTheirReferencePictures)
{
    QImage stripes(40, 24, QImage::Format_RGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            stripes.setPixel(x, y, qRgb(40 + x * 4, 90 + y * 3, 160));
    ASSERT_TRUE(stripes.save(site() + QStringLiteral("images/tile.png")));
    writeSiteIni(
        "[PLAIN]\r\nIMAGEWIDTH 140\r\nIMAGEHEIGHT 36\r\nRECTLEFT 0\r\nRECTTOP 0\r\nRECTRIGHT 140\r\nRECTBOTTOM 36\r\n"
        "FONTSIZE 14\r\nFONTBOLD TRUE\r\nFONTCOLOR 16777215\r\nBACKCOLOR 8404992\r\nSHADOWI TRUE\r\n"
        "SHADOWCOLORI 0\r\nSHADOWEXTENTI 2\r\nBLUR TRUE\r\nBLURVALUE 2\r\n[END]\r\n"
        "[TILED]\r\nBACKIMAGEON TRUE\r\nBACKIMAGEPATH tile.png\r\nTILED TRUE\r\nTVFILTER TRUE\r\nIMAGEWIDTH 160\r\n"
        "IMAGEHEIGHT 30\r\nRECTLEFT 8\r\nRECTTOP 0\r\nRECTRIGHT 152\r\nRECTBOTTOM 30\r\nFONTALIGNMENT 0\r\n"
        "FONTSIZE 13\r\nFRAMED TRUE\r\nFONTCOLOR 16777215\r\nSHADOWII TRUE\r\nSHADOWCOLORII 4210752\r\n"
        "SHADOWEXTENTII 1\r\n[END]\r\n"
        "[QUICK]\r\nIMAGEWIDTH 120\r\nIMAGEHEIGHT 32\r\nRECTLEFT 0\r\nRECTTOP 0\r\nRECTRIGHT 112\r\nRECTBOTTOM 32\r\n"
        "FONTALIGNMENT 1\r\nFONTSIZE 12\r\nFONTITALIC TRUE\r\nFONTCOLOR 255\r\nBACKCOLOR 15790320\r\nSHADOWI TRUE\r\n"
        "SHADOWCOLORI 8421504\r\nSHADOWEXTENTI 3\r\nQUICKBLUR TRUE\r\nQUICKBLURVALUE 3\r\n[END]\r\n");
    const struct
    {
        const char* description;
        const char* caption;
    } cases[] = {{"PLAIN", "Contacts"}, {"TILED", "Invoices"}, {"QUICK", "Next"}};
    for (const auto& c : cases) {
        const QString name = QString::fromLatin1(c.description).toLower();
        ASSERT_TRUE(MakeButton(QString::fromLatin1(c.caption), site(), name, QString::fromLatin1(c.description), 8));
        ExpectLikeGolden(output(name), QStringLiteral("button_") + name + QStringLiteral(".png"));
    }
}
