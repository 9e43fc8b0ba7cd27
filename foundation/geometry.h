#pragma once

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

// Geometry of card panels. Child controls are the direct child widgets that are not windows.

// Largest y + height of the child controls (0 when none).
int ContentBottom(const QWidget* container);
// Largest x + width of the child controls, panels not counted (see IsPanel).
int ContentRight(const QWidget* container);
// A panel is a plain QFrame (not a QLabel, scroll area or other control built on QFrame), or
// any widget whose property "panel" is true.
bool IsPanel(const QWidget* widget);
// The top-most (then left-most) child that is not hidden and is a windowed control: one that
// takes focus, a panel or a group box. Labels and other display-only widgets are passed over.
QWidget* FirstVisibleControl(const QWidget* panel);
// Inclusive on all four edges, the right edge being x + width and the bottom y + height.
bool PointInRect(const QPoint& point, const QRect& rect);
// Whether the modifier key is held down now.
bool IsKeyDown(Qt::KeyboardModifier modifier);
// Shows the colour dialog preset with the colour and, when given, the custom colours (which
// come back as the user left them); the chosen colour, or the given one when cancelled.
QColor PickColor(const QColor& colour, QList<QColor>* customColours = nullptr, QWidget* parent = nullptr);
