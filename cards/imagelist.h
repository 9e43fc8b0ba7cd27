#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// An image strip of square cells side by side on magenta (the transparent colour), as
// "bmp/ILsmall.bmp". A missing or unreadable file gives no icons.
QList<QIcon> LoadImageList(const QString& file, int cellSize);

// The small image list of the field tree and the new-field dialog ("bmp/ILsmall.bmp" in the
// home folder, else in the shipped resources), read once.
const QList<QIcon>& SmallImages();
// Its icon at an index; an empty icon past the end or without the file.
QIcon SmallImage(int index);
