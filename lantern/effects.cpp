#include "lantern/effects.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

int Clamp255(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

int Luminance(QRgb p)
{
    return (qRed(p) * 299 + qGreen(p) * 587 + qBlue(p) * 114) / 1000;
}

// Maps every channel of every pixel through a 256-entry table.
QImage MapChannels(const QImage& picture, const std::function<int(int)>& curve)
{
    uchar table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = uchar(std::clamp(curve(i), 0, 255));
    QImage out = ToRgb32(picture);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(table[qRed(p)], table[qGreen(p)], table[qBlue(p)]);
        }
    }
    return out;
}

QImage MapPixels(const QImage& picture, const std::function<QRgb(QRgb)>& map)
{
    QImage out = ToRgb32(picture);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = map(line[x]);
    }
    return out;
}

// Rebuilds the picture by sampling the source at a displaced position (edges clamp).
QImage Displace(const QImage& picture, const std::function<QPointF(int, int)>& source)
{
    const QImage in = ToRgb32(picture);
    QImage out(in.size(), QImage::Format_RGB32);
    const int w = in.width();
    const int h = in.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QPointF s = source(x, y);
            const int sx = std::clamp(int(std::lround(s.x())), 0, w - 1);
            const int sy = std::clamp(int(std::lround(s.y())), 0, h - 1);
            line[x] = reinterpret_cast<const QRgb*>(in.constScanLine(sy))[sx];
        }
    }
    return out;
}

// One separable pass over the four bytes of 32-bit pixels along rows or columns.
void ConvolveLines(const QImage& in, QImage& out, const std::vector<int>& kernel, bool horizontal)
{
    const int radius = int(kernel.size()) / 2;
    int total = 0;
    for (int k : kernel)
        total += k;
    const int w = in.width();
    const int h = in.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    std::vector<const uchar*> row(length);
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < length; ++i) {
            const int x = horizontal ? i : l;
            const int y = horizontal ? l : i;
            row[i] = in.constScanLine(y) + 4 * x;
        }
        for (int i = 0; i < length; ++i) {
            int sum[4] = {0, 0, 0, 0};
            for (int k = -radius; k <= radius; ++k) {
                const uchar* p = row[std::clamp(i + k, 0, length - 1)];
                const int weight = kernel[k + radius];
                for (int c = 0; c < 4; ++c)
                    sum[c] += p[c] * weight;
            }
            const int x = horizontal ? i : l;
            const int y = horizontal ? l : i;
            uchar* q = out.scanLine(y) + 4 * x;
            for (int c = 0; c < 4; ++c)
                q[c] = uchar((sum[c] + total / 2) / total);
        }
    }
}

QImage Convolve(const QImage& picture, const std::vector<int>& kernel)
{
    QImage in = picture;
    if (in.depth() != 32)
        in = ToRgb32(in);
    QImage tmp(in.size(), in.format());
    QImage out(in.size(), in.format());
    ConvolveLines(in, tmp, kernel, true);
    ConvolveLines(tmp, out, kernel, false);
    return out;
}

QImage TextureOverlay(const QImage& picture, int amount, const std::function<int(int, int)>& texture)
{
    // texture gives -128..127 around a neutral middle; amount scales its relief.
    const double strength = std::clamp(amount, 0, 100) / 100.0;
    QImage out = ToRgb32(picture);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const double d = texture(x, y) * strength;
            const QRgb p = line[x];
            line[x] = qRgb(Clamp255(qRed(p) + d), Clamp255(qGreen(p) + d), Clamp255(qBlue(p) + d));
        }
    }
    return out;
}

// Deterministic per-pixel noise so the same picture always retouches the same way.
int HashNoise(int x, int y)
{
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return int((h ^ (h >> 16)) & 0xff) - 128;
}

} // namespace

QImage ToRgb32(const QImage& picture)
{
    if (picture.format() == QImage::Format_RGB32)
        return picture.copy();
    return picture.convertToFormat(QImage::Format_RGB32);
}

QStringList EffectNames()
{
    return {QStringLiteral("contrast"),   QStringLiteral("lightness"),  QStringLiteral("gaus blur"),
            QStringLiteral("split blur"), QStringLiteral("heightMap"),  QStringLiteral("texturize"),
            QStringLiteral("texturizeII"), QStringLiteral("rippleI"),   QStringLiteral("rippleII"),
            QStringLiteral("rippleIII"),  QStringLiteral("mosaic"),     QStringLiteral("grayscale"),
            QStringLiteral("antialias"),  QStringLiteral("invert"),     QStringLiteral("mirrorhor"),
            QStringLiteral("mirrorvert"), QStringLiteral("colornoise"), QStringLiteral("mononoise"),
            QStringLiteral("saturation"), QStringLiteral("spray"),      QStringLiteral("splitlight"),
            QStringLiteral("blend"),      QStringLiteral("Rotate90"),   QStringLiteral("QuatroOp")};
}

bool IsEffectName(const QString& name)
{
    return EffectNames().contains(name);
}

QImage ApplyEffect(const QString& name, const QImage& picture, int amount)
{
    using Effect = std::function<QImage(const QImage&, int)>;
    static const QList<QPair<QString, Effect>> effects = {
        {QStringLiteral("contrast"), Contrast},
        {QStringLiteral("lightness"), Lightness},
        {QStringLiteral("gaus blur"), GaussianBlur},
        {QStringLiteral("split blur"), SplitBlur},
        {QStringLiteral("heightMap"), HeightMap},
        {QStringLiteral("texturize"), Texturize},
        {QStringLiteral("texturizeII"), TexturizeII},
        {QStringLiteral("rippleI"), RippleI},
        {QStringLiteral("rippleII"), RippleII},
        {QStringLiteral("rippleIII"), RippleIII},
        {QStringLiteral("mosaic"), Mosaic},
        {QStringLiteral("grayscale"), [](const QImage& p, int) { return Grayscale(p); }},
        {QStringLiteral("antialias"), [](const QImage& p, int) { return Antialias(p); }},
        {QStringLiteral("invert"), [](const QImage& p, int) { return Invert(p); }},
        {QStringLiteral("mirrorhor"), [](const QImage& p, int) { return MirrorHorizontal(p); }},
        {QStringLiteral("mirrorvert"), [](const QImage& p, int) { return MirrorVertical(p); }},
        {QStringLiteral("colornoise"), ColorNoise},
        {QStringLiteral("mononoise"), MonoNoise},
        {QStringLiteral("saturation"), Saturation},
        {QStringLiteral("spray"), Spray},
        {QStringLiteral("splitlight"), SplitLight},
        {QStringLiteral("Rotate90"), [](const QImage& p, int) { return Rotate90(p); }},
        {QStringLiteral("QuatroOp"), [](const QImage& p, int) { return QuatroOp(p); }},
    };
    if (picture.isNull())
        return picture;
    for (const auto& [effectName, effect] : effects) {
        if (effectName == name)
            return effect(picture, amount);
    }
    return picture;
}

QImage Contrast(const QImage& picture, int amount)
{
    const double factor = std::max(0.0, 1.0 + amount / 100.0);
    return MapChannels(picture, [factor](int c) { return Clamp255((c - 128) * factor + 128); });
}

QImage Lightness(const QImage& picture, int amount)
{
    const int shift = amount * 255 / 100;
    return MapChannels(picture, [shift](int c) { return c + shift; });
}

QImage GaussianBlur(const QImage& picture, int radius)
{
    radius = std::clamp(radius, 0, 100);
    if (radius == 0 || picture.isNull())
        return picture.depth() == 32 ? picture.copy() : ToRgb32(picture);
    const double sigma = std::max(0.5, radius / 2.0);
    std::vector<int> kernel(2 * radius + 1);
    for (int k = -radius; k <= radius; ++k)
        kernel[k + radius] = std::max(1, int(std::lround(1000.0 * std::exp(-(k * k) / (2 * sigma * sigma)))));
    return Convolve(picture, kernel);
}

QImage BoxBlur(const QImage& picture, int radius)
{
    radius = std::clamp(radius, 0, 100);
    if (radius == 0 || picture.isNull())
        return picture.depth() == 32 ? picture.copy() : ToRgb32(picture);
    // Three box passes approximate a Gaussian at a fraction of the cost.
    const int box = std::max(1, radius / 3);
    const std::vector<int> kernel(2 * box + 1, 1);
    QImage out = Convolve(picture, kernel);
    out = Convolve(out, kernel);
    return Convolve(out, kernel);
}

QImage SplitBlur(const QImage& picture, int amount)
{
    // Averages the four copies shifted by the amount: the picture falls apart into ghosts.
    const int d = std::clamp(amount, 1, 100);
    const QImage in = ToRgb32(picture);
    QImage out(in.size(), QImage::Format_RGB32);
    const int w = in.width();
    const int h = in.height();
    auto at = [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(in.constScanLine(std::clamp(y, 0, h - 1)))[std::clamp(x, 0, w - 1)];
    };
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb a = at(x - d, y), b = at(x + d, y), c = at(x, y - d), e = at(x, y + d);
            line[x] = qRgb((qRed(a) + qRed(b) + qRed(c) + qRed(e)) / 4,
                           (qGreen(a) + qGreen(b) + qGreen(c) + qGreen(e)) / 4,
                           (qBlue(a) + qBlue(b) + qBlue(c) + qBlue(e)) / 4);
        }
    }
    return out;
}

QImage HeightMap(const QImage& picture, int amount)
{
    // The brightness read as height and lit from the upper left: a grey relief.
    const double depth = std::max(1, amount) / 10.0;
    const QImage in = ToRgb32(picture);
    QImage out(in.size(), QImage::Format_RGB32);
    const int w = in.width();
    const int h = in.height();
    auto lum = [&](int x, int y) {
        return Luminance(reinterpret_cast<const QRgb*>(in.constScanLine(std::clamp(y, 0, h - 1)))[std::clamp(x, 0, w - 1)]);
    };
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int g = Clamp255(128 + (lum(x + 1, y + 1) - lum(x - 1, y - 1)) * depth);
            line[x] = qRgb(g, g, g);
        }
    }
    return out;
}

QImage Texturize(const QImage& picture, int amount)
{
    // A canvas-like grain: smoothed noise with a faint weave.
    return TextureOverlay(picture, amount, [](int x, int y) {
        const int grain = (HashNoise(x, y) + HashNoise(x + 1, y) + HashNoise(x, y + 1)) / 3;
        const int weave = ((x / 2 + y / 2) % 2) ? 24 : -24;
        return grain + weave;
    });
}

QImage TexturizeII(const QImage& picture, int amount)
{
    // Bricks: light faces with dark mortar joints, rows offset by half a brick.
    return TextureOverlay(picture, amount, [](int x, int y) {
        const int row = y / 8;
        const int bx = (x + (row % 2) * 8) % 16;
        const bool joint = (y % 8 == 0) || bx == 0;
        return joint ? -110 : 20 + HashNoise(x, y) / 8;
    });
}

QImage RippleI(const QImage& picture, int amount)
{
    // Horizontal waves: rows slide sideways along a sine.
    const double a = std::clamp(amount, 0, 100);
    return Displace(picture, [a](int x, int y) {
        return QPointF(x + a * std::sin(y * 2 * std::numbers::pi / 30.0), y);
    });
}

QImage RippleII(const QImage& picture, int amount)
{
    // Vertical waves: columns slide up and down along a sine.
    const double a = std::clamp(amount, 0, 100);
    return Displace(picture, [a](int x, int y) {
        return QPointF(x, y + a * std::sin(x * 2 * std::numbers::pi / 30.0));
    });
}

QImage RippleIII(const QImage& picture, int amount)
{
    // Rings spreading from the centre, as from a stone dropped in water.
    const double a = std::clamp(amount, 0, 100);
    const double cx = picture.width() / 2.0;
    const double cy = picture.height() / 2.0;
    return Displace(picture, [a, cx, cy](int x, int y) {
        const double dx = x - cx;
        const double dy = y - cy;
        const double r = std::hypot(dx, dy);
        if (r < 1e-6)
            return QPointF(x, y);
        const double shift = a * std::sin(r * 2 * std::numbers::pi / 24.0);
        return QPointF(x + dx / r * shift, y + dy / r * shift);
    });
}

QImage Mosaic(const QImage& picture, int amount)
{
    const int size = std::clamp(amount, 2, 200);
    QImage out = ToRgb32(picture);
    for (int by = 0; by < out.height(); by += size) {
        for (int bx = 0; bx < out.width(); bx += size) {
            const int ex = std::min(bx + size, out.width());
            const int ey = std::min(by + size, out.height());
            qint64 r = 0, g = 0, b = 0;
            for (int y = by; y < ey; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(out.constScanLine(y));
                for (int x = bx; x < ex; ++x) {
                    r += qRed(line[x]);
                    g += qGreen(line[x]);
                    b += qBlue(line[x]);
                }
            }
            const qint64 n = qint64(ex - bx) * (ey - by);
            const QRgb mean = qRgb(int(r / n), int(g / n), int(b / n));
            for (int y = by; y < ey; ++y) {
                auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
                std::fill(line + bx, line + ex, mean);
            }
        }
    }
    return out;
}

QImage Grayscale(const QImage& picture)
{
    return MapPixels(picture, [](QRgb p) {
        const int g = Luminance(p);
        return qRgb(g, g, g);
    });
}

QImage Antialias(const QImage& picture)
{
    // A light 1-2-1 smoothing that softens jagged edges without a visible blur.
    return Convolve(ToRgb32(picture), {1, 2, 1});
}

QImage Invert(const QImage& picture)
{
    return MapChannels(picture, [](int c) { return 255 - c; });
}

QImage MirrorHorizontal(const QImage& picture)
{
    return ToRgb32(picture).mirrored(true, false);
}

QImage MirrorVertical(const QImage& picture)
{
    return ToRgb32(picture).mirrored(false, true);
}

QImage ColorNoise(const QImage& picture, int amount)
{
    const int a = std::clamp(amount, 0, 255);
    QRandomGenerator random(4711);
    return MapPixels(picture, [a, &random](QRgb p) {
        auto jitter = [&](int c) { return std::clamp(c + random.bounded(-a, a + 1), 0, 255); };
        const int r = jitter(qRed(p));
        const int g = jitter(qGreen(p));
        return qRgb(r, g, jitter(qBlue(p)));
    });
}

QImage MonoNoise(const QImage& picture, int amount)
{
    const int a = std::clamp(amount, 0, 255);
    QRandomGenerator random(4711);
    return MapPixels(picture, [a, &random](QRgb p) {
        const int d = random.bounded(-a, a + 1);
        return qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                    std::clamp(qBlue(p) + d, 0, 255));
    });
}

QImage Saturation(const QImage& picture, int amount)
{
    const double factor = std::max(0.0, 1.0 + amount / 100.0);
    return MapPixels(picture, [factor](QRgb p) {
        const int g = Luminance(p);
        return qRgb(Clamp255(g + (qRed(p) - g) * factor), Clamp255(g + (qGreen(p) - g) * factor),
                    Clamp255(g + (qBlue(p) - g) * factor));
    });
}

QImage Spray(const QImage& picture, int amount)
{
    // Every pixel taken from a random neighbour within the amount: sprayed paint.
    const int a = std::clamp(amount, 1, 100);
    QRandomGenerator random(4711);
    return Displace(picture, [a, &random](int x, int y) {
        return QPointF(x + random.bounded(-a, a + 1), y + random.bounded(-a, a + 1));
    });
}

QImage SplitLight(const QImage& picture, int amount)
{
    // Folds the brightness curve into several waves: lights split into bright bands.
    const double waves = 1.0 + std::clamp(amount, 0, 100) / 10.0;
    return MapChannels(picture, [waves](int c) {
        return Clamp255(255.0 * (1.0 - std::cos(c / 255.0 * std::numbers::pi * waves)) / 2.0);
    });
}

QImage Rotate90(const QImage& picture)
{
    return ToRgb32(picture).transformed(QTransform().rotate(90));
}

QImage QuatroOp(const QImage& picture)
{
    // Four half-size copies mirrored into the quadrants, like tiles of a kaleidoscope.
    const QImage in = ToRgb32(picture);
    const int w = in.width();
    const int h = in.height();
    const int hw = std::max(1, w / 2);
    const int hh = std::max(1, h / 2);
    const QImage quarter = in.scaled(hw, hh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage out(w, h, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    painter.drawImage(QRect(0, 0, hw, hh), quarter);
    painter.drawImage(QRect(w - hw, 0, hw, hh), quarter.mirrored(true, false));
    painter.drawImage(QRect(0, h - hh, hw, hh), quarter.mirrored(false, true));
    painter.drawImage(QRect(w - hw, h - hh, hw, hh), quarter.mirrored(true, true));
    return out;
}

QImage BlendPictures(const QImage& picture, const QImage& blend, double weight)
{
    QImage out = ToRgb32(picture);
    if (blend.isNull() || out.isNull())
        return out;
    const QImage other = ToRgb32(blend.scaled(out.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const double t = std::clamp(weight, 0.0, 1.0);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(other.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(Clamp255(qRed(p) * (1 - t) + qRed(b[x]) * t),
                           Clamp255(qGreen(p) * (1 - t) + qGreen(b[x]) * t),
                           Clamp255(qBlue(p) * (1 - t) + qBlue(b[x]) * t));
        }
    }
    return out;
}

QImage ScanLines(const QImage& picture, int strength, int bandHeight)
{
    const int keep = 100 - std::clamp(strength, 0, 100);
    const int band = std::max(1, bandHeight);
    QImage out = ToRgb32(picture);
    for (int y = 0; y < out.height(); ++y) {
        if ((y / band) % 2 == 0)
            continue;
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(qRed(p) * keep / 100, qGreen(p) * keep / 100, qBlue(p) * keep / 100);
        }
    }
    return out;
}
