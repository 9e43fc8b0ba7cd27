#include "lantern/gifwriter.h"

#include "foundation/textfile.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>

#include <gif_lib.h>
#include <libimagequant.h>

#include <algorithm>
#include <memory>

namespace {

struct LiqFree
{
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};

// The exact palette when the picture has at most maxColours colours.
QImage ExactIndexed(const QImage& rgb, int maxColours)
{
    QHash<QRgb, int> index;
    QList<QRgb> table;
    QImage out(rgb.size(), QImage::Format_Indexed8);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* line = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = in[x] | 0xff000000u;
            auto it = index.constFind(p);
            if (it == index.constEnd()) {
                if (table.size() >= maxColours)
                    return QImage();
                it = index.insert(p, int(table.size()));
                table.append(p);
            }
            line[x] = uchar(*it);
        }
    }
    out.setColorTable(table);
    return out;
}

QImage Quantised(const QImage& rgb, int maxColours)
{
    // libimagequant wants RGBA bytes; Format_RGBA8888 is exactly that.
    const QImage rgba = rgb.convertToFormat(QImage::Format_RGBA8888);
    std::unique_ptr<liq_attr, LiqFree> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), maxColours) != LIQ_OK)
        return QImage();
    // Buttons and thumbnails are small; the fastest setting is plenty.
    if (liq_set_speed(attr.get(), 8) != LIQ_OK)
        return QImage();
    std::vector<const unsigned char*> rows(rgba.height());
    for (int y = 0; y < rgba.height(); ++y)
        rows[y] = rgba.constScanLine(y);
    std::unique_ptr<liq_image, LiqFree> image(
        liq_image_create_rgba_rows(attr.get(), reinterpret_cast<void**>(const_cast<unsigned char**>(rows.data())),
                                   rgba.width(), rgba.height(), 0));
    if (!image)
        return QImage();
    liq_result* raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK || !raw)
        return QImage();
    std::unique_ptr<liq_result, LiqFree> result(raw);
    liq_set_dithering_level(result.get(), 0.0f);
    QImage out(rgba.size(), QImage::Format_Indexed8);
    std::vector<unsigned char*> outRows(out.height());
    for (int y = 0; y < out.height(); ++y)
        outRows[y] = out.scanLine(y);
    if (liq_write_remapped_image_rows(result.get(), image.get(), outRows.data()) != LIQ_OK)
        return QImage();
    const liq_palette* palette = liq_get_palette(result.get());
    QList<QRgb> table;
    for (unsigned i = 0; i < palette->count; ++i)
        table.append(qRgb(palette->entries[i].r, palette->entries[i].g, palette->entries[i].b));
    out.setColorTable(table);
    return out;
}

int WriteToBuffer(GifFileType* gif, const GifByteType* data, int length)
{
    auto* bytes = static_cast<QByteArray*>(gif->UserData);
    bytes->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

QImage ReduceColours(const QImage& picture, int maxColours)
{
    if (picture.isNull())
        return QImage();
    maxColours = std::clamp(maxColours, 2, 256);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage exact = ExactIndexed(rgb, maxColours);
    if (!exact.isNull())
        return exact;
    return Quantised(rgb, maxColours);
}

QByteArray EncodeGif(const QImage& picture, int bitsPerPixel)
{
    bitsPerPixel = std::clamp(bitsPerPixel, 1, 8);
    const QImage indexed = ReduceColours(picture, 1 << bitsPerPixel);
    if (indexed.isNull())
        return QByteArray();
    // The colour map of a GIF holds a power of two entries.
    const int colours = int(indexed.colorCount());
    int mapBits = 1;
    while ((1 << mapBits) < colours)
        ++mapBits;
    std::vector<GifColorType> entries(size_t(1) << mapBits);
    for (int i = 0; i < colours; ++i) {
        const QRgb c = indexed.color(i);
        entries[i] = GifColorType{GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
    }
    ColorMapObject* map = GifMakeMapObject(int(entries.size()), entries.data());
    if (!map)
        return QByteArray();

    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteToBuffer, &error);
    if (!gif) {
        GifFreeMapObject(map);
        return QByteArray();
    }
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), mapBits, 0, map) == GIF_OK
              && EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < indexed.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(indexed.constScanLine(y)), indexed.width()) == GIF_OK;
    if (EGifCloseFile(gif, &error) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    return ok ? bytes : QByteArray();
}

bool SaveGif(const QImage& picture, const QString& file, int bitsPerPixel)
{
    const QByteArray bytes = EncodeGif(picture, bitsPerPixel);
    return !bytes.isEmpty() && SaveBytesAtomically(file, bytes);
}

bool SaveJpeg(const QImage& picture, const QString& file)
{
    if (picture.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(picture.convertToFormat(QImage::Format_RGB32)))
        return false;
    return !bytes.isEmpty() && SaveBytesAtomically(file, bytes);
}
