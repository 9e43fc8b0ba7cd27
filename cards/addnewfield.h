#pragma once

#include <QString>

#include <functional>

#include "foundation/defaultdialog.h"

class QDialogButtonBox;
class QListWidget;
class QPushButton;
class QSpinBox;
class TBlEdit;

// The new-field dialog ("Nieuw veld"): a name, a type from the list (icon + text) and a size.
// OK is enabled while the trimmed name is not empty and a type is chosen; on OK the name
// check runs and a refusal keeps the dialog open. In the size-change mode the name box is
// disabled and OK closes at once.
class TdlAddNewField : public TfrmDefaultDialog
{
    Q_OBJECT
public:
    // module 8 (product card designer) also offers the product choices.
    explicit TdlAddNewField(int module, QWidget* parent = nullptr);

    // Runs on OK with the trimmed name and the chosen kind; false keeps the dialog open (the
    // check tells the user why).
    std::function<bool(const QString& name, int kind)> nameCheck;

    // The size change of an existing column: the name shown and disabled, the type list at
    // its first entry, the size box at the current size.
    void SetSizeChangeMode(const QString& shownName, int currentSize);
    bool SizeChangeMode() const;

    QString FieldName() const;   // trimmed
    int Code() const;            // the chosen new-field code, 0 when none
    int FieldSize() const;

    TBlEdit* NameEdit() const { return m_name; }
    QListWidget* TypeList() const { return m_types; }
    QSpinBox* SizeBox() const { return m_size; }
    QPushButton* OkButton() const { return m_ok; }

public Q_SLOTS:
    void accept() override;

private:
    void OnTypeChosen();
    void UpdateOk();

    TBlEdit* m_name = nullptr;
    QListWidget* m_types = nullptr;
    QSpinBox* m_size = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
