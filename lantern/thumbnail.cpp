#include "lantern/thumbnail.h"

#include "lantern/gifwriter.h"
#include "lantern/notice.h"
#include "lantern/scaling.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>

QImage ThumbnailPicture(const QString& source, const QSize& box, const QColor& background, bool useCanvas)
{
    const QSize size = PictureSize(source);
    if (!size.isValid())
        return QImage();
    const QSize safeBox(std::max(1, box.width()), std::max(1, box.height()));
    const QSize fitted = Fit(size, safeBox);
    const QImage picture = LoadScaledPicture(source, fitted);
    if (picture.isNull() || !useCanvas)
        return picture;
    QImage canvas(safeBox, QImage::Format_RGB32);
    canvas.fill(background);
    QPainter painter(&canvas);
    painter.drawImage(safeBox.width() / 2 - fitted.width() / 2, 0, picture);
    return canvas;
}

bool RenderThumbnail(const QString& source, const QString& destFolder, const QString& destName, const QSize& box,
                     const QColor& background, bool useCanvas, bool forceJpeg)
{
    if (!QFileInfo(source).isFile())
        return false;
    const bool gif = !forceJpeg && QFileInfo(source).suffix().compare(QStringLiteral("gif"), Qt::CaseInsensitive) == 0;
    const QImage thumbnail = ThumbnailPicture(source, box, background, useCanvas);
    if (thumbnail.isNull()) {
        LanternNotice(source + QStringLiteral(" Image not valid"), false);
        return false;
    }
    const QString target = destFolder + destName + (gif ? QStringLiteral(".gif") : QStringLiteral(".jpg"));
    return gif ? SaveGif(thumbnail, target) : SaveJpeg(thumbnail, target);
}
