#pragma once

#include <QDialog>

// The base of the program's dialogs: translated on showing when the language is not Dutch
// (or back to Dutch when it was shown in another language before), and placed where the user
// left it (data folder "screen.ini", under the object name).
class TfrmDefaultDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmDefaultDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // The key in "screen.ini": the object name, else the class name.
    QString ComponentName() const;
    // A dialog with a fixed size keeps it; only a resizable one takes the stored size.
    bool IsSizeable() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void RestorePlacement();
    void SavePlacement() const;

    bool m_placed = false;
    int m_shownLanguage = 1;  // the language its texts are in
};
