#include "foundation/msgdlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/bledit.h"
#include "foundation/textutil.h"

namespace {

MessageHook& Hook()
{
    static MessageHook hook;
    return hook;
}

bool IsForbiddenName(const QString& text, const QStringList& forbidden)
{
    const QString name = text.trimmed();
    for (const QString& f : forbidden) {
        if (name.compare(f.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool IsRefusedName(const QString& text, const QStringList& forbidden)
{
    return text.trimmed().isEmpty() || IsForbiddenName(text, forbidden);
}

QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

}  // namespace

TmyMsgDlg::TmyMsgDlg(const QString& text, const QString& firstCaption,
                     const QString& secondCaption, QWidget* parent)
    : QDialog(parent), m_prompt(text)
{
    setWindowTitle(QApplication::applicationDisplayName());

    m_text = new QLabel(text, this);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setMinimumWidth(280);

    m_first = new QPushButton(firstCaption, this);
    m_first->setDefault(true);
    connect(m_first, &QPushButton::clicked, this, &TmyMsgDlg::OnFirst);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_first);
    if (!secondCaption.isEmpty()) {
        m_second = new QPushButton(secondCaption, this);
        connect(m_second, &QPushButton::clicked, this, [this] {
            m_answer = AskSecond;
            accept();
        });
        buttons->addWidget(m_second);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_first->setFocus();
}

void TmyMsgDlg::ShowEditBox(const QString& initialText, const QStringList& forbiddenNames,
                            bool numbersOnly)
{
    m_forbidden = forbiddenNames;
    auto* edit = new TBlEdit(this);
    edit->SetEnterLikeTab(false);  // Enter answers the dialog here
    edit->SetAllowOnlyNumbers(numbersOnly);
    edit->setText(initialText);
    edit->selectAll();
    edit->installEventFilter(this);
    m_edit = edit;
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(1, m_edit);
    m_edit->setFocus();
}

void TmyMsgDlg::ShowCheckBox(const QString& caption, bool checked)
{
    m_check = new QCheckBox(caption, this);
    m_check->setChecked(checked);
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(m_edit ? 2 : 1, m_check);
}

QString TmyMsgDlg::EditText() const
{
    return m_edit ? m_edit->text() : QString();
}

bool TmyMsgDlg::Checked() const
{
    return m_check && m_check->isChecked();
}

QString TmyMsgDlg::MessageText() const
{
    return m_text->text();
}

bool TmyMsgDlg::IsRefused() const
{
    return m_edit && IsRefusedName(m_edit->text(), m_forbidden);
}

void TmyMsgDlg::OnFirst()
{
    if (IsRefused()) {
        if (!m_forbidden.isEmpty()) {
            const QString refusal = Translate(NL("Deze naam mag niet gebruikt worden:"));
            m_text->setText(m_prompt + QLatin1String("\n\n") + refusal + QLatin1Char('\n')
                            + m_forbidden.join(QLatin1Char('\n')));
        }
        m_edit->setFocus();
        return;
    }
    m_answer = AskFirst;
    accept();
}

bool TmyMsgDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter)
            && IsForbiddenName(m_edit->text(), m_forbidden)) {
            ShowNotice(NL("Lijst met zelfde naam bestaat al"), true, NL("OK"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SetMessageHook(MessageHook hook)
{
    Hook() = std::move(hook);
}

void ShowNotice(const QString& text, bool translate, const QString& buttonCaption)
{
    const QString shown = translate ? Translate(text) : text;
    const QString caption = Translate(buttonCaption);
    if (Hook()) {
        MessageRequest request;
        request.text = shown;
        request.buttons = QStringList{caption};
        Hook()(request);
        return;
    }
    TmyMsgDlg dialog(shown, caption, QString(), DialogParent());
    dialog.exec();
}

int Ask(const QString& text, bool translate, const QString& firstCaption,
        const QString& secondCaption)
{
    const QString shown = translate ? Translate(text) : text;
    const QString first = Translate(firstCaption);
    const QString second = Translate(secondCaption);
    if (Hook()) {
        MessageRequest request;
        request.text = shown;
        request.buttons = QStringList{first, second};
        return Hook()(request).result;
    }
    TmyMsgDlg dialog(shown, first, second, DialogParent());
    dialog.exec();
    return dialog.Answer();
}

QString AskText(const QString& title, const QStringList& forbiddenNames,
                const QString& initialText, const QString& checkCaption, bool checked,
                bool numbersOnly)
{
    const QString shownTitle = Translate(title);
    const QString ok = Translate(NL("OK"));
    const QString cancel = Translate(NL("Annuleren"));
    const bool withCheck = !checkCaption.isEmpty();
    const QString shownCheck = Translate(checkCaption);

    int answer = AskClosed;
    QString text;
    bool isChecked = checked;
    if (Hook()) {
        MessageRequest request;
        request.text = shownTitle;
        request.buttons = QStringList{ok, cancel};
        request.asksText = true;
        request.initialText = initialText;
        request.checkCaption = shownCheck;
        request.checked = checked;
        const MessageAnswer a = Hook()(request);
        answer = IsRefusedName(a.text, forbiddenNames) ? AskClosed : a.result;
        text = a.text;
        isChecked = a.checked;
    } else {
        TmyMsgDlg dialog(shownTitle, ok, cancel, DialogParent());
        dialog.setWindowTitle(shownTitle);
        dialog.ShowEditBox(initialText, forbiddenNames, numbersOnly);
        if (withCheck)
            dialog.ShowCheckBox(shownCheck, checked);
        dialog.exec();
        answer = dialog.Answer();
        text = dialog.EditText();
        isChecked = dialog.Checked();
    }

    QString result = answer == AskFirst ? text.trimmed() : QString();
    if (withCheck)
        result += QLatin1Char('|') + BoolText(isChecked);
    return result;
}
