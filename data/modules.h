#pragma once

#include <QString>

#include <functional>

class Tdm;

// Work of other features that a module switch sets off; each is empty until that feature
// installs it.
struct TModuleHooks
{
    // Reload the selections of contacts (1) or products (6).
    std::function<void(int module)> reloadLists;
    // Refresh the heading of the document list.
    std::function<void()> refreshDocumentListHeading;
};
TModuleHooks& ModuleHooks();

// The work area the program is in: its number (1 contacts, 2 contact card designer, 5
// calendar, 6 products, 7 sales documents, 8 product card designer), the nouns for one and
// many records, the title and the card layout name.
class TModule
{
public:
    TModule(int number, const QString& adminIni);
    virtual ~TModule() = default;

    int Number() const { return m_number; }
    QString Singular() const { return m_singular; }
    QString Plural() const { return m_plural; }
    QString Title() const { return m_title; }
    // "ZoekResultaat" stands for the search result and is stored in the user's language.
    void SetTitle(const QString& title);
    QString LayoutName() const { return m_layoutName; }
    // Stores the layout name in admin.ini: SCHERMA for modules 0 to 2, SCHERMP for 6 and 8.
    void SetLayoutName(const QString& name);

protected:
    void SetNouns(const QString& singular, const QString& plural);
    // The layout name as admin.ini holds it, without writing it back.
    void LoadLayoutName(const QString& key);
    QString AdminIni() const { return m_adminIni; }

private:
    int m_number;
    QString m_adminIni;
    QString m_singular;
    QString m_plural;
    QString m_title;
    QString m_layoutName;
};

class TContacts_Module : public TModule
{
public:
    TContacts_Module(Tdm& dm, const QString& adminIni);
};

class TDesign_Module : public TModule
{
public:
    // module 2 (contact card) or 8 (product card)
    TDesign_Module(int module, Tdm& dm, const QString& adminIni);
};

class TCalender_Module : public TModule
{
public:
    TCalender_Module(Tdm& dm, const QString& adminIni);
};

class TProducts_Module : public TModule
{
public:
    TProducts_Module(Tdm& dm, const QString& adminIni);
};

class TInvoices_Module : public TModule
{
public:
    TInvoices_Module(Tdm& dm, const QString& adminIni);
    // The nouns follow the document kind shown (F_TYPE: 1 sales invoices ... 10 templates).
    void SetDocumentKind(int kind);
    int DocumentKind() const { return m_kind; }

private:
    int m_kind = 1;
};
