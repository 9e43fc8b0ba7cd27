// The C boundary of liblantern.so: every export converts its arguments, runs the engine and
// catches everything, so no exception and no crash reaches the calling program.
#include "lantern/lantern_api.h"

#include "lantern/bitmaprect.h"
#include "lantern/button.h"
#include "lantern/colour.h"
#include "lantern/notice.h"
#include "lantern/scaledialog.h"
#include "lantern/scaling.h"
#include "lantern/thumbnail.h"

#include <QApplication>
#include <QFileInfo>
#include <QThread>

#include <cstring>
#include <limits>

namespace {

QString Text(const char* utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

void WriteResult(const QString& text, char* result, int resultSize)
{
    if (!result || resultSize <= 0)
        return;
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() >= resultSize) {
        result[0] = '\0';
        return;
    }
    std::memcpy(result, bytes.constData(), size_t(bytes.size()));
    result[bytes.size()] = '\0';
}

template <typename Work>
int Guarded(Work work) noexcept
{
    try {
        PrepareLanternLanguage();
        return work() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

bool OnGuiThread(bool needWidgets)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return false;
    return needWidgets ? qobject_cast<QApplication*>(app) != nullptr : qobject_cast<QGuiApplication*>(app) != nullptr;
}

int RunScaleDialog(const char* folder, const char* file, TScaleSession::Output output, bool makeGif, char* result,
                   int resultSize)
{
    WriteResult(QString(), result, resultSize);
    return Guarded([&] {
        if (!OnGuiThread(true))
            return false;
        const QString picture = Text(file);
        TfrmScalePicture dialog(Text(folder), picture, output, makeGif);
        if (!dialog.isValid()) {
            LanternNotice(picture + QStringLiteral(" Image not valid"), false);
            return false;
        }
        if (dialog.exec() != QDialog::Accepted || dialog.result().isEmpty())
            return false;
        WriteResult(dialog.result(), result, resultSize);
        return true;
    });
}

} // namespace

extern "C" {

LANTERN_EXPORT int LetHimScale(const char* folder, const char* file, int makeGif, char* result, int resultSize)
{
    return RunScaleDialog(folder, file, TScaleSession::Output::Keep, makeGif != 0, result, resultSize);
}

LANTERN_EXPORT int LetHimScaleWeb(const char* folder, const char* file, char* result, int resultSize)
{
    return RunScaleDialog(folder, file, TScaleSession::Output::Web, false, result, resultSize);
}

LANTERN_EXPORT int MakeThumbnail(const char* source, const char* destFolder, const char* destName, int boxWidth,
                                 int boxHeight, int backgroundColour, int useBackgroundCanvas, int forceJpeg)
{
    return Guarded([&] {
        if (!OnGuiThread(false) || boxWidth <= 0 || boxHeight <= 0 || qint64(boxWidth) * boxHeight > MaxPicturePixels)
            return false;
        return RenderThumbnail(Text(source), Text(destFolder), Text(destName), QSize(boxWidth, boxHeight),
                               ColourFromNumber(backgroundColour), useBackgroundCanvas != 0, forceJpeg != 0);
    });
}

LANTERN_EXPORT int MakeButton(const char* caption, const char* siteFolder, const char* outputName,
                              const char* descriptionName, int colourDepth, int)
{
    return Guarded([&] {
        if (!OnGuiThread(false) || Text(outputName).isEmpty())
            return false;
        return MakeButtonFile(Text(caption), Text(siteFolder), Text(outputName), Text(descriptionName), colourDepth);
    });
}

LANTERN_EXPORT int GetBitmapRect(const LanternBitmap* bitmap, LanternRect* rect)
{
    return Guarded([&] {
        if (!bitmap || !rect || !bitmap->pixels || bitmap->width <= 0 || bitmap->height <= 0)
            return false;
        if (qint64(bitmap->width) * bitmap->height > MaxPicturePixels)
            return false;
        QImage::Format format = QImage::Format_Invalid;
        int bytesPerPixel = 0;
        if (bitmap->format == LANTERN_PIXELS_XRGB32) {
            format = QImage::Format_RGB32;
            bytesPerPixel = 4;
        } else if (bitmap->format == LANTERN_PIXELS_RGB24) {
            format = QImage::Format_RGB888;
            bytesPerPixel = 3;
        } else {
            return false;
        }
        if (bitmap->stride < bitmap->width * bytesPerPixel)
            return false;
        const QImage image(static_cast<const uchar*>(bitmap->pixels), bitmap->width, bitmap->height,
                           bitmap->stride, format);
        const QRect box = BitmapRect(image);
        rect->left = box.left();
        rect->top = box.top();
        rect->right = box.right();
        rect->bottom = box.bottom();
        return true;
    });
}

} // extern "C"
