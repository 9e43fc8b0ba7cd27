#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// Reading pictures and resampling them, without any window.

// Pictures above this many pixels are refused: they would take gigabytes to decode.
inline constexpr qint64 MaxPicturePixels = 100'000'000;

// The largest size inside the box that keeps the proportions; never a side below 1.
QSize Fit(int width, int height, int boxWidth, int boxHeight);
QSize Fit(const QSize& picture, const QSize& box);
// The picture's size without decoding it; invalid when unreadable or too large.
QSize PictureSize(const QString& file);
// The whole picture as 24-bit colour (transparency shown on white); null when the file
// is missing, unreadable or too large.
QImage LoadPicture(const QString& file);
// The picture resampled to exactly size (ScaleDib). Decoding at a reduced size where the
// format allows it (JPEG) keeps large photos fast.
QImage LoadScaledPicture(const QString& file, const QSize& size);
// Resamples to exactly size (24-bit colour).
QImage ScaleDib(const QImage& picture, const QSize& size);

// 1.2 times bigger or smaller, each side rounded; Smaller is invalid when a side would be 0.
QSize BiggerSize(const QSize& size);
QSize SmallerSize(const QSize& size);

// The three preset boxes of "web.ini" in folder (DEFIMG1..3, "w|h"; defaults 100*n).
QList<QSize> ReadScalePresets(const QString& folder);
bool WriteScalePresets(const QString& folder, const QList<QSize>& presets);
QString PresetCaption(const QSize& preset);   // "200*200"
