#pragma once

#include <QChar>
#include <QList>
#include <QString>

// The main window's menus as data: it builds its pop-up menus from these tables and shows each
// item by the module rule. Captions are the Dutch source texts; the window translates them.

// A menu item: caption ("-" for a separator line), the modules it shows in as a number whose
// decimal digits are the module numbers (28: modules 2 and 8), and its sub-items. Sub-items
// carry 0: the rule never touches them.
struct MenuItemDef
{
    QString caption;
    int modules = 0;
    QList<MenuItemDef> children;

    bool IsSeparator() const { return caption == QLatin1String("-"); }
};

// Visible exactly when the decimal text of modules contains that of module.
bool IsMenuItemVisible(int modules, int module);

const QList<MenuItemDef>& FileMenuItems();    // pop_File
const QList<MenuItemDef>& EditMenuItems();    // pop_Edit
const QList<MenuItemDef>& SearchMenuItems();  // pop_Search
const QList<MenuItemDef>& ExtraMenuItems();   // pop_Extra

// The top-level items of a menu visible in a module, in menu order (separators included).
QList<MenuItemDef> VisibleMenuItems(const QList<MenuItemDef>& items, int module);
// The first top-level item with that caption (and, when modules is not -1, that number);
// nullptr when none. "Afdrukken" appears twice in the file menu: 7 and 5.
const MenuItemDef* FindMenuItem(const QList<MenuItemDef>& items, const QString& caption,
                                int modules = -1);

// Module picture and the image indexes (into "bmp/IL265.bmp") of the tool buttons.
struct ModuleToolbar
{
    QString picture;   // file name in bmp/
    int file = 0;      // Bestand
    int edit = 0;      // Bewerken
    int search = 0;    // Zoeken
    int extra = 0;     // Extra
    int selections = 0;// Selecties
    int help = 0;      // Help
    bool showSelections = false;  // modules 1 and 6
    int extraX = 198;
    int selectionsX = 264;
    int helpX = 264;   // 330 when Selecties is shown
};
// Modules 1..8; any other number gives the contacts module's bar.
ModuleToolbar ModuleToolbarOf(int module);

// Source captions of the buttons that change with the module.
QString SelectionsButtonCaption(int module);  // "&Tinsel" in 4, else "&Selecties"
QString SearchButtonCaption(int module);      // "&Veld" in 3 and 4, else "&Zoeken"
QString ExtraButtonCaption(int module);       // "&Band" in 3, "&Systeem" in 4, else "&Extra"

// The access key of a caption: the character after "&"; a null QChar when "&" is missing or
// last. "&&" stands for a plain ampersand and is skipped.
QChar AcceleratorOf(const QString& caption);
