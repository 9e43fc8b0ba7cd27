#include "shell/menurules.h"

#include "foundation/translate.h"

namespace {

MenuItemDef Item(const QString& caption, int modules, QList<MenuItemDef> children = {})
{
    return MenuItemDef{caption, modules, std::move(children)};
}

MenuItemDef Separator(int modules)
{
    return MenuItemDef{QStringLiteral("-"), modules, {}};
}

MenuItemDef Sub(const QString& caption)
{
    return MenuItemDef{caption, 0, {}};
}

} // namespace

bool IsMenuItemVisible(int modules, int module)
{
    return QString::number(modules).contains(QString::number(module));
}

const QList<MenuItemDef>& FileMenuItems()
{
    static const QList<MenuItemDef> items{
        Item(NL("Nieuw"), 28),
        Item(NL("Openen"), 28),
        Item(NL("Verwijderen"), 28),
        Item(NL("&Exporteren"), 169),
        Item(NL("&Importeren"), 169),
        Separator(169),
        Item(NL("Facturen (Verkoop)"), 7),
        Item(NL("Offertes"), 7),
        Item(NL("Bestelbons"), 7),
        Item(NL("Leveringsbons"), 7),
        Item(NL("Creditnota's"), 7),
        Item(NL("Facturen (Aankoop)"), 7),
        Item(NL("Globalisatiefacturen"), 7),
        Item(NL("Sjablonen"), 7),
        Separator(7),
        Item(NL("Lijsten en Enveloppen"), 169),
        Item(NL("Etiketten"), 16),
        Item(NL("Agendas"), 1),
        Item(NL("Afdrukken"), 7),
        Item(NL("Afdrukvoorbeeld"), 7),
        Item(NL("Word-documenten"), 1),
        Separator(1),
        Item(NL("E-&mail"), 1),
        Separator(169),
        Item(NL("Evenementen"), 5),
        Item(NL("Instellingen"), 16759),
        Item(NL("Afdrukken"), 5),
        Item(NL("Scherm en database aanpassen"), 169),
        Separator(16728),
        Item(NL("Opslaan"), 28),
        Item(NL("Opslaan als"), 28),
        Item(NL("&Afsluiten"), 15679),
    };
    return items;
}

const QList<MenuItemDef>& EditMenuItems()
{
    static const QList<MenuItemDef> items{
        Item(NL("Toevoegen"), 15679),
        Item(NL("&Dupliceren"), 1679),
        Item(NL("Verwijderen"), 15679),
        Separator(728),
        Item(NL("Tabvolgorde"), 28),
        Item(NL("Document van Sjabloon"), 7),
        Item(NL("Factuur van offerte"), 7),
        Item(NL("Bestelbon van Offerte"), 7),
        Item(NL("Leveringsbon van factuur"), 7),
        Item(NL("Creditnota van factuur"), 7),
        Item(NL("Document van huidige Sjabloon"), 7,
             {Sub(NL("Verkoopsfactuur")), Sub(NL("Offerte"))}),
        Item(NL("Sjabloon van document"), 7),
        Item(NL("Globalisatiefactuur afsluiten"), 7),
        Item(NL("Aan laatste factuur toevoegen"), 7),
        Separator(167928),
        Item(NL("Alles selecteren"), 16728),
        Item(NL("Selectie opheffen"), 16728),
        Separator(1),
        Item(NL("Afspraak toevoegen"), 1),
    };
    return items;
}

const QList<MenuItemDef>& SearchMenuItems()
{
    static const QList<MenuItemDef> items{
        Item(NL("Zoeken"), 15679),
        Item(NL("Vervangen"), 169),
    };
    return items;
}

const QList<MenuItemDef>& ExtraMenuItems()
{
    static const QList<MenuItemDef> items{
        Item(NL("Documenten"), 17),
        Item(NL("Omzetgrafiek"), 7),
        Item(NL("Facturatiejaren"), 7),
        Item(NL("Overzicht"), 7),
        Item(NL("Te bestellen..."), 6),
        Separator(67),
        Item(NL("Document opmaken"), 1,
             {Sub(NL("Factuur")), Sub(NL("Offerte")), Sub(NL("Creditnota")), Sub(NL("Bestelbon")),
              Sub(NL("Globalisatiefactuur")), Sub(NL("Leveringsbon"))}),
        Separator(1),
        Item(NL("Historiek"), 17),
        Item(NL("Lopende afspraken"), 15679),
        Separator(1),
        Item(NL("Speciale tekens"), 1679),
        Item(NL("Productprijs"), 6),
        Item(NL("Scherm Lay-out"), 169),
        Separator(1),
        Item(NL("Adresblok"), 1,
             {Sub(NL("Naar Klembord")), Sub(NL("Naar Word")), Sub(QStringLiteral("-")),
              Sub(NL("Wijzigen"))}),
    };
    return items;
}

QList<MenuItemDef> VisibleMenuItems(const QList<MenuItemDef>& items, int module)
{
    QList<MenuItemDef> visible;
    for (const MenuItemDef& item : items) {
        if (IsMenuItemVisible(item.modules, module))
            visible.append(item);
    }
    return visible;
}

const MenuItemDef* FindMenuItem(const QList<MenuItemDef>& items, const QString& caption,
                                int modules)
{
    for (const MenuItemDef& item : items) {
        if (item.caption == caption && (modules == -1 || item.modules == modules))
            return &item;
    }
    return nullptr;
}

ModuleToolbar ModuleToolbarOf(int module)
{
    const auto bar = [](const char* picture, int file, int edit, int search, int extra,
                        int selections, int help, bool showSelections) {
        ModuleToolbar b;
        b.picture = QString::fromLatin1(picture);
        b.file = file;
        b.edit = edit;
        b.search = search;
        b.extra = extra;
        b.selections = selections;
        b.help = help;
        b.showSelections = showSelections;
        b.helpX = showSelections ? 330 : 264;
        return b;
    };
    switch (module) {
    case 2:
    case 8: return bar("design.bmp", 57, 59, 58, 52, 0, 28, false);
    case 3: return bar("design.bmp", 57, 59, 58, 54, 0, 28, false);
    case 4: return bar("emails.bmp", 57, 59, 58, 61, 52, 28, false);
    case 5: return bar("cal.bmp", 51, 50, 55, 13, 0, 15, false);
    case 6: return bar("products.bmp", 6, 53, 41, 29, 31, 4, true);
    case 7: return bar("fact.bmp", 7, 49, 46, 16, 0, 18, false);
    default: return bar("contacts.bmp", 5, 43, 22, 47, 8, 17, true);
    }
}

QString SelectionsButtonCaption(int module)
{
    return module == 4 ? NL("&Tinsel") : NL("&Selecties");
}

QString SearchButtonCaption(int module)
{
    return module == 3 || module == 4 ? NL("&Veld") : NL("&Zoeken");
}

QString ExtraButtonCaption(int module)
{
    if (module == 3)
        return NL("&Band");
    if (module == 4)
        return NL("&Systeem");
    return NL("&Extra");
}

QChar AcceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption.at(i + 1);
    }
    return {};
}
