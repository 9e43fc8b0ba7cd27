#include "cards/imagelist.h"

#include "foundation/homefolder.h"

#include <QBitmap>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>

QList<QIcon> LoadImageList(const QString& file, int cellSize)
{
    QList<QIcon> icons;
    QImage strip;
    if (cellSize <= 0 || !QFileInfo(file).isFile() || !strip.load(file) || strip.height() < cellSize)
        return icons;
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb magenta = qRgb(0xFF, 0x00, 0xFF);
    for (int y = 0; y < strip.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == (magenta & 0x00FFFFFF))
                line[x] = qRgba(0, 0, 0, 0);
    }
    for (int x = 0; x + cellSize <= strip.width(); x += cellSize)
        icons.append(QIcon(QPixmap::fromImage(strip.copy(x, 0, cellSize, cellSize))));
    return icons;
}

const QList<QIcon>& SmallImages()
{
    static const QList<QIcon> icons = [] {
        const QString relative = QStringLiteral("bmp/ILsmall.bmp");
        QString file = ProgramFolder() + relative;
        if (!QFileInfo(file).isFile())
            file = ResourceFolder() + relative;
        return LoadImageList(file, 16);
    }();
    return icons;
}

QIcon SmallImage(int index)
{
    const QList<QIcon>& icons = SmallImages();
    return index >= 0 && index < icons.size() ? icons.at(index) : QIcon();
}
