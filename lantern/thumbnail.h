#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

// The thumbnail picture itself: source fitted into box, on a box-sized canvas of background
// (top, centred) when useCanvas. Null when the source can't be read.
QImage ThumbnailPicture(const QString& source, const QSize& box, const QColor& background, bool useCanvas);
// Writes destFolder + destName + ".jpg" or ".gif" (GIF only for a ".gif" source without
// forceJpeg). A missing source does nothing; an unreadable one shows "<file> Image not
// valid". True when the thumbnail was written.
bool RenderThumbnail(const QString& source, const QString& destFolder, const QString& destName, const QSize& box,
                     const QColor& background, bool useCanvas, bool forceJpeg);
