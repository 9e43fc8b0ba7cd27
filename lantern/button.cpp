#include "lantern/button.h"

#include "lantern/effects.h"
#include "lantern/gifwriter.h"
#include "lantern/notice.h"
#include "lantern/scaling.h"

#include "foundation/files.h"
#include "foundation/homefolder.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Sizes beyond this are typing errors in a description, not buttons; rendering works at
// three times the size on several layers, so this also bounds the memory a call takes.
constexpr int MaxButtonSide = 1200;

QString SharedFolder()
{
    return ProgramFolder() + QStringLiteral("webtemplates/___shared/");
}

QFont CaptionFont(const TWebImageIniString& d, int factor)
{
    QFont font(d.fontName.isEmpty() ? DefaultFontName() : d.fontName);
    // Points at 96 pixels an inch, the density the descriptions were made for.
    font.setPixelSize(std::max(1, int(std::lround(std::max(1, d.fontSize) * 96.0 / 72.0 * factor))));
    font.setBold(d.fontBold);
    font.setItalic(d.fontItalic);
    font.setUnderline(d.fontUnderline);
    if (factor == 1)
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

int AlignmentFlags(const TWebImageIniString& d)
{
    const int horizontal = d.fontAlignment == 0 ? Qt::AlignLeft : d.fontAlignment == 1 ? Qt::AlignRight : Qt::AlignHCenter;
    return horizontal | Qt::AlignVCenter | Qt::TextSingleLine;
}

QRect Scaled(const QRect& rect, int factor)
{
    return QRect(rect.left() * factor, rect.top() * factor, rect.width() * factor, rect.height() * factor);
}

// The text rectangle at the final size; an empty one means the whole picture.
QRect TextRect(const TWebImageIniString& d, const QSize& size)
{
    return d.textRect.isEmpty() ? QRect(QPoint(0, 0), size) : d.textRect;
}

void DrawCaption(QImage& target, const QString& caption, const QFont& font, const QColor& colour, const QRect& rect,
                 int flags, bool framed, int factor)
{
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, factor > 1);
    painter.setRenderHint(QPainter::TextAntialiasing, factor > 1);
    painter.setFont(font);
    if (!framed) {
        painter.setPen(colour);
        painter.drawText(rect, flags, caption);
        return;
    }
    // Outlined text: the glyph contours traced with a pen, the inside left open.
    const QFontMetrics metrics(font);
    const QRect bounds = metrics.boundingRect(rect, flags, caption);
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    QPainterPath path;
    path.addText(QPointF(bounds.left(), baseline), font, caption);
    painter.setPen(QPen(colour, std::max(1, factor)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

// Draws one shadow on a transparent sheet, blurs it when asked and lays it on the layer.
void DrawShadow(QImage& layer, const QString& caption, const QFont& font, const QColor& colour, const QRect& rect,
                int flags, bool framed, int factor, int blurRadius)
{
    QImage sheet(layer.size(), QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    DrawCaption(sheet, caption, font, colour, rect, flags, framed, factor);
    if (blurRadius > 0)
        sheet = GaussianBlur(sheet, blurRadius);
    QPainter painter(&layer);
    painter.drawImage(0, 0, sheet);
}

// Pixel-wise AND of the layer into the picture inside area: shadows darken the background.
void AndInto(QImage& picture, const QImage& layer, const QRect& area)
{
    const QRect r = area.intersected(picture.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* target = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const auto* source = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            target[x] = (target[x] & source[x]) | 0xff000000u;
    }
}

QImage TiledAcross(const QImage& tile, int width)
{
    QImage strip(std::max(1, width), tile.height(), QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int x = 0; x < strip.width(); x += tile.width())
        painter.drawImage(x, 0, tile);
    return strip;
}

QImage WithCaps(const QImage& picture, const QImage& left, const QImage& right)
{
    auto fitted = [&](const QImage& cap) {
        return cap.isNull() || cap.height() == picture.height()
                   ? cap
                   : ScaleDib(cap, QSize(cap.width(), picture.height()));
    };
    const QImage l = fitted(left);
    const QImage r = fitted(right);
    QImage out(picture.width() + (l.isNull() ? 0 : l.width()) + (r.isNull() ? 0 : r.width()), picture.height(),
               QImage::Format_RGB32);
    QPainter painter(&out);
    int x = 0;
    if (!l.isNull()) {
        painter.drawImage(x, 0, l);
        x += l.width();
    }
    painter.drawImage(x, 0, picture);
    x += picture.width();
    if (!r.isNull())
        painter.drawImage(x, 0, r);
    return out;
}

// Equal pixels stay, pure magenta lets the picture show, others mix with weight t of 255.
QImage BlendButton(const QImage& picture, const QImage& blendImage, int transparency)
{
    const int t = std::clamp(transparency, 0, 255);
    const QImage blend = ScaleDib(blendImage, QSize(picture.width() + 1, picture.height()));
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(blend.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x] & 0xffffff;
            const QRgb q = b[x] & 0xffffff;
            if (p == q || q == 0xff00ff)
                continue;
            line[x] = qRgb((t * qRed(q) + (255 - t) * qRed(p)) / 255, (t * qGreen(q) + (255 - t) * qGreen(p)) / 255,
                           (t * qBlue(q) + (255 - t) * qBlue(p)) / 255);
        }
    }
    return out;
}

QImage LoadIfExists(const QString& file)
{
    return QFileInfo(file).isFile() ? LoadPicture(file) : QImage();
}

void ShowMissing(const QString& file)
{
    LanternNotice(Translate(NL("waar is")) + QLatin1Char(' ') + file, false);
}

QString OutputFile(const QString& siteFolder, const QString& outputName)
{
    const QString name = outputName + QStringLiteral(".gif");
    return QDir::isAbsolutePath(name) ? name : siteFolder + name;
}

bool SaveButton(const ButtonRender& render, const QString& outputFile, int colourDepth)
{
    if (render.image.isNull()) {
        if (!render.missingFile.isEmpty())
            ShowMissing(render.missingFile);
        return false;
    }
    const int bits = colourDepth >= 2 && colourDepth <= 7 ? colourDepth : 8;
    const bool saved = SaveGif(render.image, outputFile, bits);
    DeleteFileIfExists(ProgramFolder() + QStringLiteral("bmp/temp.bmp"));
    return saved;
}

} // namespace

ButtonRender RenderButtonImage(TWebImageIniString& d, const QString& caption, const QString& imagesFolder)
{
    const int f = d.antial ? 3 : 1;
    const int flags = AlignmentFlags(d);

    if (d.autoWidth) {
        // Measured as a single line from the rectangle's left: centred captions get the
        // left margin again on the right.
        const QFontMetrics metrics(CaptionFont(d, 1));
        const int right = d.textRect.left() + metrics.horizontalAdvance(caption);
        const int width = (d.fontAlignment == 0 || d.fontAlignment == 1) ? right + 2 : right + d.textRect.left();
        d.textRect.setRight(right - 1);
        d.writeInteger(QStringLiteral("IMAGEWIDTH"), width);
    }
    const int width = std::clamp(d.imageWidth, 1, MaxButtonSide);
    const int height = std::clamp(d.imageHeight, 1, MaxButtonSide);
    const QSize big(width * f, height * f);

    QImage background;
    const bool withBackground = d.backImageOn && !d.backImagePath.isEmpty();
    if (withBackground) {
        // Resolved as a path, so "../topicitem.gif" works even without an images/ folder.
        const QString file = QDir::cleanPath(imagesFolder + d.backImagePath);
        QImage image = LoadIfExists(file);
        if (image.isNull())
            return {QImage(), file};
        if (d.tiled)
            image = TiledAcross(image, width);
        background = ScaleDib(image, big);
    }

    // The base canvas; only its size matters once it is filled.
    QImage canvas(big, QImage::Format_RGB32);
    if (canvas.isNull())
        return {QImage(), QString()};
    canvas.fill(withBackground ? QColor(Qt::white) : d.backColor);

    const QFont font = CaptionFont(d, f);
    const QRect textRect = TextRect(d, QSize(width, height));
    const QRect bigText = Scaled(textRect, f);
    const int blurRadius = d.blur ? std::max(0, d.blurValue) * f : 0;

    // Shadows go on a white layer over a background image, else straight on the canvas.
    QImage layer = canvas;
    if (d.shadowII) {
        const QRect r = bigText.translated(-d.shadowExtentII * f, -d.shadowExtentII * f);
        DrawShadow(layer, caption, font, d.shadowColorII, r, flags, d.framed, f, d.shadowI ? 0 : blurRadius);
    }
    if (d.shadowI) {
        const QRect r = bigText.translated(d.shadowExtentI * f, d.shadowExtentI * f);
        DrawShadow(layer, caption, font, d.shadowColorI, r, flags, d.framed, f, blurRadius);
    }
    if (d.quickBlur && d.quickBlurValue > 0)
        layer = BoxBlur(layer, d.quickBlurValue * f).convertToFormat(QImage::Format_RGB32);

    QImage result;
    if (withBackground) {
        if (d.tvFilter)
            background = ScanLines(background, 50, f);
        const int extent = std::max(std::abs(d.shadowExtentI), std::abs(d.shadowExtentII));
        AndInto(background, layer, Scaled(textRect.adjusted(-extent, -extent, extent, extent), f));
        DrawCaption(background, caption, font, d.fontColor, bigText, flags, d.framed, f);
        result = ScaleDib(background, QSize(width, height));

        const QString name = QFileInfo(d.backImagePath).fileName();
        const QString folder = QDir::cleanPath(imagesFolder + QFileInfo(d.backImagePath).path()) + QLatin1Char('/');
        result = WithCaps(result, LoadIfExists(folder + QStringLiteral("L_") + name),
                          LoadIfExists(folder + QStringLiteral("R_") + name));
        if (d.blend) {
            const QString stem = folder + QStringLiteral("Blend_") + QFileInfo(name).completeBaseName();
            QImage blend = LoadIfExists(stem + QStringLiteral(".bmp"));
            if (blend.isNull())
                blend = LoadIfExists(stem + QStringLiteral(".gif"));
            if (!blend.isNull())
                result = BlendButton(result, blend, d.blendTransparency);
        }
    } else {
        DrawCaption(layer, caption, font, d.fontColor, bigText, flags, d.framed, f);
        result = ScaleDib(layer, QSize(width, height));
    }
    return {result, QString()};
}

const QStringList& TopicItemPieceNames()
{
    static const QStringList names = {QStringLiteral("upper_left_corner"), QStringLiteral("topbar"),
                                      QStringLiteral("upper_right_corner"), QStringLiteral("leftbar"),
                                      QStringLiteral("bgp"), QStringLiteral("rightbar"),
                                      QStringLiteral("lower_left_corner"), QStringLiteral("bottombar"),
                                      QStringLiteral("lower_right_corner")};
    return names;
}

QImage AssembleTopicFrame(const QList<QImage>& pieces)
{
    if (pieces.size() != 9)
        return QImage();
    const int w = pieces[0].width();
    const int h = pieces[0].height();
    const int tw = pieces[1].width();
    const int lh = pieces[3].height();
    const int W = TopicItemWidth;
    const int H = TopicItemHeight;
    // A piece without width or height gives no tiles rather than a division by zero.
    const int n = tw > 0 ? (W - 2 * w) / tw : 0;
    const int m = lh > 0 ? (H - 2 * h) / lh : 0;

    QImage canvas(W, H, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    auto put = [&](const QImage& piece, int left, int top, int right, int bottom) {
        if (!piece.isNull() && right > left && bottom > top)
            painter.drawImage(QRect(left, top, right - left, bottom - top), piece);
    };
    put(pieces[0], 0, 0, w, h);
    for (int i = 0; i < n; ++i)
        put(pieces[1], w + i * tw, 0, w + (i + 1) * tw, h);
    put(pieces[2], W - w, 0, W, h);
    for (int j = 0; j < m; ++j) {
        put(pieces[3], 0, h + j * lh, w, h + (j + 1) * lh);
        for (int i = 0; i < n; ++i)
            put(pieces[4], w + i * tw, h + j * lh, w + (i + 1) * tw, h + (j + 1) * lh);
        put(pieces[5], W - w, h + j * lh, W, h + (j + 1) * lh);
    }
    put(pieces[6], 0, H - h, w, H);
    for (int i = 0; i < n; ++i)
        put(pieces[7], w + i * tw, H - h, w + (i + 1) * tw, H);
    put(pieces[8], W - w, H - h, W, H);
    painter.end();
    return canvas;
}

ButtonRender AssembleTopicItem(const QString& imagesFolder, const QString& extension)
{
    QList<QImage> pieces;
    for (const QString& name : TopicItemPieceNames()) {
        const QString file = imagesFolder + QStringLiteral("vyx_srch_") + name + extension;
        const QImage piece = LoadIfExists(file);
        if (piece.isNull())
            return {QImage(), file};
        pieces.append(piece);
    }
    return {AssembleTopicFrame(pieces), QString()};
}

namespace {

bool MakeTopicItem(const QString& caption, const QString& siteFolder, const QString& outputName,
                   const QString& descriptionName, int colourDepth)
{
    const QString shared = SharedFolder();
    QString text = ReadSection(siteFolder + QStringLiteral("site.ini"), descriptionName);
    if (text.trimmed().isEmpty())
        text = ReadSection(shared + QStringLiteral("site.ini"), descriptionName);

    if (!QFileInfo(shared + QStringLiteral("images/topicitem.gif")).isFile()) {
        const QString images = siteFolder + QStringLiteral("images/");
        QString extension;
        if (QFileInfo(images + QStringLiteral("vyx_srch_upper_left_corner.jpg")).isFile())
            extension = QStringLiteral(".jpg");
        else if (QFileInfo(images + QStringLiteral("vyx_srch_upper_left_corner.gif")).isFile())
            extension = QStringLiteral(".gif");
        if (extension.isEmpty()) {
            const QString target = shared + QStringLiteral("topicitem.gif");
            const QString source = shared + QStringLiteral("images/defaulttopicitem.gif");
            if (QFileInfo(source).isFile()) {
                DeleteFileIfExists(target);
                CopyFileIfExists(source, target);
            }
        } else {
            const ButtonRender frame = AssembleTopicItem(images, extension);
            if (frame.image.isNull()) {
                ShowMissing(frame.missingFile);
                return false;
            }
            QDir().mkpath(shared);
            if (!SaveGif(frame.image, shared + QStringLiteral("topicitem.gif")))
                return false;
        }
    }
    TWebImageIniString description(text);
    return SaveButton(RenderButtonImage(description, caption, shared + QStringLiteral("images/")),
                      OutputFile(siteFolder, outputName), colourDepth);
}

} // namespace

bool MakeButtonFile(const QString& caption, const QString& siteFolder, const QString& outputName,
                    const QString& descriptionName, int colourDepth)
{
    if (descriptionName.contains(QStringLiteral("TOPICITEM")))
        return MakeTopicItem(caption, siteFolder, outputName, descriptionName, colourDepth);

    const QString siteIni = siteFolder + QStringLiteral("site.ini");
    const QString descriptionFile = descriptionName.contains(QStringLiteral("FIELDBUTTON#"))
                                        ? SharedFolder() + QStringLiteral("site.ini")
                                        : siteIni;
    QString text = ReadSection(descriptionFile, descriptionName);
    QString imagesFolder = QFileInfo(descriptionFile).path() + QStringLiteral("/images/");
    if (text.trimmed().isEmpty()) {
        text = ReadSection(siteIni, QStringLiteral("TITLES"));
        imagesFolder = siteFolder + QStringLiteral("images/");
    }
    TWebImageIniString description(text);
    return SaveButton(RenderButtonImage(description, caption, imagesFolder), OutputFile(siteFolder, outputName),
                      colourDepth);
}
