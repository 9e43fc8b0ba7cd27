#pragma once

#include "common/testfolder.h"

#include <QColor>
#include <QImage>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

// A temporary home folder for one test: $QUILLON_HOME points at it (the library and the
// code linked into the test both read it) and library messages go to a log file.
class LanternHome
{
public:
    LanternHome();
    ~LanternHome();
    QString home() const;                 // ends with "/"
    QString path(const QString& name) const { return home() + name; }
    QStringList notices() const;          // the messages the library gave, one a line
    TestFolder folder;
};

// A picture with a gradient and a few shapes, so resampling and effects have something
// to work on.
QImage TestPicture(const QSize& size);
// Writes TestPicture(size) to file in the format its extension names.
bool WriteTestPicture(const QString& file, const QSize& size);
// Saves in the format the extension names, GIF included.
bool SavePicture(const QImage& image, const QString& file);
int ColourCount(const QImage& image);
// A PNG file that claims width x height in its header but holds almost nothing.
QByteArray PngClaiming(int width, int height);
// Clicks the named button of the modal dialog once it is shown (from the event loop).
void ClickInModalDialog(const QString& buttonName, const std::function<void(QWidget*)>& before = {});
