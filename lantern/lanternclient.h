#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

// The program's calls into liblantern.so. Each call loads the library, calls the export and
// unloads it again; when the library or the export is missing the call does nothing and
// returns the empty or false result.

// True when liblantern.so can be found.
bool LanternAvailable();

// The scaling dialog; the saved picture's name relative to ProgramFolder() + "bmp/"
// ("temp.jpg"), or empty when cancelled.
QString LetHimScale(const QString& folder, const QString& file, bool makeGif);
QString LetHimScaleWeb(const QString& folder, const QString& file);
// background is a QColor here; the library receives it as 0x00BBGGRR. True when written.
bool MakeThumbnail(const QString& source, const QString& destFolder, const QString& destName, int boxWidth,
                   int boxHeight, const QColor& background, bool useBackgroundCanvas, bool forceJpeg);
bool MakeButton(const QString& caption, const QString& siteFolder, const QString& outputName,
                const QString& descriptionName, int colourDepth);
// The bounding box of the picture's pixels that are not the background 0xFCFEFC; a null
// QRect when the library is missing or the picture is empty.
QRect GetBitmapRect(const QImage& picture);

// Messages of the library are appended to file (UTF-8, one a line) instead of shown in a
// dialog; an empty name shows them again. Sets QUILLON_LANTERN_NOTICES for this process.
void SetLanternNoticeLog(const QString& file);
