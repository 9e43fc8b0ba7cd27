#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

// The background of pictures measured by BitmapRect.
inline constexpr QRgb BitmapRectBackground = 0xFCFEFC;

// The bounding box of the pixels whose colour differs from the background (alpha is
// ignored); a side without such pixels keeps the picture's edge.
QRect BitmapRect(const QImage& picture);
