#include "data/recordrules.h"

#include "data/administration.h"
#include "data/auditlog.h"
#include "data/counters.h"
#include "data/dm.h"
#include "data/documentnumbers.h"
#include "data/modules.h"
#include "documents/currency.h"
#include "documents/doclist.h"
#include "documents/documentheader.h"
#include "foundation/homefolder.h"
#include "foundation/msgdlg.h"
#include "foundation/translate.h"

#include <QDate>
#include <QDateTime>

namespace {

const QString kFnrDatum = QStringLiteral("FNR+DATUM");
const QString kTotValIncTB = QStringLiteral("totvalincTB");
const QString kKlantNaam = QStringLiteral("KLANTNAAM");

bool IsEditing(const TDataSet& dataSet)
{
    return dataSet.State() == TDataSetState::Edit || dataSet.State() == TDataSetState::Insert;
}

// Sets the column when the table has it.
void SetIfPresent(TDataSet& dataSet, const QString& name, const QVariant& value)
{
    if (TField* field = dataSet.FindField(name))
        field->SetValue(value);
}

void SetIfEmpty(TDataSet& dataSet, const QString& name, const QVariant& value)
{
    if (TField* field = dataSet.FindField(name); field && field->IsNull())
        field->SetValue(value);
}

// A record being edited is stored before the table closes; an untouched one is dropped.
void PostPending(TDataSet& dataSet)
{
    if (IsEditing(dataSet))
        dataSet.CheckBrowseMode();
}

TTable& AsTable(TDataSet& dataSet)
{
    return static_cast<TTable&>(dataSet);
}

} // namespace

QString ComposeComName(const QString& company, const QString& name, const QString& givenName)
{
    const QString firm = company.trimmed();
    const QString person = QString(name.trimmed() + QLatin1Char(' ') + givenName.trimmed()).trimmed();
    const QString result = firm.isEmpty() ? person : firm + QLatin1Char(' ') + person;
    return result.trimmed().left(99);
}

TRecordRules::TRecordRules(Tdm& dm) : m_dm(dm)
{
    TTable* contacts = dm.tabContacts;
    contacts->OnNewRecord = [this](TDataSet& d) { ContactNewRecord(AsTable(d)); };
    contacts->BeforePost = [this](TDataSet& d) { ContactBeforePost(AsTable(d)); };
    contacts->BeforeClose = [](TDataSet& d) { PostPending(d); };
    contacts->OnDataChange = [this](TDataSet& d, TField*) { RecordWindowChange(AsTable(d), 1); };

    TTable* products = dm.tabProducts;
    products->OnNewRecord = [this](TDataSet& d) { ProductNewRecord(AsTable(d)); };
    products->BeforePost = [this](TDataSet& d) { ProductBeforePost(AsTable(d)); };
    products->BeforeClose = [](TDataSet& d) { PostPending(d); };
    products->OnDataChange = [this](TDataSet& d, TField*) { RecordWindowChange(AsTable(d), 6); };

    TTable* documents = dm.TabFact;
    documents->AddLookupField(kKlantNaam, ftText, 101, QStringLiteral("F_CID"), contacts, QStringLiteral("nummer"),
                              QStringLiteral("ComName"));
    documents->AddCalculatedField(kFnrDatum, ftText)->SetDisplayLabel(QStringLiteral("Fnr+Datum+Totaal"));
    documents->AddCalculatedField(kTotValIncTB, ftText)->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
    documents->OnNewRecord = [this](TDataSet& d) { DocumentNewRecord(AsTable(d)); };
    documents->BeforePost = [this](TDataSet& d) { DocumentBeforePost(AsTable(d)); };
    documents->AfterPost = [this](TDataSet& d) { DocumentAfterPost(AsTable(d)); };
    documents->BeforeDelete = [this](TDataSet& d) { DocumentBeforeDelete(AsTable(d)); };
    documents->OnCalcFields = [this](TDataSet& d) { DocumentCalcFields(d); };
    documents->OnDataChange = [this](TDataSet& d, TField*) { DocumentWindowChange(AsTable(d)); };
    auto saveDocument = [this](TDataSet&) {
        if (m_hooks.saveEditedDocument)
            m_hooks.saveEditedDocument();
    };
    documents->BeforeScroll = saveDocument;
    documents->BeforeOpen = saveDocument;
    documents->BeforeClose = [saveDocument](TDataSet& d) {
        saveDocument(d);
        PostPending(d);
    };

    TTable* lines = dm.TabFL;
    lines->OnNewRecord = [this](TDataSet& d) { LineNewRecord(AsTable(d)); };
    lines->BeforePost = [this](TDataSet& d) {
        if (d.State() == TDataSetState::Insert)
            AllocateIdentifier(AsTable(d));
    };
    lines->AfterPost = [this](TDataSet& d) { Audit(AsTable(d), QStringLiteral("faclijn")); };
    lines->OnPostError = [](TDataSet&, const QString& error, TDataAction& action) {
        ShowNotice(error, false);
        action = TDataAction::Abort;
    };

    // Calendar, history and profiles: an identifier unless the first column numbers itself.
    for (TTable* table : {dm.tabCalendar, dm.TabLog, dm.Profielen}) {
        table->OnNewRecord = [this](TDataSet& d) { ShowIdentifier(AsTable(d)); };
        table->BeforePost = [this](TDataSet& d) {
            if (d.State() == TDataSetState::Insert)
                AllocateIdentifier(AsTable(d));
        };
    }
}

QString TRecordRules::AdminIni() const
{
    return m_dm.AdministrationFolder() + QStringLiteral("admin.ini");
}

const TRecordSettings& TRecordRules::Settings()
{
    if (!m_settingsRead || m_settingsBinding != m_dm.Binding())
        ReloadSettings();
    return m_settings;
}

void TRecordRules::ReloadSettings()
{
    const QString dataFolder = m_dm.DataFolder().isEmpty() ? DataFolder() : m_dm.DataFolder();
    m_settings = ReadRecordSettings(dataFolder + QStringLiteral("ovra.ini"), AdminIni(), dataFolder);
    m_settingsBinding = m_dm.Binding();
    m_settingsRead = true;
}

int TRecordRules::CurrentModule() const
{
    const TModule* module = m_dm.currentModule ? m_dm.currentModule() : nullptr;
    return module ? module->Number() : 0;
}

bool TRecordRules::UiActive(TDataSet& dataSet, int module) const
{
    return RunPhase() == 1 && dataSet.Tag() != 1 && CurrentModule() == module;
}

bool TRecordRules::ContactListActive() const
{
    if (m_hooks.contactListOrSelectionActive)
        return m_hooks.contactListOrSelectionActive();
    return m_dm.activeContactList != 0;
}

// --- identifiers ---

// Puts the next identifier into the table's first column; *id stays 0 when the column numbers
// itself.
bool TRecordRules::PutNextIdentifier(TTable& table, qint64* id)
{
    *id = 0;
    TField* key = table.Field(0);
    if (!key || key->DataType() == ftAutoInc)
        return true;
    QString error;
    *id = NextRecordId(table, true, AdminIni(), &error);
    if (*id <= 0 || !key->SetValue(*id)) {
        table.Abort(error.isEmpty() ? table.LastError() : error);
        return false;
    }
    return true;
}

bool TRecordRules::ShowIdentifier(TTable& table)
{
    qint64 id = 0;
    return PutNextIdentifier(table, &id);
}

bool TRecordRules::AllocateIdentifier(TTable& table)
{
    // Runs inside the post's immediate transaction: no other program can store a record or
    // move the counter until this post has committed or rolled back.
    qint64 id = 0;
    if (!PutNextIdentifier(table, &id))
        return false;
    // A counter that cannot be written leaves the identifier sound (MAX + 1 under the lock).
    if (id > 0)
        StoreCounter(table, id, AdminIni());
    return true;
}

void TRecordRules::EmptyDefaults(TDataSet& dataSet)
{
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
        TField* field = dataSet.Field(i);
        if (!field || field->IsCalculated() || !field->IsNull())
            continue;
        if (field->DataType() == ftBoolean)
            field->SetValue(false);
        else if (IsFloatType(field->DataType()) && field->FieldName().toUpper().contains(QLatin1String("PRICE")))
            field->SetValue(0.0);
    }
}

// --- contacts ---

void TRecordRules::ContactNewRecord(TTable& table)
{
    if (m_hooks.resetExplorerSelection)
        m_hooks.resetExplorerSelection();
    if (!ShowIdentifier(table))
        return;
    SetIfPresent(table, QStringLiteral("CreatingDate"), QDate::currentDate());
    SetIfPresent(table, QStringLiteral("LISTS"), QStringLiteral("0"));
    SetIfPresent(table, QStringLiteral("ICON"), 0);
    // The empty defaults belong to the new record itself, so an untouched new record stays
    // untouched (and is dropped when the user moves away).
    EmptyDefaults(table);
}

void TRecordRules::ContactBeforePost(TTable& table)
{
    if (m_hooks.normaliseListMembership)
        m_hooks.normaliseListMembership(table, 1);
    if (TField* comName = table.FindField(QStringLiteral("ComName"))) {
        auto text = [&](const char* name) {
            TField* field = table.FindField(QString::fromLatin1(name));
            return field ? field->AsString() : QString();
        };
        const QString composed = ComposeComName(text("COMPANY"), text("Name"), text("GivenName"));
        if (comName->AsString() != composed)
            comName->SetValue(composed);
    }
    if (table.FindField(QStringLiteral("C_CHANGED")) && !ContactListActive())
        SetIfPresent(table, QStringLiteral("C_CHANGED"), true);
    if (table.State() == TDataSetState::Insert)
        AllocateIdentifier(table);
}

// --- products ---

void TRecordRules::ProductNewRecord(TTable& table)
{
    SetIfPresent(table, QStringLiteral("P_CURRENCY"), Settings().MainCurrency());
    SetIfPresent(table, QStringLiteral("P_CREATINGDATE"), QDate::currentDate());
    if (!ShowIdentifier(table))
        return;
    SetIfPresent(table, QStringLiteral("LISTS"), QStringLiteral("0"));
    EmptyDefaults(table);
}

void TRecordRules::ProductBeforePost(TTable& table)
{
    if (m_hooks.normaliseListMembership)
        m_hooks.normaliseListMembership(table, 6);
    const TRecordSettings& settings = Settings();
    if (table.FindField(QStringLiteral("P_PRICE"))) {
        TField* currencyField = table.FindField(QStringLiteral("P_CURRENCY"));
        QString currency = currencyField ? currencyField->AsString().toUpper() : QString();
        const QString main = settings.MainCurrency();
        if (currency.isEmpty()) {
            // Nothing chosen: the main currency, without a message about an empty code.
            currency = main;
        } else if (currency != main.toUpper()
                   && !CurrencyBook(settings.setup.currencyFolder).KnownCodes().contains(currency, Qt::CaseInsensitive)) {
            const QString notice = Translate(NL("Munt <%s> is onbekend voor systeem en wordt vervangen door standaard munt"))
                                       .replace(QStringLiteral("%s"), currency);
            // Shown once the record is stored: a window must not hold the write lock.
            if (TDatabase* db = table.Database())
                db->AfterCommit([notice] { ShowNotice(notice, false); });
            currency = main;
        }
        if (currencyField && currencyField->AsString() != currency)
            currencyField->SetValue(currency);
    }
    SetIfEmpty(table, QStringLiteral("P_AMOUNT"), 1);
    SetIfEmpty(table, QStringLiteral("P_VAT"), settings.StandardVat());
    for (const char* name : {"P_Quantity", "P_Minimum", "P_DISCOUNT", "P_PRICE", "P_PRICEE", "P_SPRICE", "P_SPRICEE"})
        SetIfEmpty(table, QString::fromLatin1(name), 0);
    if (table.State() == TDataSetState::Insert)
        AllocateIdentifier(table);
}

// --- documents ---

void TRecordRules::DocumentNewRecord(TTable& table)
{
    if (m_hooks.enableDocumentGrid)
        m_hooks.enableDocumentGrid();
    if (!ShowIdentifier(table))
        return;
    const TRecordSettings& settings = Settings();
    const DocumentHeader header = NewDocumentHeader(0, DT_SALESINVOICE, 0, settings.MainCurrency(),
                                                    QDate::currentDate(), settings.setup.options);
    SetIfPresent(table, QStringLiteral("F_FACDATE"), header.F_FACDATE);
    SetIfPresent(table, QStringLiteral("F_EXPDATE"), header.F_EXPDATE);
    SetIfPresent(table, QStringLiteral("F_CURRENCY"), header.F_CURRENCY);
    SetIfPresent(table, QStringLiteral("F_PREPAYED"), header.F_PREPAYED.value_or(0.0));
    SetIfPresent(table, QStringLiteral("F_PAYED"), header.F_PAYED);
    SetIfPresent(table, QStringLiteral("F_LOCKED"), header.F_LOCKED);
}

void TRecordRules::DocumentBeforePost(TTable& table)
{
    if (table.State() != TDataSetState::Insert)
        return;
    if (!AllocateIdentifier(table))
        return;
    const int type = table.FieldByName(QStringLiteral("F_TYPE"))->AsInteger();
    if (IsNumberedDocumentType(type))
        table.FieldByName(QStringLiteral("F_FACNR"))->SetValue(NextDocumentNumber(table.Database(), AdminIni(), type, false));
}

void TRecordRules::DocumentAfterPost(TTable& table)
{
    if (table.Tag() != 1 && m_hooks.refreshDocumentView)
        m_hooks.refreshDocumentView();
    Audit(table, QStringLiteral("factuur"));
}

void TRecordRules::DocumentBeforeDelete(TTable& table)
{
    // Inside the delete's transaction: a delete that fails gives nothing back.
    ReleaseDocumentNumber(table.Database(), AdminIni(), table.FieldByName(QStringLiteral("F_TYPE"))->AsInteger(),
                          table.FieldByName(QStringLiteral("F_FACNR"))->AsString(), documentsBeingMoved);
}

void TRecordRules::DocumentCalcFields(TDataSet& dataSet)
{
    const TRecordSettings& settings = Settings();
    DocumentHeader header;
    header.F_FACNR = dataSet.FieldByName(QStringLiteral("F_FACNR"))->AsString();
    if (TField* date = dataSet.FieldByName(QStringLiteral("F_FACDATE")); !date->IsNull())
        header.F_FACDATE = date->AsDate();
    header.F_CURRENCY = dataSet.FieldByName(QStringLiteral("F_CURRENCY"))->AsString();
    header.F_PAYED = dataSet.FieldByName(QStringLiteral("F_PAYED"))->AsBoolean();
    header.F_TOTVAL = dataSet.FieldByName(QStringLiteral("F_TOTVAL"))->AsFloat();
    header.F_TOTEURO = dataSet.FieldByName(QStringLiteral("F_TOTEURO"))->AsFloat();
    header.F_VATCOEF = dataSet.FieldByName(QStringLiteral("F_VATCOEF"))->AsFloat();
    if (TField* prepaid = dataSet.FindField(QStringLiteral("F_PREPAYED")); prepaid && !prepaid->IsNull())
        header.F_PREPAYED = prepaid->AsFloat();
    dataSet.FieldByName(kFnrDatum)->SetValue(
        FnrDatum(header, settings.VatInclusive(), settings.VerkExcl(), settings.mainCurrencyIsEuro));
    dataSet.FieldByName(kTotValIncTB)->SetValue(TotValIncTB(header, settings.VatInclusive()));
}

void TRecordRules::LineNewRecord(TTable& table)
{
    if (m_dm.TabFact->Active() && !m_dm.TabFact->IsEmpty())
        SetIfPresent(table, QStringLiteral("FL_FNR"), m_dm.TabFact->FieldByName(QStringLiteral("F_ID"))->AsVariant());
    ShowIdentifier(table);
}

void TRecordRules::Audit(TTable& table, const QString& tableName)
{
    // Under the post's write lock, so two programs never interleave their lines; a rollback
    // takes the line out again.
    if (m_dm.AdministrationFolder().isEmpty())
        return;
    AppendAuditLine(table.Database(), AuditLogFile(m_dm.AdministrationFolder(), tableName), AuditRecordText(table),
                    QDateTime::currentDateTime());
}

// --- windows ---

void TRecordRules::RecordWindowChange(TTable& table, int module)
{
    if (!UiActive(table, module))
        return;
    if (m_hooks.selectLetter && (!m_hooks.explorerFirstColumnBound || m_hooks.explorerFirstColumnBound())) {
        const int sort = m_dm.currentSortColumn ? m_dm.currentSortColumn() : 1;
        TField* sortField = sort >= 0 && sort < table.FieldCount() ? table.Field(sort) : nullptr;
        if (sortField && !table.IsEmpty()) {
            const QStringList order = table.IndexFields();
            if (!order.isEmpty() && order.first().compare(sortField->FieldName(), Qt::CaseInsensitive) == 0)
                m_hooks.selectLetter(sortField->AsString().left(1));
        }
    }
    if (TField* iconField = table.FindField(QStringLiteral("ICON"))) {
        const int icon = iconField->IsNull() ? 0 : iconField->AsInteger();
        if (icon != m_lastIcon) {
            m_lastIcon = icon;
            if (m_hooks.drawRecordIcon)
                m_hooks.drawRecordIcon(icon == 0 ? 13 : icon);
        }
    }
    if (m_hooks.refreshRecordCounter)
        m_hooks.refreshRecordCounter();
}

void TRecordRules::DocumentWindowChange(TTable& table)
{
    if (!UiActive(table, 7))
        return;
    const TModule* module = m_dm.currentModule ? m_dm.currentModule() : nullptr;
    const QString number = table.FieldByName(QStringLiteral("F_FACNR"))->AsString();
    if (m_hooks.setDocumentCaption)
        m_hooks.setDocumentCaption(QLatin1Char(' ') + (module ? module->Title().toUpper() : QString())
                                   + QStringLiteral(" - ") + number);
    if (m_hooks.showUnpaidMarker) {
        // The kind listed decides, as in the document list; the record's own type otherwise.
        const auto* invoices = dynamic_cast<const TInvoices_Module*>(module);
        const int kind = invoices ? invoices->DocumentKind() : table.FieldByName(QStringLiteral("F_TYPE"))->AsInteger();
        m_hooks.showUnpaidMarker((kind == DT_SALESINVOICE || kind == DT_PURCHASEINVOICE)
                                 && !table.FieldByName(QStringLiteral("F_PAYED"))->AsBoolean());
    }
    if (m_hooks.showEuroPanel)
        m_hooks.showEuroPanel(IsEuroCode(table.FieldByName(QStringLiteral("F_CURRENCY"))->AsString()));
    if (m_hooks.rememberContact)
        m_hooks.rememberContact(table.FieldByName(QStringLiteral("F_CID"))->AsInteger());
}
