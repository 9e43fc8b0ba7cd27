#include "data/modules.h"

#include "data/dm.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"

TModuleHooks& ModuleHooks()
{
    static TModuleHooks hooks;
    return hooks;
}

TModule::TModule(int number, const QString& adminIni) : m_number(number), m_adminIni(adminIni) {}

void TModule::SetTitle(const QString& title)
{
    if (title == u"ZoekResultaat") {
        const int language = LanguageIndex();
        m_title = FieldOf(QStringLiteral("ZR|RUR|SR|SR|"), language >= 1 && language <= 4 ? language : 1);
        return;
    }
    m_title = title;
}

void TModule::SetLayoutName(const QString& name)
{
    m_layoutName = name;
    if (m_number >= 0 && m_number <= 2)
        WriteSetting(m_adminIni, QStringLiteral("SCHERMA"), name);
    else if (m_number == 6 || m_number == 8)
        WriteSetting(m_adminIni, QStringLiteral("SCHERMP"), name);
}

void TModule::SetNouns(const QString& singular, const QString& plural)
{
    m_singular = singular;
    m_plural = plural;
}

void TModule::LoadLayoutName(const QString& key)
{
    m_layoutName = ReadSetting(m_adminIni, key);
}

TContacts_Module::TContacts_Module(Tdm& dm, const QString& adminIni) : TModule(1, adminIni)
{
    SetNouns(Translate(NL("Contact")), Translate(NL("Contacten")));
    SetTitle(Translate(NL("CONTACTEN")));
    LoadLayoutName(QStringLiteral("SCHERMA"));
    dm.PointCategoryTable(QStringLiteral("categorieA"));
    if (ModuleHooks().reloadLists)
        ModuleHooks().reloadLists(1);
}

TDesign_Module::TDesign_Module(int module, Tdm& dm, const QString& adminIni) : TModule(module, adminIni)
{
    SetNouns(QString(), QLatin1Char(' ') + Translate(NL("Scherm lay-out")));
    LoadLayoutName(module == 8 ? QStringLiteral("SCHERMP") : QStringLiteral("SCHERMA"));
    dm.TabCategorie->Close();
}

TCalender_Module::TCalender_Module(Tdm& dm, const QString& adminIni) : TModule(5, adminIni)
{
    SetNouns(Translate(NL("Afspraak")), Translate(NL("Afspraken")));
    SetTitle(QStringLiteral("?"));
    dm.TabCategorie->Close();
}

TProducts_Module::TProducts_Module(Tdm& dm, const QString& adminIni) : TModule(6, adminIni)
{
    SetNouns(Translate(NL("Product")), Translate(NL("Producten")));
    SetTitle(Translate(NL("PRODUCTEN")));
    LoadLayoutName(QStringLiteral("SCHERMP"));
    dm.PointCategoryTable(QStringLiteral("categorieP"));
    if (ModuleHooks().reloadLists)
        ModuleHooks().reloadLists(6);
}

TInvoices_Module::TInvoices_Module(Tdm& dm, const QString& adminIni) : TModule(7, adminIni)
{
    Q_UNUSED(dm);
    SetNouns(Translate(NL("FACTUUR")), Translate(NL("FACTUREN(VERKOOP)")));
    SetTitle(Plural());
    if (ModuleHooks().refreshDocumentListHeading)
        ModuleHooks().refreshDocumentListHeading();
}

void TInvoices_Module::SetDocumentKind(int kind)
{
    struct Nouns
    {
        int kind;
        QString plural;
        QString singular;
    };
    static const Nouns nouns[] = {
        {1, NL("FACTUREN (VERKOOP)"), NL("FACTUUR")},
        {2, NL("OFFERTES"), NL("OFFERTE")},
        {3, NL("CREDITNOTAS"), NL("CREDITNOTA")},
        {4, NL("FACTUREN (AANKOOP)"), NL("FACTUUR")},
        {5, NL("BESTELBONS"), NL("BESTELBON")},
        {6, NL("LEVERINGSBONS"), NL("LEVERINGSBON")},
        {7, NL("GLOBALISATIEFACTUREN"), NL("GLOBALISATIEFACTUUR")},
        {10, NL("SJABLONEN"), NL("SJABLOON")},
    };
    for (const Nouns& n : nouns) {
        if (n.kind == kind) {
            m_kind = kind;
            SetNouns(Translate(n.singular), Translate(n.plural));
            SetTitle(Plural());
            return;
        }
    }
}
