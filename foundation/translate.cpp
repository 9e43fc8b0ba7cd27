#include "foundation/translate.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStringDecoder>
#include <QTabBar>
#include <QToolBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QVariantMap>

#include <functional>

#include "foundation/homefolder.h"
#include "foundation/records.h"

namespace {

struct TranslationTable
{
    QStringList keys, dutch, french, english, german;
    QHash<QString, int> firstIndex;  // case-folded key -> first entry with that key

};

void AddBuiltInEntries(TranslationTable& table);

TranslationTable& Table()
{
    static TranslationTable table = [] {
        TranslationTable t;
        AddBuiltInEntries(t);
        return t;
    }();
    return table;
}

void AddEntry(TranslationTable& table, const QString& key, const QString& nl, const QString& fr,
              const QString& en, const QString& de)
{
    const QString folded = key.toCaseFolded();
    if (!table.firstIndex.contains(folded))  // the first equal key wins
        table.firstIndex.insert(folded, table.keys.size());
    table.keys << key;
    table.dutch << nl;
    table.french << fr;
    table.english << en;
    table.german << de;
}

void AddBuiltInEntries(TranslationTable& table)
{
    // key, Dutch, French, German, English, as AddTranslation takes them.
    static const char* const entries[][5] = {
        {"januari", "januari", "janvier", "januar", "january"},
        {"februari", "februari", "f\u00e9vrier", "februar", "february"},
        {"maart", "maart", "mars", "m\u00e4rz", "march"},
        {"april", "april", "avril", "april", "april"},
        {"mei", "mei", "mai", "mai", "may"},
        {"juni", "juni", "juin", "juni", "june"},
        {"juli", "juli", "juillet", "juli", "july"},
        {"augustus", "augustus", "ao\u00fbt", "august", "august"},
        {"september", "september", "septembre", "september", "september"},
        {"oktober", "oktober", "octobre", "oktober", "october"},
        {"november", "november", "novembre", "november", "november"},
        {"december", "december", "d\u00e9cembre", "dezember", "december"},
        {"zondag", "zondag", "dimanche", "sonntag", "sunday"},
        {"maandag", "maandag", "lundi", "montag", "monday"},
        {"dinsdag", "dinsdag", "mardi", "dienstag", "tuesday"},
        {"woensdag", "woensdag", "mercredi", "mittwoch", "wednesday"},
        {"donderdag", "donderdag", "jeudi", "donnerstag", "thursday"},
        {"vrijdag", "vrijdag", "vendredi", "freitag", "friday"},
        {"zaterdag", "zaterdag", "samedi", "samstag", "saturday"},
        {"zo", "zo", "di", "so", "su"},
        {"ma", "ma", "lu", "mo", "mo"},
        {"di", "di", "ma", "di", "tu"},
        {"wo", "wo", "me", "mi", "we"},
        {"do", "do", "je", "do", "th"},
        {"vr", "vr", "ve", "fr", "fr"},
        {"za", "za", "sa", "sa", "sa"},
    };
    for (const auto& e : entries) {
        AddEntry(table, QString::fromUtf8(e[0]), QString::fromUtf8(e[1]), QString::fromUtf8(e[2]),
                 QString::fromUtf8(e[4]), QString::fromUtf8(e[3]));
    }
}

int g_languageIndex = 1;
bool g_untranslatedMarker = false;

bool IsAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool IsTranslatable(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (trimmed.size() == 1) {
        const QChar c = trimmed.at(0);
        if ((c >= QLatin1Char('!') && c <= QLatin1Char('/'))
            || (c >= QLatin1Char(':') && c <= QLatin1Char('@')) || c == QLatin1Char('|'))
            return false;
    }
    // A path such as "C:\data" (or "C:/data", as paths are written here).
    if (text.size() >= 3 && text.at(1) == QLatin1Char(':')
        && (text.at(2) == QLatin1Char('\\') || text.at(2) == QLatin1Char('/')))
        return false;
    return std::any_of(text.cbegin(), text.cend(), IsAsciiLetter);
}

QString LanguageColumn(const TranslationTable& table, int index, int language)
{
    switch (language) {
    case 1: return table.dutch.at(index);
    case 2: return table.french.at(index);
    case 3: return table.english.at(index);
    case 4: return table.german.at(index);
    default: return table.keys.at(index);
    }
}

QString DecodeTranslationFile(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder ansi("windows-1252");
    return ansi.decode(bytes);
}

// ---- window translation ------------------------------------------------------------------

// Where a translated widget keeps its Dutch texts: per text a pair [source, shown].
const char* const SourceProperty = "quillonDutchSource";
// The same pair on an item of an item model, for its text and its tool tip.
constexpr int SourceTextRole = Qt::UserRole + 0x4E4C;
constexpr int SourceTipRole = SourceTextRole + 1;

using Translator = std::function<QString(const QString&)>;

// Works out what to show for a text from its memory. When the program has put another text
// there since the last translation, that text is the new Dutch source. Returns false when
// nothing needs to change or be remembered.
bool Retranslate(QStringList& memory, const QString& current, QString* shown,
                 const Translator& translate = Translate)
{
    const bool known = memory.size() == 2 && memory.at(1) == current;
    const QString source = known ? memory.at(0) : current;
    *shown = translate(source);
    if (memory.isEmpty() && *shown == current)
        return false;
    memory = QStringList{source, *shown};
    return true;
}

void TranslateSlot(QObject* owner, const QString& slot, const QString& current,
                   const std::function<void(const QString&)>& set,
                   const Translator& translate = Translate)
{
    QVariantMap map = owner->property(SourceProperty).toMap();
    QStringList memory = map.value(slot).toStringList();
    QString shown;
    if (!Retranslate(memory, current, &shown, translate))
        return;
    map.insert(slot, memory);
    owner->setProperty(SourceProperty, map);
    if (shown != current)
        set(shown);
}

// Item models keep the memory in the item itself; a model that cannot store it is left alone
// (a file system model, a query model), so its data is never touched.
bool TranslateModelValue(const std::function<QVariant(int)>& get,
                         const std::function<bool(const QVariant&, int)>& set, int role,
                         int memoryRole)
{
    const QString current = get(role).toString();
    QStringList memory = get(memoryRole).toStringList();
    QString shown;
    if (!Retranslate(memory, current, &shown))
        return true;
    if (!set(memory, memoryRole))
        return false;
    if (shown != current)
        set(shown, role);
    return true;
}

void TranslateModelColumn(QAbstractItemModel* model, int column, const QModelIndex& parent,
                          bool recursive)
{
    if (!model)
        return;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, column, parent);
        auto get = [&](int role) { return model->data(index, role); };
        auto set = [&](const QVariant& v, int role) { return model->setData(index, v, role); };
        if (!TranslateModelValue(get, set, Qt::DisplayRole, SourceTextRole))
            return;
        TranslateModelValue(get, set, Qt::ToolTipRole, SourceTipRole);
        if (recursive)
            TranslateModelColumn(model, column, model->index(row, 0, parent), true);
    }
}

void TranslateHeader(QHeaderView* header)
{
    QAbstractItemModel* model = header->model();
    if (!model)
        return;
    const Qt::Orientation o = header->orientation();
    const int count = o == Qt::Horizontal ? model->columnCount() : model->rowCount();
    for (int section = 0; section < count; ++section) {
        auto get = [&](int role) { return model->headerData(section, o, role); };
        auto set = [&](const QVariant& v, int role) {
            return model->setHeaderData(section, o, v, role);
        };
        if (!TranslateModelValue(get, set, Qt::DisplayRole, SourceTextRole))
            return;
    }
}

QString AutoToolTip(const QString& text)
{
    // What QAction shows as tool tip when none was set: the text without "&" and "...".
    QString s = text;
    s.remove(QStringLiteral("..."));
    for (int i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('&'))
            s.remove(i, 1);
    }
    return s.trimmed();
}

void TranslateActions(const QList<QAction*>& actions, QSet<QObject*>& seen);

void TranslateAction(QAction* action, QSet<QObject*>& seen)
{
    if (!action || action->isSeparator() || seen.contains(action))
        return;
    seen.insert(action);
    const bool autoTip = action->toolTip() == AutoToolTip(action->text());
    TranslateSlot(action, QStringLiteral("text"), action->text(),
                  [action](const QString& s) { action->setText(s); });
    if (!autoTip) {
        TranslateSlot(action, QStringLiteral("toolTip"), action->toolTip(),
                      [action](const QString& s) { action->setToolTip(s); });
    }
    TranslateSlot(action, QStringLiteral("statusTip"), action->statusTip(),
                  [action](const QString& s) { action->setStatusTip(s); });
    if (QMenu* menu = action->menu<QMenu*>(); menu && !seen.contains(menu)) {
        seen.insert(menu);
        TranslateActions(menu->actions(), seen);
    }
}

void TranslateActions(const QList<QAction*>& actions, QSet<QObject*>& seen)
{
    for (QAction* action : actions)
        TranslateAction(action, seen);
}

void TranslateIndexed(QObject* owner, const QString& prefix, int count,
                      const std::function<QString(int)>& get,
                      const std::function<void(int, const QString&)>& set)
{
    for (int i = 0; i < count; ++i) {
        TranslateSlot(owner, prefix + QString::number(i), get(i),
                      [&set, i](const QString& s) { set(i, s); });
    }
}

QString FiltersTranslated(const QString& filters)
{
    // "Tekstbestanden (*.txt);;...": each description translated, the patterns kept.
    QStringList shown;
    for (const QString& filter : filters.split(QLatin1String(";;"))) {
        const int open = filter.lastIndexOf(QLatin1String(" ("));
        shown << (open < 0 ? Translate(filter) : Translate(filter.left(open)) + filter.mid(open));
    }
    return shown.join(QLatin1String(";;"));
}

void TranslateFileDialog(QFileDialog* dialog)
{
    TranslateSlot(
        dialog, QStringLiteral("nameFilters"), dialog->nameFilters().join(QLatin1String(";;")),
        [dialog](const QString& s) { dialog->setNameFilters(s.split(QLatin1String(";;"))); },
        FiltersTranslated);
}

bool InsideFileDialog(const QWidget* widget, const QWidget* window)
{
    // The platform dialog's own controls carry the toolkit's texts, not ours.
    for (const QWidget* w = widget->parentWidget(); w && w != window->parentWidget();
         w = w->parentWidget()) {
        if (qobject_cast<const QFileDialog*>(w))
            return true;
    }
    return false;
}

void TranslateWidget(QWidget* w, QSet<QObject*>& seen)
{
    TranslateSlot(w, QStringLiteral("windowTitle"), w->windowTitle(),
                  [w](const QString& s) { w->setWindowTitle(s); });
    TranslateSlot(w, QStringLiteral("toolTip"), w->toolTip(),
                  [w](const QString& s) { w->setToolTip(s); });

    if (auto* label = qobject_cast<QLabel*>(w)) {
        TranslateSlot(w, QStringLiteral("text"), label->text(),
                      [label](const QString& s) { label->setText(s); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        auto* tool = qobject_cast<QToolButton*>(w);
        if (tool && tool->defaultAction())
            TranslateAction(tool->defaultAction(), seen);  // the button shows the action's text
        else
            TranslateSlot(w, QStringLiteral("text"), button->text(),
                          [button](const QString& s) { button->setText(s); });
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        TranslateSlot(w, QStringLiteral("title"), group->title(),
                      [group](const QString& s) { group->setTitle(s); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        TranslateSlot(w, QStringLiteral("placeholderText"), edit->placeholderText(),
                      [edit](const QString& s) { edit->setPlaceholderText(s); });
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        TranslateIndexed(w, QStringLiteral("tab"), tabs->count(),
                         [tabs](int i) { return tabs->tabText(i); },
                         [tabs](int i, const QString& s) { tabs->setTabText(i, s); });
        TranslateIndexed(w, QStringLiteral("tabTip"), tabs->count(),
                         [tabs](int i) { return tabs->tabToolTip(i); },
                         [tabs](int i, const QString& s) { tabs->setTabToolTip(i, s); });
    } else if (auto* box = qobject_cast<QToolBox*>(w)) {
        TranslateIndexed(w, QStringLiteral("page"), box->count(),
                         [box](int i) { return box->itemText(i); },
                         [box](int i, const QString& s) { box->setItemText(i, s); });
        TranslateIndexed(w, QStringLiteral("pageTip"), box->count(),
                         [box](int i) { return box->itemToolTip(i); },
                         [box](int i, const QString& s) { box->setItemToolTip(i, s); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (!qobject_cast<QFontComboBox*>(w))
            TranslateModelColumn(combo->model(), combo->modelColumn(), QModelIndex(), false);
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        // The library's own tree: its nodes are captions the program put there.
        TranslateModelColumn(tree->model(), 0, QModelIndex(), true);
    } else if (auto* list = qobject_cast<QListView*>(w)) {
        TranslateModelColumn(list->model(), list->modelColumn(), QModelIndex(), false);
    } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
        TranslateHeader(header);
    } else if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
        TranslateFileDialog(dialog);
    }

    // Menus, menu bars, tool bars and widgets with context actions.
    TranslateActions(w->actions(), seen);
}

}  // namespace

int LanguageIndex()
{
    return g_languageIndex;
}

void SetLanguageIndex(int index)
{
    g_languageIndex = (index >= 1 && index <= 4) ? index : 0;
}

int LanguageIndexOf(const QString& language)
{
    if (language.trimmed().isEmpty())
        return 1;
    return IndexInList(QStringLiteral("NL|F|UK|DE|"), language);
}

void LoadTranslations(const QString& file)
{
    QString path = file;
    if (!path.contains(QLatin1Char('/')))
        path = ProgramFolder() + path;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QString text = DecodeTranslationFile(f.readAll());
    TranslationTable& table = Table();
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.size() < 5 || line.startsWith(QLatin1String("//")))
            continue;
        const QStringList f = line.split(QLatin1Char('|'));
        auto field = [&f](int i) { return i < f.size() ? f.at(i) : QString(); };
        AddEntry(table, field(0), field(1), field(2), field(3), field(4));
    }
}

void AddTranslation(const QString& key, const QString& dutch, const QString& french,
                    const QString& german, const QString& english)
{
    AddEntry(Table(), key, dutch, french, english, german);
}

void ResetTranslations()
{
    TranslationTable& table = Table();
    table = TranslationTable();
    AddBuiltInEntries(table);
}

void SetUntranslatedMarker(bool on)
{
    g_untranslatedMarker = on;
}

bool UntranslatedMarker()
{
    return g_untranslatedMarker;
}

QString Translate(const QString& text)
{
    if (!IsTranslatable(text))
        return text.trimmed();
    if (text.contains(QLatin1Char('|'))) {
        const QString own = FieldOf(text, g_languageIndex);
        return own.isEmpty() ? FieldOf(text, 1) : own;
    }
    QString result;
    const TranslationTable& table = Table();
    const auto it = table.firstIndex.constFind(text.toCaseFolded());
    if (it != table.firstIndex.cend())
        result = LanguageColumn(table, it.value(), g_languageIndex);
    if (result.isEmpty())
        return g_untranslatedMarker ? QLatin1Char('(') + text + QLatin1Char(')') : text;
    return result;
}

void TranslateMenu(QMenu* menu)
{
    if (!menu)
        return;
    QSet<QObject*> seen{menu};
    TranslateAction(menu->menuAction(), seen);  // the menu's own title
    TranslateActions(menu->actions(), seen);
}

QString TranslatePairs(const QString& text)
{
    QStringList fields = text.split(QLatin1Char('|'));
    for (int i = 0; i < fields.size(); i += 2)
        fields[i] = Translate(fields.at(i));
    return fields.join(QLatin1Char('|'));
}

void TranslateWindow(QWidget* window)
{
    if (!window)
        return;
    QSet<QObject*> seen;
    TranslateWidget(window, seen);
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (!InsideFileDialog(child, window))
            TranslateWidget(child, seen);
    }
}

QString MonthName(int n)
{
    return Translate(FieldOf(
        QStringLiteral("januari|februari|maart|april|mei|juni|juli|augustus|september|oktober|"
                       "november|december|"),
        n));
}

QString DayName(int n)
{
    return Translate(FieldOf(
        QStringLiteral("zondag|maandag|dinsdag|woensdag|donderdag|vrijdag|zaterdag|zondag|"), n));
}

QString ShortDayName(int n)
{
    return Translate(FieldOf(QStringLiteral("zo|ma|di|wo|do|vr|za|zo|"), n));
}
