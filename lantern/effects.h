#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Retouching effects of the scaling dialog, named as its "expert" buttons are.
// Each takes the picture and the amount of the number field and returns a new
// picture; the input is never changed. Pictures come back as Format_RGB32.

// Button order of the effect panel ("blend" needs a second picture, see BlendPictures).
QStringList EffectNames();
bool IsEffectName(const QString& name);
// Applies the named effect; an unknown name (or "blend") returns the picture unchanged.
QImage ApplyEffect(const QString& name, const QImage& picture, int amount);

QImage ToRgb32(const QImage& picture);

QImage Contrast(const QImage& picture, int amount);      // amount in percent, negative flattens
QImage Lightness(const QImage& picture, int amount);     // amount in percent of full white
QImage GaussianBlur(const QImage& picture, int radius);  // any 32-bit format, alpha blurred too
QImage BoxBlur(const QImage& picture, int radius);       // three box passes: the quick blur
QImage SplitBlur(const QImage& picture, int amount);
QImage HeightMap(const QImage& picture, int amount);
QImage Texturize(const QImage& picture, int amount);
QImage TexturizeII(const QImage& picture, int amount);
QImage RippleI(const QImage& picture, int amount);
QImage RippleII(const QImage& picture, int amount);
QImage RippleIII(const QImage& picture, int amount);
QImage Mosaic(const QImage& picture, int amount);
QImage Grayscale(const QImage& picture);
QImage Antialias(const QImage& picture);
QImage Invert(const QImage& picture);
QImage MirrorHorizontal(const QImage& picture);
QImage MirrorVertical(const QImage& picture);
QImage ColorNoise(const QImage& picture, int amount);
QImage MonoNoise(const QImage& picture, int amount);
QImage Saturation(const QImage& picture, int amount);   // amount in percent, -100 gives grey
QImage Spray(const QImage& picture, int amount);
QImage SplitLight(const QImage& picture, int amount);
QImage Rotate90(const QImage& picture);
QImage QuatroOp(const QImage& picture);
// Mixes blend into picture with weight (0..1); blend is stretched to the picture's size.
QImage BlendPictures(const QImage& picture, const QImage& blend, double weight);
// The scan-line filter: every other band of rows darkened by strength percent.
QImage ScanLines(const QImage& picture, int strength, int bandHeight = 1);
