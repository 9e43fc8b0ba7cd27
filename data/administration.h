#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class Tdm;
class TModule;

// Status of an administration.
enum AdministrationStatus {
    asOpen = 127,
    asFolderMissing = 1,
    asTablesFailed = 3,          // admin.sqlite missing, no database, damaged, or a table missing
    asPostFailed = 4,            // shared "Post"
    asCalendarFailed = 5,        // shared "Calendar"
    asProfilesFailed = 6,        // shared "profiles"
    asBindingFailed = 7,         // binding the data source to the window (set by the shell)
    asScreenMissing = 8,         // the card layout is missing (set by the card)
};

// The run phase of the program: 1 normal work, 2 building or switching administrations (data
// change rules rest), 3 ending.
int RunPhase();
void SetRunPhase(int phase);

// The administration update step (run for every administration that is opened). None is
// installed until the update feature exists.
using AdministrationUpdateStep = std::function<void(const QString& folder, const QString& name)>;
void SetAdministrationUpdateStep(AdministrationUpdateStep step);

// One open administration: a folder under the data folder with admin.sqlite, admin.ini and
// its side files, bound to the data module for as long as the object lives.
class TAdministration
{
public:
    // Opens the administration (folder with or without trailing "/"): see Status(). The data
    // folder is the folder that holds it.
    TAdministration(const QString& folder, const QString& name, Tdm* dm = nullptr);
    ~TAdministration();
    TAdministration(const TAdministration&) = delete;
    TAdministration& operator=(const TAdministration&) = delete;

    int Status() const { return m_status; }
    void SetStatus(int status) { m_status = status; }
    // Why the opening failed, for the shell's message (empty when open).
    QString StatusReason() const { return m_reason; }
    QString Name() const { return m_name; }
    QString Folder() const { return m_folder; }
    QString AdminIni() const { return m_folder + QStringLiteral("admin.ini"); }
    bool VatInclusive() const { return m_vatInclusive; }
    Tdm* DataModule() const { return m_dm.data(); }

    // The current module, owned by the administration; setting one frees the previous.
    TModule* Module() const { return m_module.get(); }
    void SetModule(std::unique_ptr<TModule> module);
    int ModuleNumber() const;

    // The sort column (position from 0) of a module: 0 and 1 contacts, 6 products, 7
    // documents, every other module 1. Setting writes VELDNR1, VELDNR6 or VELDNR7 at once.
    int SortColumn(int module) const;
    void SetSortColumn(int module, int position);

private:
    void Open();
    bool BindTables();
    bool OpenShared();

    QPointer<Tdm> m_dm;   // the program may end the data module first
    quint64 m_binding = 0;   // the data module's binding this administration made
    std::unique_ptr<TModule> m_module;
    int m_status = asOpen;
    QString m_reason;
    QString m_name;
    QString m_folder;
    bool m_vatInclusive = false;
    int m_contactsSort = 5;
    int m_productsSort = 1;
    int m_documentsSort = 13;
};

// A VELDNR value: the stored position, or the default when it is absent, negative or no number.
int ReadSortColumn(const QString& adminIni, const QString& key, int defaultValue);
