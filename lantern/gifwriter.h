#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// GIF output (giflib) and palette reduction (libimagequant). Colours are mapped to the
// nearest palette entry without dithering, so flat button colours stay flat.

// An 8-bit indexed picture of at most maxColours colours (2..256). A picture that already
// has that few colours keeps them exactly.
QImage ReduceColours(const QImage& picture, int maxColours);
// The GIF file bytes of the picture, reduced to 2^bitsPerPixel colours (1..8) first;
// empty on failure.
QByteArray EncodeGif(const QImage& picture, int bitsPerPixel = 8);
// Writes the GIF atomically: on failure no file (or the old one) is left.
bool SaveGif(const QImage& picture, const QString& file, int bitsPerPixel = 8);
// Writes a JPEG (quality 90) atomically.
bool SaveJpeg(const QImage& picture, const QString& file);
