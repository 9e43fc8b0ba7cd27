#include "foundation/geometry.h"

#include <QColorDialog>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QWidget>

namespace {

// The direct child widgets that are controls of the container (not windows of their own).
QList<QWidget*> ChildControls(const QWidget* container)
{
    QList<QWidget*> controls;
    if (!container)
        return controls;
    for (QObject* child : container->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow())
            controls.append(widget);
    }
    return controls;
}

} // namespace

int ContentBottom(const QWidget* container)
{
    int bottom = 0;
    for (const QWidget* control : ChildControls(container))
        bottom = qMax(bottom, control->y() + control->height());
    return bottom;
}

int ContentRight(const QWidget* container)
{
    int right = 0;
    for (const QWidget* control : ChildControls(container)) {
        if (!IsPanel(control))
            right = qMax(right, control->x() + control->width());
    }
    return right;
}

bool IsPanel(const QWidget* widget)
{
    if (!widget)
        return false;
    if (widget->property("panel").toBool())
        return true;
    // QLabel, the scroll areas and other controls derive from QFrame too; only QFrame itself
    // plays the part of a panel.
    return widget->metaObject() == &QFrame::staticMetaObject;
}

QWidget* FirstVisibleControl(const QWidget* panel)
{
    QWidget* best = nullptr;
    for (QWidget* control : ChildControls(panel)) {
        if (control->isHidden())
            continue;
        const bool windowed = control->focusPolicy() != Qt::NoFocus || IsPanel(control)
            || qobject_cast<QGroupBox*>(control);
        if (!windowed)
            continue;
        if (!best || control->y() < best->y() || (control->y() == best->y() && control->x() < best->x()))
            best = control;
    }
    return best;
}

bool PointInRect(const QPoint& point, const QRect& rect)
{
    return point.x() >= rect.x() && point.x() <= rect.x() + rect.width() && point.y() >= rect.y()
        && point.y() <= rect.y() + rect.height();
}

bool IsKeyDown(Qt::KeyboardModifier modifier)
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(modifier);
}

QColor PickColor(const QColor& colour, QList<QColor>* customColours, QWidget* parent)
{
    if (customColours) {
        const int count = qMin(int(customColours->size()), QColorDialog::customCount());
        for (int i = 0; i < count; ++i)
            QColorDialog::setCustomColor(i, customColours->at(i));
    }
    QColorDialog dialog(colour, parent);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    if (customColours) {
        customColours->clear();
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            customColours->append(QColorDialog::customColor(i));
    }
    return chosen ? dialog.selectedColor() : colour;
}
