#include "cards/addnewfield.h"

#include "cards/imagelist.h"
#include "data/fieldkinds.h"
#include "foundation/bledit.h"
#include "foundation/translate.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kCodeRole = Qt::UserRole + 1;

} // namespace

TdlAddNewField::TdlAddNewField(int module, QWidget* parent) : TfrmDefaultDialog(parent)
{
    setObjectName(QStringLiteral("dlAddNewField"));
    setWindowTitle(NL("Nieuw veld"));

    auto* nameLabel = new QLabel(NL("Veldnaam"), this);
    m_name = new TBlEdit(this);
    m_name->setObjectName(QStringLiteral("EditName"));
    m_name->setToolTip(NL("Naam voor een nieuw veld"));
    m_name->setMaxLength(64);
    nameLabel->setBuddy(m_name);

    auto* typeLabel = new QLabel(NL("Veldtype"), this);
    m_types = new QListWidget(this);
    m_types->setObjectName(QStringLiteral("ListTypes"));
    m_types->setIconSize(QSize(16, 16));
    m_types->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const NewFieldChoice& choice : NewFieldChoices(module)) {
        auto* item = new QListWidgetItem(SmallImage(choice.code), choice.text, m_types);
        item->setData(kCodeRole, choice.code);
    }
    m_types->setCurrentRow(-1);
    typeLabel->setBuddy(m_types);

    auto* sizeLabel = new QLabel(NL("Veldgrootte"), this);
    m_size = new QSpinBox(this);
    m_size->setObjectName(QStringLiteral("SpinSize"));
    m_size->setRange(1, 255);
    m_size->setValue(30);
    sizeLabel->setBuddy(m_size);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(NL("OK"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(NL("Annuleren"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TdlAddNewField::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TdlAddNewField::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(typeLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(m_types, 1, 1);
    grid->addWidget(sizeLabel, 2, 0);
    grid->addWidget(m_size, 2, 1, Qt::AlignLeft);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    setTabOrder(m_name, m_types);
    setTabOrder(m_types, m_size);
    setTabOrder(m_size, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_name, &QLineEdit::textChanged, this, &TdlAddNewField::UpdateOk);
    connect(m_types, &QListWidget::currentRowChanged, this, &TdlAddNewField::OnTypeChosen);
    // A double click on a type is the same as choosing it and pressing OK.
    connect(m_types, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_ok->isEnabled())
            accept();
    });
    UpdateOk();
    resize(340, 420);
}

void TdlAddNewField::SetSizeChangeMode(const QString& shownName, int currentSize)
{
    m_name->setText(shownName);
    m_name->setEnabled(false);
    m_types->setCurrentRow(0);
    m_types->setEnabled(false);
    m_size->setEnabled(true);
    m_size->setValue(currentSize);
    m_size->setFocus();
    UpdateOk();
}

bool TdlAddNewField::SizeChangeMode() const
{
    return !m_name->isEnabled();
}

QString TdlAddNewField::FieldName() const
{
    return m_name->text().trimmed();
}

int TdlAddNewField::Code() const
{
    const QListWidgetItem* item = m_types->currentItem();
    return item && m_types->currentRow() >= 0 ? item->data(kCodeRole).toInt() : 0;
}

int TdlAddNewField::FieldSize() const
{
    return m_size->value();
}

void TdlAddNewField::OnTypeChosen()
{
    if (!SizeChangeMode() && Code() != 0) {
        const NewFieldChoice choice = NewFieldChoiceOfCode(Code());
        switch (choice.sizeBox) {
        case SizeBoxState::Enabled:
            m_size->setEnabled(true);
            m_size->setValue(choice.size);
            break;
        case SizeBoxState::Fixed:
            m_size->setValue(choice.size);
            m_size->setEnabled(false);
            break;
        case SizeBoxState::Disabled:
            m_size->setEnabled(false);
            break;
        }
    }
    UpdateOk();
}

void TdlAddNewField::UpdateOk()
{
    m_ok->setEnabled(!FieldName().isEmpty() && Code() != 0);
}

void TdlAddNewField::accept()
{
    if (!m_ok->isEnabled())
        return;
    if (!SizeChangeMode() && nameCheck && !nameCheck(FieldName(), NewFieldChoiceOfCode(Code()).kind)) {
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    TfrmDefaultDialog::accept();
}
