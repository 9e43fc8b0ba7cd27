#pragma once

#include <QColor>

// Colours arrive as platform colour numbers 0x00BBGGRR.
inline QColor ColourFromNumber(int number)
{
    return QColor(number & 0xff, (number >> 8) & 0xff, (number >> 16) & 0xff);
}
