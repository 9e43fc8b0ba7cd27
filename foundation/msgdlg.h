#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

#include "foundation/translate.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Results of Ask, as the program has always compared them.
constexpr int AskFirst = 1;
constexpr int AskSecond = 7;
constexpr int AskClosed = 2;

// The program's own message and input window: a text area, an optional edit box and check
// box, and two buttons. The caption is the application title.
class TmyMsgDlg : public QDialog
{
    Q_OBJECT
public:
    // An empty second caption shows one button only.
    TmyMsgDlg(const QString& text, const QString& firstCaption, const QString& secondCaption,
              QWidget* parent = nullptr);

    // Turns the window into an input box (the edit box gets the focus). Names are refused by
    // OK and Enter while the trimmed text is empty or one of the forbidden names.
    void ShowEditBox(const QString& initialText, const QStringList& forbiddenNames,
                     bool numbersOnly);
    void ShowCheckBox(const QString& caption, bool checked);

    // 1 first button, 7 second button, 2 closed otherwise (close box, Esc); after exec().
    int Answer() const { return m_answer; }
    QString EditText() const;
    bool Checked() const;
    QString MessageText() const;

    QLineEdit* EditBox() const { return m_edit; }
    QPushButton* FirstButton() const { return m_first; }
    QPushButton* SecondButton() const { return m_second; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsRefused() const;
    void OnFirst();

    QLabel* m_text = nullptr;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_check = nullptr;
    QPushButton* m_first = nullptr;
    QPushButton* m_second = nullptr;
    QString m_prompt;
    QStringList m_forbidden;
    int m_answer = AskClosed;
};

// Shown texts, as asked; and what the user did. Lets tests and batch tools answer the dialogs
// without a window.
struct MessageRequest
{
    QString text;          // translated when asked
    QStringList buttons;   // translated captions
    bool asksText = false; // AskText
    QString initialText;
    QString checkCaption;
    bool checked = false;
};
struct MessageAnswer
{
    int result = AskClosed;
    QString text;
    bool checked = false;
};
using MessageHook = std::function<MessageAnswer(const MessageRequest&)>;
// While set, ShowNotice, Ask and AskText call the hook instead of showing a window. AskText
// still refuses a forbidden or empty answer (it then counts as cancelled).
void SetMessageHook(MessageHook hook);

void ShowNotice(const QString& text, bool translate = true,
                const QString& buttonCaption = NL("OK"));
// 1 for the first button, 7 for the second, 2 when the window is closed otherwise.
int Ask(const QString& text, bool translate = true, const QString& firstCaption = NL("Ja"),
        const QString& secondCaption = NL("Nee"));
// The trimmed text on OK, an empty text otherwise; with a check box caption, "|TRUE" or
// "|FALSE" for its state follows in both cases.
QString AskText(const QString& title, const QStringList& forbiddenNames = {},
                const QString& initialText = {}, const QString& checkCaption = {},
                bool checked = false, bool numbersOnly = false);
