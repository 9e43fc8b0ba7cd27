#include "lantern/scaling.h"

#include "foundation/numbers.h"
#include "foundation/pairfile.h"
#include "foundation/records.h"

#include <QImageReader>
#include <QPainter>

#include <cmath>

namespace {

// Decoding may allocate up to 4 bytes a pixel for the largest accepted picture.
constexpr int AllocationLimitMb = int(MaxPicturePixels * 4 / (1024 * 1024)) + 64;

bool Acceptable(const QSize& size)
{
    return size.isValid() && !size.isEmpty() && qint64(size.width()) * size.height() <= MaxPicturePixels;
}

QImage ToOpaque(const QImage& image)
{
    if (image.isNull() || !image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

QString PresetFile(const QString& folder)
{
    return folder + QStringLiteral("web.ini");
}

QString PresetKey(int n)
{
    return QStringLiteral("DEFIMG%1").arg(n);
}

} // namespace

QSize Fit(int width, int height, int boxWidth, int boxHeight)
{
    return FitSize(width, height, boxWidth, boxHeight);
}

QSize Fit(const QSize& picture, const QSize& box)
{
    return Fit(picture.width(), picture.height(), box.width(), box.height());
}

QSize PictureSize(const QString& file)
{
    QImageReader reader(file);
    const QSize size = reader.size();
    return Acceptable(size) ? size : QSize();
}

QImage LoadPicture(const QString& file)
{
    return LoadScaledPicture(file, QSize());
}

QImage LoadScaledPicture(const QString& file, const QSize& size)
{
    QImageReader reader(file);
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    // A format that can't tell its size is decoded under the allocation limit alone.
    if (full.isValid() && !Acceptable(full))
        return QImage();
    if (size.isValid() && !size.isEmpty())
        reader.setScaledSize(size);
    QImage image = reader.read();
    if (image.isNull() || !Acceptable(image.size()))
        return QImage();
    image = ToOpaque(image);
    if (size.isValid() && !size.isEmpty() && image.size() != size)
        image = ScaleDib(image, size);
    return image;
}

QImage ScaleDib(const QImage& picture, const QSize& size)
{
    if (picture.isNull() || size.isEmpty())
        return QImage();
    return ToOpaque(picture).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QSize BiggerSize(const QSize& size)
{
    return QSize(int(std::lround(size.width() * 1.2)), int(std::lround(size.height() * 1.2)));
}

QSize SmallerSize(const QSize& size)
{
    const QSize smaller(int(std::lround(size.width() / 1.2)), int(std::lround(size.height() / 1.2)));
    return smaller.isEmpty() ? QSize() : smaller;
}

QList<QSize> ReadScalePresets(const QString& folder)
{
    QList<QSize> presets;
    for (int n = 1; n <= 3; ++n) {
        const QString value = ReadPair(PresetFile(folder), PresetKey(n));
        int width = IntOrDefault(FieldOf(value, 1), 100 * n);
        int height = IntOrDefault(FieldOf(value, 2), 100 * n);
        if (width < 1)
            width = 100 * n;
        if (height < 1)
            height = 100 * n;
        presets.append(QSize(width, height));
    }
    return presets;
}

bool WriteScalePresets(const QString& folder, const QList<QSize>& presets)
{
    QStringList keys;
    QStringList values;
    for (int n = 0; n < presets.size(); ++n) {
        keys.append(PresetKey(n + 1));
        values.append(QStringLiteral("%1|%2").arg(presets[n].width()).arg(presets[n].height()));
    }
    return WritePairs(PresetFile(folder), keys, values);
}

QString PresetCaption(const QSize& preset)
{
    return QStringLiteral("%1*%2").arg(preset.width()).arg(preset.height());
}
