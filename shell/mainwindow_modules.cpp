// The module switch: the one place where the current module, the data source and the page
// change; and the administration the window works in.

#include "shell/mainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>

#include "data/administration.h"
#include "data/datasource.h"
#include "data/dm.h"
#include "data/modules.h"
#include "data/recordrules.h"
#include "data/table.h"
#include "documents/money.h"
#include "foundation/currency.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/records.h"
#include "foundation/settingsfile.h"
#include "foundation/translate.h"
#include "shell/explorer.h"
#include "shell/messagesink.h"

namespace {

constexpr int kDefaultRecordIcon = 13;

// Marks a table as being set up for a scope: its data-change rules rest meanwhile.
class SettingUp
{
public:
    explicit SettingUp(TDataSet* dataSet)
        : m_dataSet(dataSet)
    {
        m_dataSet->SetTag(1);
    }
    ~SettingUp() { m_dataSet->SetTag(0); }
    SettingUp(const SettingUp&) = delete;
    SettingUp& operator=(const SettingUp&) = delete;

private:
    TDataSet* m_dataSet;
};

// Modules whose windows exist; the others are refused until their feature lands.
bool ModuleAvailable(int module)
{
    switch (module) {
    case 1: return IsFeatureAvailable(TFeature::Contacts);
    case 2:
    case 8: return IsFeatureAvailable(TFeature::CardDesigner);
    case 3: return IsFeatureAvailable(TFeature::ListDesigner);
    case 4: return IsFeatureAvailable(TFeature::EmailDesigner);
    case 5: return IsFeatureAvailable(TFeature::Calendar);
    case 6: return IsFeatureAvailable(TFeature::Products);
    // The documents data source can always be bound; the page shows once the document view lands.
    case 7: return true;
    default: return false;
    }
}

} // namespace

void TfrmMain::FreeAdministration()
{
    // Closes an open explorer (saving its column set) and unbinds its grid.
    m_explorerWidget->SetAdministration(nullptr);
    m_dataSource = nullptr;
    m_admin.reset();
    m_module = 0;
}

int TfrmMain::OpenAdministration(const QString& name)
{
    if (m_admin)
        FreeAdministration();
    m_admin = std::make_unique<TAdministration>(DataFolder() + name + QLatin1Char('/'), name, m_dm);
    if (m_admin->Status() == asOpen) {
        m_explorerWidget->SetAdministration(m_admin.get());
        // The explorer hangs its own hooks on the rules; the window's wrap them.
        InstallRecordHooks();
        SwitchModule(1, 1, -1);
    }
    UpdateCaption();
    return m_admin->Status();
}

bool TfrmMain::CreateAdministration(const QString& name, const std::function<bool(QString* error)>& createFiles)
{
    SetRunPhase(2);
    const QString previous = m_admin && m_admin->Status() == asOpen ? m_admin->Name() : QString();
    // The open administration goes first: its tables are bound to the same data module.
    if (m_admin) {
        if (m_dataSource && m_dataSource->DataSet())
            m_dataSource->DataSet()->CheckBrowseMode();
        FreeAdministration();
    }
    QString error;
    const bool made = createFiles && createFiles(&error);
    if (!made) {
        // The user goes on where he was.
        if (!previous.isEmpty())
            OpenAdministration(previous);
        SetRunPhase(1);
        if (!error.isEmpty())
            ShowNotice(error, false);
        UpdateCaption();
        return false;
    }
    WriteSetting(OvraIni(), QStringLiteral("DEFADMIN"), name);
    m_settings.defaultAdministration = name;
    MarkAdministrationOpened(name);
    const int status = OpenAdministration(name);
    SetRunPhase(1);
    UpdateCaption();
    return status == asOpen;
}

void TfrmMain::SwitchModule(int module, int documentKind, qint64 recordToLocate)
{
    if (!m_admin || m_admin->Status() != asOpen || !ModuleAvailable(module))
        return;
    m_explorerWidget->ClearSelection();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_explorerWidget->CloseExplorer();
    const int previous = m_module;
    m_toolbar->setVisible(module < 11);
    recordToLocate = LeaveModule(module, recordToLocate);
    if (module != 100)
        m_module = module;
    m_admin->SetModule(nullptr);

    Tdm& dm = *m_dm;
    const QString adminIni = m_admin->AdminIni();
    switch (module) {
    case 1:
        m_admin->SetModule(std::make_unique<TContacts_Module>(dm, adminIni));
        EnterContacts(previous);
        break;
    case 6:
        m_admin->SetModule(std::make_unique<TProducts_Module>(dm, adminIni));
        EnterProducts(previous);
        break;
    case 7: {
        auto invoices = std::make_unique<TInvoices_Module>(dm, adminIni);
        invoices->SetDocumentKind(documentKind);
        m_admin->SetModule(std::move(invoices));
        EnterDocuments(documentKind);
        break;
    }
    default:
        // The designers and the calendar build their windows here once they exist; the
        // explorer has nothing to list meanwhile.
        m_explorerWidget->BindDataSource(nullptr, m_module);
        break;
    }
    if (m_admin->Status() == asOpen) {
        ApplyModuleToolbar(m_module);
        if (m_module == 1 || m_module == 6)
            DrawRecordIcon(kDefaultRecordIcon);
        if (m_module == 1 || m_module == 6)
            m_explorerWidget->UpdateHeading();
        RefreshButtonBar();
        if (recordToLocate != -1)
            LocateRecord(recordToLocate);
    }
    UpdateExplorerCommands();
    UpdateCardCaption();
    QApplication::restoreOverrideCursor();
}

void TfrmMain::EnterContacts(int previous)
{
    SettingUp mark(m_dm->tabContacts);
    PressModuleButton(m_btnContacts, true);
    if (previous != 2) {
        m_notebook->setCurrentIndex(0);
        if (!BindDataSource(m_dm->dsPersPerCat))
            return;
        // The card is built from the module's layout here once the card exists.
    }
    m_explorer->show();
    if (m_lastContact > 0)
        LocateRecord(m_lastContact);
}

void TfrmMain::EnterProducts(int previous)
{
    SettingUp mark(m_dm->tabProducts);
    m_explorer->show();
    PressModuleButton(m_btnProducts, true);
    if (previous != 8) {
        m_notebook->setCurrentIndex(0);
        if (!BindDataSource(m_dm->dsProducts) || m_admin->Status() != asOpen)
            return;
    }
    if (!m_dm->tabContacts->Active())
        m_dm->tabContacts->Open();
}

void TfrmMain::EnterDocuments(int documentKind)
{
    m_dm->tabContacts->SetFiltered(false);
    m_dm->tabProducts->SetFiltered(false);
    {
        SettingUp mark(m_dm->TabFact);
        m_explorer->show();
        PressModuleButton(m_btnDocuments, true);
        m_notebook->setCurrentIndex(2);
        if (!BindDataSource(m_dm->dsTabFacturen))
            return;
        if (!m_dm->TabFact->Active())
            m_dm->TabFact->Open();
        // The document list (by documentKind) and the grid colours come with the document view.
    }
    m_dm->TabFact->Last();
    for (TTable* table : {m_dm->tabContacts, m_dm->tabProducts}) {
        if (!table->Active())
            table->Open();
    }
}

qint64 TfrmMain::LeaveModule(int newModule, qint64 recordToLocate, bool forced)
{
    Q_UNUSED(forced)
    switch (m_module) {
    case 1: {
        TTable* contacts = m_dm->tabContacts;
        m_lastContact = contacts->Active() && !contacts->IsEmpty() && contacts->FieldCount() > 0
                            ? contacts->Field(0)->AsInteger()
                            : 0;
        if (contacts->Active())
            contacts->CheckBrowseMode();
        PressModuleButton(m_btnContacts, false);
        break;
    }
    case 6:
        if (newModule != 100 && m_dm->tabProducts->Active())
            m_dm->tabProducts->CheckBrowseMode();
        PressModuleButton(m_btnProducts, false);
        break;
    case 7: {
        if (auto& save = m_dm->Rules().Hooks().saveEditedDocument)
            save();
        PressModuleButton(m_btnDocuments, false);
        TTable* documents = m_dm->TabFact;
        if (documents->Active()) {
            documents->CheckBrowseMode();
            if (TField* customer = documents->FindField(QStringLiteral("F_cid")); customer && !documents->IsEmpty())
                m_lastContact = customer->AsInteger();
        }
        break;
    }
    default:
        break;
    }
    return recordToLocate;
}

bool TfrmMain::BindDataSource(TDataSource* dataSource)
{
    TDataSet* dataSet = dataSource ? dataSource->DataSet() : nullptr;
    if (!dataSet || (!dataSet->Active() && !dataSet->Open())) {
        if (m_admin)
            m_admin->SetStatus(asBindingFailed);
        return false;
    }
    m_dataSource = dataSource;
    m_explorerWidget->BindDataSource(dataSource, m_module);
    UpdateCaption();
    return true;
}

void TfrmMain::LocateRecord(qint64 id)
{
    TDataSet* dataSet = m_dataSource ? m_dataSource->DataSet() : nullptr;
    if (!dataSet || !dataSet->Active() || dataSet->FieldCount() == 0)
        return;
    dataSet->Locate(dataSet->Field(0)->FieldName(), QVariant(id));
}

QString TfrmMain::CardCaption() const
{
    TModule* module = m_admin && m_admin->Status() == asOpen ? m_admin->Module() : nullptr;
    if (!module)
        return ApplicationTitle();
    const QString title = module->Title().toUpper();
    if (m_module == 1) {
        TTable* contacts = m_dm->tabContacts;
        if (!contacts->Active())
            return ApplicationTitle();
        const QString name = contacts->IsEmpty() ? QString() : contacts->FieldByName(QStringLiteral("ComName"))->AsString();
        return FillPlaceholders(QStringLiteral("%s - %s"), {title, name});
    }
    if (m_module == 6) {
        TTable* products = m_dm->tabProducts;
        if (!products->Active())
            return ApplicationTitle();
        if (products->IsEmpty())
            return title;
        auto text = [products](const char* name) {
            TField* f = products->FindField(QString::fromLatin1(name));
            return f ? f->AsString() : QString();
        };
        auto number = [products](const char* name) {
            TField* f = products->FindField(QString::fromLatin1(name));
            return f ? f->AsFloat() : 0.0;
        };
        const QString currency = text("P_CURRENCY");
        bool ok = false;
        int decimals = FieldOf(CurrencyLine(DataFolder(), currency, QString()), 3).trimmed().toInt(&ok);
        if (!ok || decimals < 0 || decimals > 6)
            decimals = 2;
        double price = number("P_SPRICE");
        if (!m_admin->VatInclusive())
            price = GrossFromNet(decimals, number("P_VAT"), price);
        return QStringLiteral("%1 - %2 - %3 %4")
            .arg(title, text("P_CODE"), QString::number(price, 'f', decimals), currency);
    }
    return title.isEmpty() ? ApplicationTitle() : title;
}

void TfrmMain::UpdateCardCaption()
{
    const QString caption = CardCaption();
    m_labMainCap->setText(caption);
    m_explorerWidget->SetCardCaption(caption);
}
