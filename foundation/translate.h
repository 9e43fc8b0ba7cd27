#pragma once

#include <QString>

class QMenu;
class QWidget;

// Marks a Dutch text the user sees. The translation check of the test suite finds every
// NL("...") literal and demands a complete line for it in dll/Strings.DAT.
#define NL(text) QStringLiteral(text)

// Language index: 1 Dutch, 2 French, 3 English, 4 German, 0 unknown (texts show their key).
int  LanguageIndex();
void SetLanguageIndex(int index);
// Position of a LANGUAGE setting value in "NL|F|UK|DE|": 1 when empty, 0 when unknown.
int  LanguageIndexOf(const QString& language);

// The table is five parallel lists (key, Dutch, French, English, German); the first key that
// equals the text, case ignored, wins. The month and day names are registered before any file.
void LoadTranslations(const QString& file);
void AddTranslation(const QString& key, const QString& dutch, const QString& french,
                    const QString& german, const QString& english);
// Back to the built-in entries only (tests and tools that load another file).
void ResetTranslations();

// When on, a text without translation is shown in parentheses, so missing entries stand out.
void SetUntranslatedMarker(bool on);
bool UntranslatedMarker();

QString Translate(const QString& text);

// Texts, titles and tool tips of every action and sub-menu, recursively; separators skipped.
void TranslateMenu(QMenu* menu);
// A '|' record of pairs "shown text|value|...": each shown text translated, values kept.
QString TranslatePairs(const QString& text);
// Translates a window and every widget in it from the Dutch source texts, which each widget
// keeps, so the window can be translated again after the language changes. Every widget: its
// window title and tool tip. Besides:
//   QLabel, QAbstractButton (push, tool, check, radio buttons)  text
//   QGroupBox                                                  title
//   QLineEdit                                                  placeholder (never the typed text)
//   QTabBar (so QTabWidget)                                    tab texts and tab tool tips
//   QToolBox                                                   page texts and tool tips
//   QComboBox, QListView and QListWidget                       item texts and tool tips
//   QTreeWidget (the program's own tree)                       node texts of column 0
//   QTreeView on another model (the platform's tree)           nodes stay as they are
//   QHeaderView (QTableWidget, QTreeWidget, ... headers)       section texts
//   QMenuBar, QMenu, QToolBar and any widget's actions         as TranslateMenu
//   QFileDialog                                                title and filter descriptions
// Item models that cannot keep the Dutch source (file system, query models) are left alone,
// and so are a file dialog's own controls.
void TranslateWindow(QWidget* window);

QString MonthName(int n);     // 1 = januari
QString DayName(int n);       // 1 = zondag .. 7 = zaterdag, 8 = zondag again
QString ShortDayName(int n);  // "zo" .. "za", "zo"
