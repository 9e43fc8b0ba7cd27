#include "data/documentbinder.h"

#include "data/dm.h"
#include "data/documentstore_sql.h"
#include "data/table.h"
#include "documents/factuur.h"
#include "foundation/translate.h"

namespace {

using Self = std::shared_ptr<DocumentBinder*>;

// Wraps a data set event: the handler installed before runs first, then the binder's (while
// the binder lives).
void Chain(TDataSet::Event& slot, const Self& self, void (DocumentBinder::*handler)(TDataSet&))
{
    TDataSet::Event previous = slot;
    slot = [previous, self, handler](TDataSet& dataSet) {
        if (previous)
            previous(dataSet);
        if (DocumentBinder* binder = *self)
            (binder->*handler)(dataSet);
    };
}

void ChainField(TField& field, const Self& self, void (DocumentBinder::*handler)(TField&))
{
    std::function<void(TField&)> previous = field.OnChange;
    field.OnChange = [previous, self, handler](TField& changed) {
        if (previous)
            previous(changed);
        if (DocumentBinder* binder = *self)
            (binder->*handler)(changed);
    };
}

} // namespace

DocumentBinder::DocumentBinder(Tdm& dm, TFactuur& factuur, SqlDocumentStore& store, NoticeSink notices)
    : m_dm(dm),
      m_factuur(factuur),
      m_store(store),
      m_notices(notices ? std::move(notices) : DefaultNoticeSink()),
      m_self(std::make_shared<DocumentBinder*>(this))
{
    m_factuur.SetStore(&m_store);
    Install();
}

DocumentBinder::~DocumentBinder()
{
    *m_self = nullptr;
}

void DocumentBinder::Install()
{
    TTable* header = m_dm.TabFact;
    Chain(header->AfterOpen, m_self, &DocumentBinder::TabFactAfterOpen);
    Chain(header->BeforeScroll, m_self, &DocumentBinder::TabFactBeforeScroll);
    Chain(header->AfterScroll, m_self, &DocumentBinder::TabFactAfterScroll);
    Chain(header->BeforeClose, m_self, &DocumentBinder::TabFactBeforeClose);
    if (header->Active())
        HookFields();
}

void DocumentBinder::HookFields()
{
    // Field objects live across reopens of the same columns: hook each one once.
    if (TField* field = m_dm.TabFact->FindField(QStringLiteral("F_DISCOUNT")); field && field != m_discountField) {
        ChainField(*field, m_self, &DocumentBinder::TabFactF_DISCOUNTChange);
        m_discountField = field;
    }
    if (TField* field = m_dm.TabFact->FindField(QStringLiteral("F_PREPAYED")); field && field != m_prepaidField) {
        ChainField(*field, m_self, &DocumentBinder::TabFactF_PREPAYEDChange);
        m_prepaidField = field;
    }
}

bool DocumentBinder::SaveIfEditing(QString* error)
{
    if (m_factuur.State() != TFactuur::Edit)
        return true;
    if (m_factuur.SaveLines())
        return true;
    // The engine has told the user why; the document stays in edit state with its lines.
    if (error)
        *error = Translate(NL("Het document is niet opgeslagen."));
    return false;
}

void DocumentBinder::TabFactAfterOpen(TDataSet& dataSet)
{
    m_factuur.SetEditState(TFactuur::Browse);
    HookFields();
    // An empty table fires no scroll: show that there is no document.
    if (m_shown && dataSet.IsEmpty())
        ShowCurrent();
}

void DocumentBinder::TabFactBeforeScroll(TDataSet& dataSet)
{
    QString error;
    // Moving on would leave the user's lines behind: stay on the document instead.
    if (!SaveIfEditing(&error))
        dataSet.Abort(error);
}

void DocumentBinder::TabFactAfterScroll(TDataSet&)
{
    if (m_shown && m_factuur.State() != TFactuur::Edit)
        ShowCurrent();
}

void DocumentBinder::TabFactBeforeClose(TDataSet& dataSet)
{
    // Closing is not refused (the administration is going away); a failed save was told.
    SaveIfEditing(nullptr);
    if (dataSet.State() == TDataSetState::Edit || dataSet.State() == TDataSetState::Insert)
        dataSet.Post();
}

void DocumentBinder::TabFactF_DISCOUNTChange(TField& field)
{
    // Only the document the engine holds: outside the documents module it may hold another.
    if (m_factuur.Header().F_ID == m_dm.TabFact->FieldByName(QStringLiteral("F_ID"))->AsInteger())
        m_factuur.SetDiscount(field.AsFloat());
}

void DocumentBinder::TabFactF_PREPAYEDChange(TField& field)
{
    if (m_factuur.Header().F_ID == m_dm.TabFact->FieldByName(QStringLiteral("F_ID"))->AsInteger())
        m_factuur.SetPrepayment(field.IsNull() ? std::nullopt : std::optional<double>(field.AsFloat()));
}

void DocumentBinder::ShowCurrent()
{
    // Lines being edited are never replaced by a reload.
    if (m_factuur.State() == TFactuur::Edit) {
        m_factuur.ShowLines();
        return;
    }
    DocumentHeader header;
    QList<LineRow> rows;
    if (m_store.ReadHeader(&header)) {
        QString error;
        if (m_dm.TabFact->State() != TDataSetState::Insert && !m_store.ReadLines(header.F_ID, &rows, &error)) {
            m_notices(Translate(NL("De regels van het document konden niet worden gelezen:")) + QLatin1Char('\n') + error);
            // Shown locked, so no save can replace the stored lines by an empty list.
            header.F_LOCKED = true;
        }
    } else {
        header.F_CURRENCY = m_factuur.MainCurrency();
    }
    m_factuur.LoadLines(header, rows);
    m_factuur.ShowLines();
}

bool DocumentBinder::SetDocumentsShown(bool shown)
{
    if (shown == m_shown)
        return true;
    if (!shown) {
        if (!SaveIfEditing(nullptr))
            return false;
        m_shown = false;
        return true;
    }
    m_shown = true;
    ShowCurrent();
    return true;
}

bool DocumentBinder::NewDocument(int type, int contactId, const QDate& today)
{
    TTable* table = m_dm.TabFact;
    if (!table->Active() || !table->Append())
        return false;
    // The new-record rule has given the identifier (when it runs); the rest comes from the
    // engine's options, so a new document starts neither paid nor locked.
    DocumentHeader header = NewDocumentHeader(table->FieldByName(QStringLiteral("F_ID"))->AsInteger(), type, contactId,
                                              m_factuur.MainCurrency(), today, m_factuur.Options());
    if (!m_store.WriteNewHeader(&header)) {
        table->Cancel();
        ShowCurrent();
        return false;
    }
    m_factuur.LoadLines(header, {});
    m_factuur.SetEditState(TFactuur::Edit);
    m_factuur.ShowLines(true);
    return true;
}
