#pragma once

#include <QString>

// A picture of bmp/ ("contacts.bmp", "IL265.bmp"): the home folder's copy, else the shipped one.
// Empty when neither exists.
QString PictureFile(const QString& name);
