#include "foundation/defaultdialog.h"

#include <QHideEvent>
#include <QLayout>
#include <QShowEvent>

#include "foundation/homefolder.h"
#include "foundation/pairfile.h"
#include "foundation/translate.h"

namespace {

QString ScreenIni()
{
    return DataFolder() + QStringLiteral("screen.ini");
}

}  // namespace

TfrmDefaultDialog::TfrmDefaultDialog(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
}

QString TfrmDefaultDialog::ComponentName() const
{
    const QString name = objectName();
    return name.isEmpty() ? QString::fromLatin1(metaObject()->className()) : name;
}

bool TfrmDefaultDialog::IsSizeable() const
{
    if (layout() && layout()->sizeConstraint() == QLayout::SetFixedSize)
        return false;
    return minimumSize() != maximumSize();
}

void TfrmDefaultDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        if (LanguageIndex() != 1 || m_shownLanguage != 1) {
            TranslateWindow(this);
            m_shownLanguage = LanguageIndex();
        }
        RestorePlacement();
    }
    QDialog::showEvent(event);
}

void TfrmDefaultDialog::hideEvent(QHideEvent* event)
{
    // accept(), reject() and the close box all hide the dialog; minimising does not count.
    if (!event->spontaneous() && m_placed)
        SavePlacement();
    QDialog::hideEvent(event);
}

void TfrmDefaultDialog::RestorePlacement()
{
    const WindowPlacement placement = LoadWindowPlacement(ComponentName(), ScreenIni());
    if (placement.found && IsSizeable())
        resize(placement.width, placement.height);
    move(placement.left, placement.top);
    m_placed = true;
}

void TfrmDefaultDialog::SavePlacement() const
{
    SaveWindowPlacement(x(), y(), width(), height(), QString(), ComponentName(), ScreenIni());
}
