#include "foundation/bledit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include "foundation/numbers.h"

namespace {

bool HasDecimalSeparator(const QString& text, QChar separator)
{
    // Numbers read "," and "." alike, so either one already makes the number decimal.
    return text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('.'))
        || text.contains(separator);
}

}  // namespace

QString FilterNumberInput(const QString& before, const QString& inserted, const QString& after,
                          const NumberInputRules& rules)
{
    QString accepted;
    for (const QChar c : inserted) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            accepted += c;
        } else if (c == QLatin1Char(',') || c == QLatin1Char('.')
                   || (rules.separatorLikeComma && c == rules.decimalSeparator)) {
            if (!HasDecimalSeparator(before + accepted + after, rules.decimalSeparator))
                accepted += rules.decimalSeparator;
        } else if (c == QLatin1Char('-')) {
            const bool first = before.isEmpty() && accepted.isEmpty();
            if (rules.allowNegative && first && !after.contains(QLatin1Char('-')))
                accepted += c;
        }
        // Everything else, control characters of pasted text included, is dropped.
    }
    return accepted;
}

QString ApplyCaseMode(const QString& text, int mode, bool everyWord)
{
    switch (mode) {
    case 1: {
        if (!everyWord)
            return text.left(1).toUpper() + text.mid(1).toLower();
        QString result = text;
        for (int i = 0; i < result.size(); ++i) {
            if (i == 0 || result.at(i - 1) == QLatin1Char(' '))
                result[i] = result.at(i).toUpper();
        }
        return result;
    }
    case 2: return text.toLower();
    case 3: return text.toUpper();
    default: return text;
    }
}

TBlEdit::TBlEdit(QWidget* parent)
    : QLineEdit(parent),
      m_focusColor(QApplication::palette().color(QPalette::ToolTipBase))
{
    connect(this, &QLineEdit::textEdited, this, &TBlEdit::OnTextEdited);
    // textEdited comes before textChanged, so m_lastText still holds the text before an edit.
    connect(this, &QLineEdit::textChanged, this, [this] { m_lastText = text(); });
}

void TBlEdit::SetCaseMode(int mode)
{
    m_caseMode = (mode >= 0 && mode <= 3) ? mode : 0;
}

void TBlEdit::SetFocusColor(const QColor& colour)
{
    m_focusColor = colour;
    if (m_focusPainted) {
        QPalette focused = m_normalPalette;
        if (colour.isValid())
            focused.setColor(QPalette::Base, colour);
        setPalette(focused);
    }
}

void TBlEdit::OnTextEdited()
{
    const QString old = m_lastText;
    const QString now = text();
    QString result = now;
    int cursor = cursorPosition();

    if (m_allowOnlyNumbers) {
        // The edit replaced old[prefix, old.size() - suffix) by what lies between in `now`;
        // typing, pasting and dropping all arrive here, so one filter serves them all.
        // The caret stands after the inserted text, which settles where a repeated
        // character went ("-" typed before "-5").
        int suffix = now.size() - cursor;
        const bool caretFits = suffix >= 0 && suffix <= old.size() && old.right(suffix) == now.right(suffix);
        const int shortest = std::min(old.size(), now.size());
        int prefixLimit = shortest;
        if (caretFits) {
            prefixLimit = std::min(cursor, static_cast<int>(old.size()) - suffix);
        } else {
            suffix = 0;
            while (suffix < shortest
                   && old.at(old.size() - 1 - suffix) == now.at(now.size() - 1 - suffix))
                ++suffix;
        }
        int prefix = 0;
        while (prefix < prefixLimit && old.at(prefix) == now.at(prefix))
            ++prefix;
        if (!caretFits)
            suffix = std::min(suffix, static_cast<int>(shortest) - prefix);
        const QString before = now.left(prefix);
        const QString after = now.right(suffix);
        const QString inserted = now.mid(prefix, now.size() - prefix - suffix);
        NumberInputRules rules;
        rules.allowNegative = m_allowNegNumbers;
        rules.separatorLikeComma = m_separatorLikeComma;
        rules.decimalSeparator = DecimalSeparator();
        const QString accepted = FilterNumberInput(before, inserted, after, rules);
        if (accepted != inserted) {
            result = before + accepted + after;
            cursor = before.size() + accepted.size();
        }
    }
    result = ApplyCaseMode(result, m_caseMode, m_wordCapitals);
    if (result != now) {
        setText(result);
        setCursorPosition(cursor);
    }
    m_lastText = text();
}

void TBlEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_enterLikeTab && !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))) {
        if (event->modifiers() & Qt::ShiftModifier)
            focusPreviousChild();
        else
            focusNextChild();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TBlEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (m_cursorEndField && !hasSelectedText())
        end(false);
    if (m_focusColor.isValid() && !m_focusPainted) {
        m_normalPalette = palette();
        QPalette focused = m_normalPalette;
        focused.setColor(QPalette::Base, m_focusColor);
        setPalette(focused);
        m_focusPainted = true;
    }
}

void TBlEdit::focusOutEvent(QFocusEvent* event)
{
    if (m_focusPainted) {
        setPalette(m_normalPalette);
        m_focusPainted = false;
    }
    QLineEdit::focusOutEvent(event);
}

TBlDBEdit::TBlDBEdit(QWidget* parent) : TBlEdit(parent)
{
    m_wordCapitals = true;
    m_separatorLikeComma = true;
    m_cursorEndField = false;
    m_allowNegNumbers = false;
}
