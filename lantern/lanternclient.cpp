#include "lantern/lanternclient.h"

#include "lantern/lantern_api.h"

#include "foundation/sharedlibrary.h"

namespace {

const QString LibraryName = QStringLiteral("lantern");
// Results are short names ("temp.jpeg"); the library writes at most this many bytes.
constexpr int ResultSize = 1024;

int ColourNumber(const QColor& colour)
{
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

} // namespace

bool LanternAvailable()
{
    return !SharedLibraryPath(LibraryName).isEmpty();
}

QString LetHimScale(const QString& folder, const QString& file, bool makeGif)
{
    SharedLibrary library(LibraryName);
    auto call = library.function<LetHimScaleFunction>("LetHimScale");
    if (!call)
        return QString();
    char result[ResultSize] = {};
    if (!call(folder.toUtf8().constData(), file.toUtf8().constData(), makeGif ? 1 : 0, result, ResultSize))
        return QString();
    return QString::fromUtf8(result);
}

QString LetHimScaleWeb(const QString& folder, const QString& file)
{
    SharedLibrary library(LibraryName);
    auto call = library.function<LetHimScaleWebFunction>("LetHimScaleWeb");
    if (!call)
        return QString();
    char result[ResultSize] = {};
    if (!call(folder.toUtf8().constData(), file.toUtf8().constData(), result, ResultSize))
        return QString();
    return QString::fromUtf8(result);
}

bool MakeThumbnail(const QString& source, const QString& destFolder, const QString& destName, int boxWidth,
                   int boxHeight, const QColor& background, bool useBackgroundCanvas, bool forceJpeg)
{
    SharedLibrary library(LibraryName);
    auto call = library.function<MakeThumbnailFunction>("MakeThumbnail");
    return call
           && call(source.toUtf8().constData(), destFolder.toUtf8().constData(), destName.toUtf8().constData(),
                   boxWidth, boxHeight, ColourNumber(background), useBackgroundCanvas ? 1 : 0, forceJpeg ? 1 : 0);
}

bool MakeButton(const QString& caption, const QString& siteFolder, const QString& outputName,
                const QString& descriptionName, int colourDepth)
{
    SharedLibrary library(LibraryName);
    auto call = library.function<MakeButtonFunction>("MakeButton");
    return call
           && call(caption.toUtf8().constData(), siteFolder.toUtf8().constData(), outputName.toUtf8().constData(),
                   descriptionName.toUtf8().constData(), colourDepth, 0);
}

QRect GetBitmapRect(const QImage& picture)
{
    if (picture.isNull())
        return QRect();
    SharedLibrary library(LibraryName);
    auto call = library.function<GetBitmapRectFunction>("GetBitmapRect");
    if (!call)
        return QRect();
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const LanternBitmap bitmap{pixels.width(), pixels.height(), int(pixels.bytesPerLine()), LANTERN_PIXELS_XRGB32,
                               pixels.constBits()};
    LanternRect rect{0, 0, 0, 0};
    if (!call(&bitmap, &rect))
        return QRect();
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom));
}

void SetLanternNoticeLog(const QString& file)
{
    if (file.isEmpty())
        qunsetenv("QUILLON_LANTERN_NOTICES");
    else
        qputenv("QUILLON_LANTERN_NOTICES", file.toUtf8());
}
