#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPalette>

// The rules of the number filter, shared by typing and pasting.
struct NumberInputRules
{
    bool allowNegative = true;
    // The data-aware edit also takes the decimal separator itself for "," and ".".
    bool separatorLikeComma = false;
    QChar decimalSeparator = QLatin1Char(',');
};

// What of `inserted` a number edit accepts between `before` and `after`, character by
// character: digits pass; "," or "." becomes the decimal separator when the text has none
// yet; "-" only at the first position and only once; everything else is dropped.
QString FilterNumberInput(const QString& before, const QString& inserted, const QString& after,
                          const NumberInputRules& rules);
// Case modes: 0 as typed, 1 first character upper case and the rest lower case (with
// everyWord: the first character of every word upper case, the rest as typed), 2 lower case,
// 3 upper case.
QString ApplyCaseMode(const QString& text, int mode, bool everyWord);

// The program's edit box: case mode, caret to the end on entering, Enter as Tab, number
// input and a background colour while it has the focus.
class TBlEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(int CaseMode READ CaseMode WRITE SetCaseMode)
    Q_PROPERTY(bool CursorEndField READ CursorEndField WRITE SetCursorEndField)
    Q_PROPERTY(bool EnterLikeTab READ EnterLikeTab WRITE SetEnterLikeTab)
    Q_PROPERTY(bool AllowOnlyNumbers READ AllowOnlyNumbers WRITE SetAllowOnlyNumbers)
    Q_PROPERTY(bool AllowNegNumbers READ AllowNegNumbers WRITE SetAllowNegNumbers)
    Q_PROPERTY(QColor FocusColor READ FocusColor WRITE SetFocusColor)
public:
    explicit TBlEdit(QWidget* parent = nullptr);

    int CaseMode() const { return m_caseMode; }
    void SetCaseMode(int mode);
    bool CursorEndField() const { return m_cursorEndField; }
    void SetCursorEndField(bool on) { m_cursorEndField = on; }
    bool EnterLikeTab() const { return m_enterLikeTab; }
    void SetEnterLikeTab(bool on) { m_enterLikeTab = on; }
    bool AllowOnlyNumbers() const { return m_allowOnlyNumbers; }
    void SetAllowOnlyNumbers(bool on) { m_allowOnlyNumbers = on; }
    bool AllowNegNumbers() const { return m_allowNegNumbers; }
    void SetAllowNegNumbers(bool on) { m_allowNegNumbers = on; }
    QColor FocusColor() const { return m_focusColor; }
    void SetFocusColor(const QColor& colour);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // The data-aware edit's rules.
    bool m_wordCapitals = false;
    bool m_separatorLikeComma = false;
    bool m_cursorEndField = true;
    bool m_allowNegNumbers = true;

private:
    void OnTextEdited();

    int m_caseMode = 0;
    bool m_enterLikeTab = true;
    bool m_allowOnlyNumbers = false;
    QColor m_focusColor;
    QString m_lastText;  // the text before the user's edit
    QPalette m_normalPalette;
    bool m_focusPainted = false;
};

// The data-aware edit of the record card. The card binds it to its field later; here it
// carries the field name. Differs from TBlEdit: no caret move on entering by default, case
// mode 1 capitalises every word, "-" only with AllowNegNumbers (off by default), and the
// decimal separator itself counts as "," and ".".
class TBlDBEdit : public TBlEdit
{
    Q_OBJECT
    Q_PROPERTY(QString FieldName READ FieldName WRITE SetFieldName)
public:
    explicit TBlDBEdit(QWidget* parent = nullptr);

    QString FieldName() const { return m_fieldName; }
    void SetFieldName(const QString& name) { m_fieldName = name; }

private:
    QString m_fieldName;
};
