// Thumbnail of a 4000x3000 JPEG into a 200x200 box, saved as JPEG: the library's way
// (reduced-size decoding) against plain QImage::scaled + save, in the same run.
#include "lantern/lanternclient.h"
#include "lantern/thumbnail.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QImage Photo()
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x / 7) % 256, (y / 5) % 256, ((x ^ y) * 31) & 0xff);
    }
    QPainter painter(&image);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(1000, 700, 2000, 1600));
    return image;
}

double MedianMs(int runs, const std::function<bool()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return -1;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString source = folder + QStringLiteral("photo.jpg");
    if (!Photo().save(source, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write the test photo\n");
        return 1;
    }
    qputenv("QUILLON_HOME", folder.toUtf8());
    const int runs = 9;

    const double engine = MedianMs(runs, [&] {
        return RenderThumbnail(source, folder, QStringLiteral("engine"), QSize(200, 200), Qt::white, false, true);
    });
    const double library = MedianMs(runs, [&] {
        return MakeThumbnail(source, folder, QStringLiteral("library"), 200, 200, Qt::white, false, true);
    });
    const double plain = MedianMs(runs, [&] {
        const QImage full(source);
        const QImage small = full.scaled(200, 200, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return small.save(folder + QStringLiteral("plain.jpg"), "JPEG", 90);
    });

    std::printf("%-46s %10s\n", "4000x3000 JPEG -> 200x200 box, saved", "median ms");
    std::printf("%-46s %10.1f\n", "lantern engine (RenderThumbnail)", engine);
    std::printf("%-46s %10.1f\n", "liblantern.so MakeThumbnail (load+call+unload)", library);
    std::printf("%-46s %10.1f\n", "plain QImage load + scaled + save", plain);
    std::printf("%-46s %10s\n", "target", "< 150");
    return engine >= 0 && library >= 0 && plain >= 0 ? 0 : 1;
}
