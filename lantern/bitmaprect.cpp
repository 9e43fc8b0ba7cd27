#include "lantern/bitmaprect.h"

QRect BitmapRect(const QImage& picture)
{
    if (picture.isNull())
        return QRect();
    const QImage image = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if ((line[x] & 0xffffff) == BitmapRectBackground)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0)
        return QRect(0, 0, w, h);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
