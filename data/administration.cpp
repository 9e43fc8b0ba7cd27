#include "data/administration.h"

#include "data/columnops.h"
#include "data/dm.h"
#include "data/modules.h"
#include "foundation/files.h"
#include "foundation/settingsfile.h"
#include "foundation/textutil.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace {

int s_runPhase = 1;
AdministrationUpdateStep s_updateStep;

} // namespace

int RunPhase()
{
    return s_runPhase;
}

void SetRunPhase(int phase)
{
    s_runPhase = phase;
}

void SetAdministrationUpdateStep(AdministrationUpdateStep step)
{
    s_updateStep = std::move(step);
}

int ReadSortColumn(const QString& adminIni, const QString& key, int defaultValue)
{
    const int value = ReadSettingInt(adminIni, key, defaultValue);
    return value < 0 ? defaultValue : value;
}

TAdministration::TAdministration(const QString& folder, const QString& name, Tdm* dm)
    : m_dm(dm ? dm : Tdm::Instance())
{
    m_name = name;
    m_folder = NormaliseFolder(folder);
    Open();
}

void TAdministration::Open()
{
    m_status = asOpen;
    m_module.reset();
    if (m_dm)
        m_dm->ClearActiveLists();
    if (!FolderExists(m_folder)) {
        m_status = asFolderMissing;
        m_reason = QStringLiteral("%1 does not exist").arg(m_folder);
        return;
    }
    if (s_updateStep)
        s_updateStep(m_folder, m_name);
    m_vatInclusive = EvalBool(ReadSetting(AdminIni(), QStringLiteral("VATINC")));
    // SQLite's own -wal, -shm and journal files are never touched: another program may be
    // working in this administration right now.
    DeleteFiles(m_folder, QStringLiteral("*.bup"), false, QDateTime(QDate::currentDate(), QTime(0, 0)));
    m_contactsSort = ReadSortColumn(AdminIni(), QStringLiteral("VELDNR1"), 5);
    m_productsSort = ReadSortColumn(AdminIni(), QStringLiteral("VELDNR6"), 1);
    m_documentsSort = ReadSortColumn(AdminIni(), QStringLiteral("VELDNR7"), 13);
    if (!m_dm) {
        m_status = asTablesFailed;
        m_reason = QStringLiteral("no data module");
        return;
    }
    if (!BindTables()) {
        m_status = asTablesFailed;
        return;
    }
    RepairAdministrationDefinitions(*m_dm->Database(), m_folder);
    OpenShared();
}

bool TAdministration::BindTables()
{
    QDir parent(m_folder);
    parent.cdUp();
    if (!m_dm->Bind(m_folder, NormaliseFolder(parent.absolutePath()), &m_reason))
        return false;
    m_binding = m_dm->Binding();
    m_dm->currentSortColumn = [this] { return SortColumn(ModuleNumber()); };
    m_dm->currentModule = [this] { return m_module.get(); };
    TDatabase* db = m_dm->Database();
    auto openTable = [this](TTable* table) {
        if (table->Open())
            return true;
        m_reason = table->Name() + QStringLiteral(": ") + table->LastError();
        return false;
    };
    // The index is chosen before the first read, so the rows are ordered once.
    m_dm->UseSortIndex(*m_dm->tabContacts, QStringLiteral("comname"));
    if (!m_dm->tabContacts->Active() && !openTable(m_dm->tabContacts))
        return false;
    // The category and history tables are opened when used; they must be there.
    for (const QString& table : {QStringLiteral("categorieA"), QStringLiteral("categorieP"), QStringLiteral("Log")}) {
        if (!db->TableExists(table)) {
            m_reason = QStringLiteral("table %1 is missing").arg(table);
            return false;
        }
    }
    m_dm->UseSortIndex(*m_dm->tabProducts, QStringLiteral("do_default"));
    if (!m_dm->tabProducts->Active() && !openTable(m_dm->tabProducts))
        return false;
    m_dm->UseSortIndex(*m_dm->TabFact, QStringLiteral("do_default"));
    if (!m_dm->TabFact->Active() && !openTable(m_dm->TabFact))
        return false;
    m_dm->TabFL->SetIndexName(QStringLiteral("indFNR"));
    if (!openTable(m_dm->TabFL))
        return false;
    return true;
}

bool TAdministration::OpenShared()
{
    struct Probe
    {
        TTable* table;
        const char* sql;
        int status;
    };
    // Each shared table is read with the columns the program relies on, so a damaged or
    // foreign table is noticed here and not at the first postcode or appointment.
    const Probe probes[] = {
        {m_dm->tabZip, "SELECT code, gemeente FROM shared.Post LIMIT 1", asPostFailed},
        {m_dm->tabCalendar, "SELECT cal_id, cal_date, cal_time, cal_Subject FROM shared.Calendar ORDER BY cal_date LIMIT 1",
         asCalendarFailed},
        {m_dm->Profielen, "SELECT * FROM shared.profiles WHERE admin = '' LIMIT 1", asProfilesFailed},
    };
    for (const Probe& probe : probes) {
        QSqlQuery q(m_dm->Database()->sql());
        if (!q.exec(QString::fromLatin1(probe.sql))) {
            m_status = probe.status;
            m_reason = q.lastError().text();
            return false;
        }
        q.finish();
        if (probe.table == m_dm->tabZip)
            probe.table->SetIndexFieldNames(QStringLiteral("code"));
        else if (probe.table == m_dm->tabCalendar)
            probe.table->SetIndexName(QStringLiteral("indDate"));
        if (!probe.table->Open()) {
            m_status = probe.status;
            m_reason = probe.table->LastError();
            return false;
        }
    }
    return true;
}

TAdministration::~TAdministration()
{
    const bool hadModule = m_module != nullptr;
    m_module.reset();
    // Nothing to undo when the opening stopped before binding, or when another administration
    // has bound the data module since.
    if (!m_dm || m_binding == 0 || m_dm->Binding() != m_binding)
        return;
    const int phase = RunPhase();
    if (hadModule && m_status == asOpen) {
        m_dm->ClearActiveLists();
        if (phase == 2)
            m_dm->ResetTable(*m_dm->tabContacts);
        if (phase != 3)
            m_dm->queAdressen->Close();
        if (phase == 2)
            m_dm->ResetTable(*m_dm->tabProducts);
    }
    m_dm->currentSortColumn = nullptr;
    m_dm->currentModule = nullptr;
    // At the end of the program the data module closes everything itself.
    if (phase != 3)
        m_dm->Unbind();
}

void TAdministration::SetModule(std::unique_ptr<TModule> module)
{
    m_module = std::move(module);
}

int TAdministration::ModuleNumber() const
{
    return m_module ? m_module->Number() : 1;
}

int TAdministration::SortColumn(int module) const
{
    switch (module) {
    case 0:
    case 1:
        return m_contactsSort;
    case 6:
        return m_productsSort;
    case 7:
        return m_documentsSort;
    default:
        return 1;
    }
}

void TAdministration::SetSortColumn(int module, int position)
{
    switch (module) {
    case 0:
    case 1:
        m_contactsSort = position;
        WriteSetting(AdminIni(), QStringLiteral("VELDNR1"), QString::number(position));
        break;
    case 6:
        m_productsSort = position;
        WriteSetting(AdminIni(), QStringLiteral("VELDNR6"), QString::number(position));
        break;
    case 7:
        m_documentsSort = position;
        WriteSetting(AdminIni(), QStringLiteral("VELDNR7"), QString::number(position));
        break;
    default:
        break;
    }
}
