#include "data/documentstore_sql.h"

#include "data/auditlog.h"
#include "data/connection.h"
#include "data/dm.h"
#include "data/engine_statement.h"
#include "data/table.h"
#include "foundation/numbers.h"
#include "foundation/translate.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace {

const QString kLineColumns = QStringLiteral(
    "FL_ID, FL_FNR, FL_AMOUNT, FL_PRODUCT, FL_PRICE, FL_EURO, FL_VAT, FL_Discount, FL_PID, FL_Afkoef, FL_Afsoort");

std::optional<double> RealOf(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    if (value.metaType().id() == QMetaType::QString) {
        // Older tools may have stored numbers as text ("1,5").
        const double x = FloatOrDefault(value.toString(), std::numeric_limits<double>::quiet_NaN());
        return std::isnan(x) ? std::nullopt : std::optional<double>(x);
    }
    bool ok = false;
    const double x = value.toDouble(&ok);
    return ok ? std::optional<double>(x) : std::nullopt;
}

std::optional<int> IntOf(const QVariant& value)
{
    const std::optional<double> x = RealOf(value);
    if (!x)
        return std::nullopt;
    return int(std::llround(*x));
}

std::optional<QString> TextOf(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return value.toString();
}

template <typename T> QVariant Bound(const std::optional<T>& value)
{
    return value ? QVariant(*value) : QVariant();
}

// A message for the user with the engine's reason after it.
QString Failure(const QString& dutch, const QString& reason)
{
    return reason.isEmpty() ? Translate(dutch) : Translate(dutch) + QLatin1Char(' ') + reason;
}

bool IsEditing(const TDataSet& dataSet)
{
    return dataSet.State() == TDataSetState::Edit || dataSet.State() == TDataSetState::Insert;
}

} // namespace

qint64 NextLineIdentifier(TDatabase& db, QString* error)
{
    QString reason;
    const QVariant highest = db.Scalar(QStringLiteral("SELECT COALESCE(MAX(FL_ID), 0) FROM faclijn"), {}, &reason);
    if (!highest.isValid()) {
        if (error)
            *error = reason;
        return -1;
    }
    return highest.toLongLong() + 1;
}

SqlDocumentStore::SqlDocumentStore(Tdm& dm) : m_dm(dm) {}

bool SqlDocumentStore::HasDocument() const
{
    const TTable* header = m_dm.TabFact;
    if (!header || !header->Active())
        return false;
    return header->State() == TDataSetState::Insert || header->CurrentRow() >= 0;
}

bool SqlDocumentStore::IsHeaderEditing() const
{
    return m_dm.TabFact && IsEditing(*m_dm.TabFact);
}

bool SqlDocumentStore::EditHeader()
{
    // On an empty table Edit would insert: a new document is made on purpose, not here.
    if (!HasDocument())
        return false;
    return IsHeaderEditing() || m_dm.TabFact->Edit();
}

bool SqlDocumentStore::PostHeader()
{
    return m_dm.TabFact && m_dm.TabFact->Post();
}

bool SqlDocumentStore::PostLocked(bool locked)
{
    if (!HasDocument())
        return false;
    TTable& header = *m_dm.TabFact;
    const bool wasEditing = IsEditing(header);
    if (!wasEditing && !header.Edit())
        return false;
    TField* field = header.FieldByName(QStringLiteral("F_LOCKED"));
    const QVariant before = field->AsVariant();
    if (field->SetValue(locked) && header.Post())
        return true;
    // Nothing changed: the header is as it was before the call.
    if (wasEditing)
        field->SetValue(before);
    else
        header.Cancel();
    return false;
}

bool SqlDocumentStore::ReadHeader(DocumentHeader* header) const
{
    if (!HasDocument())
        return false;
    TTable& t = *m_dm.TabFact;
    const auto field = [&t](const char* name) { return t.FieldByName(QString::fromLatin1(name)); };
    DocumentHeader h;
    h.F_ID = field("F_ID")->AsInteger();
    h.F_FACNR = field("F_FACNR")->AsString();
    h.F_FACDATE = field("F_FACDATE")->AsDate();
    h.F_EXPDATE = field("F_EXPDATE")->AsDate();
    h.F_CID = field("F_CID")->AsInteger();
    h.F_CURRENCY = field("F_CURRENCY")->AsString();
    h.F_NOTES = field("F_NOTES")->AsString();
    h.F_PAYED = field("F_PAYED")->AsBoolean();
    h.F_LOCKED = field("F_LOCKED")->AsBoolean();
    h.F_DISCOUNT = field("F_DISCOUNT")->AsFloat();
    h.F_TOTVAL = field("F_TOTVAL")->AsFloat();
    h.F_TOTEURO = field("F_TOTEURO")->AsFloat();
    h.F_TYPE = field("F_TYPE")->IsNull() ? int(DT_SALESINVOICE) : field("F_TYPE")->AsInteger();
    h.F_HERCOUNT = field("F_HERCOUNT")->AsInteger();
    h.F_VNR = field("F_VNR")->AsInteger();
    h.F_FREE = field("F_FREE")->AsString();
    h.F_VATCOEF = field("F_VATCOEF")->IsNull() ? 1.0 : field("F_VATCOEF")->AsFloat();
    if (!field("F_PREPAYED")->IsNull())
        h.F_PREPAYED = field("F_PREPAYED")->AsFloat();
    *header = h;
    return true;
}

bool SqlDocumentStore::HasContributionColumn() const
{
    TDatabase* db = m_dm.Database();
    return db
           && db->Scalar(QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('faclijn') WHERE name = 'FL_IVK' COLLATE NOCASE"))
                      .toInt()
                  > 0;
}

bool SqlDocumentStore::ReadLines(int documentId, QList<LineRow>* rows, QString* error) const
{
    rows->clear();
    TDatabase* db = m_dm.Database();
    if (!db) {
        if (error)
            *error = Translate(NL("Geen administratie geopend."));
        return false;
    }
    const bool withIvk = HasContributionColumn();
    TStatementCache::Lease q = db->statements().Borrow(QStringLiteral("SELECT ") + kLineColumns
                                                        + (withIvk ? QStringLiteral(", FL_IVK") : QString())
                                                        + QStringLiteral(" FROM faclijn WHERE FL_FNR = ? ORDER BY FL_ID"));
    if (!q.ok() || !q->bind(1, documentId)) {
        if (error)
            *error = q.error();
        return false;
    }
    for (;;) {
        const int rc = q->step();
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            if (error)
                *error = q->error();
            rows->clear();
            return false;
        }
        LineRow row;
        row.FL_ID = IntOf(q->column(0));
        row.FL_FNR = IntOf(q->column(1)).value_or(documentId);
        row.FL_AMOUNT = RealOf(q->column(2));
        row.FL_PRODUCT = TextOf(q->column(3));
        row.FL_PRICE = RealOf(q->column(4));
        row.FL_EURO = RealOf(q->column(5));
        row.FL_VAT = RealOf(q->column(6));
        row.FL_Discount = RealOf(q->column(7));
        row.FL_PID = IntOf(q->column(8));
        row.FL_Afkoef = RealOf(q->column(9));
        row.FL_Afsoort = IntOf(q->column(10));
        if (withIvk)
            row.FL_IVK = RealOf(q->column(11));
        rows->append(row);
    }
    return true;
}

bool SqlDocumentStore::WriteNewHeader(DocumentHeader* newHeader)
{
    TTable* t = m_dm.TabFact;
    TDatabase* db = m_dm.Database();
    if (!t || !db || t->State() != TDataSetState::Insert)
        return false;
    if (newHeader->F_ID <= 0) {
        // The new-record rule normally hands out the identifier; without it, one above the
        // highest keeps lines from being filed under document 0.
        const QVariant highest = db->Scalar(QStringLiteral("SELECT COALESCE(MAX(F_ID), 0) FROM factuur"));
        if (!highest.isValid())
            return false;
        newHeader->F_ID = highest.toInt() + 1;
    }
    const DocumentHeader& header = *newHeader;
    const auto set = [t](const char* name, const QVariant& value) {
        return t->FieldByName(QString::fromLatin1(name))->SetValue(value);
    };
    return set("F_ID", header.F_ID) && set("F_TYPE", header.F_TYPE) && set("F_CID", header.F_CID)
           && set("F_FACDATE", header.F_FACDATE) && set("F_EXPDATE", header.F_EXPDATE)
           && set("F_CURRENCY", header.F_CURRENCY) && set("F_PAYED", header.F_PAYED)
           && set("F_LOCKED", header.F_LOCKED) && set("F_DISCOUNT", header.F_DISCOUNT)
           && set("F_TOTVAL", header.F_TOTVAL) && set("F_TOTEURO", header.F_TOTEURO)
           && set("F_VATCOEF", header.F_VATCOEF) && set("F_PREPAYED", Bound(header.F_PREPAYED));
}

bool SqlDocumentStore::WriteLines(TDatabase& db, const DocumentSave& save, QList<LineRow>* stored, QString* error)
{
    QString reason;
    if (!db.Exec(QStringLiteral("DELETE FROM faclijn WHERE FL_FNR = ?"), {save.F_ID}, &reason)) {
        *error = Failure(NL("De oude regels konden niet worden verwijderd:"), reason);
        return false;
    }
    if (save.rows.isEmpty())
        return true;
    qint64 id = NextLineIdentifier(db, &reason);
    if (id < 0) {
        *error = Failure(NL("De regels konden niet worden geschreven:"), reason);
        return false;
    }
    const bool withIvk = HasContributionColumn();
    TStatementCache::Lease insert = db.statements().Borrow(
        QStringLiteral("INSERT INTO faclijn (") + kLineColumns + (withIvk ? QStringLiteral(", FL_IVK") : QString())
        + QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?") + (withIvk ? QStringLiteral(", ?") : QString())
        + QStringLiteral(")"));
    if (!insert.ok()) {
        *error = Failure(NL("De regels konden niet worden geschreven:"), insert.error());
        return false;
    }
    stored->reserve(save.rows.size());
    for (const LineRow& source : save.rows) {
        LineRow row = source;
        row.FL_ID = int(id++);
        row.FL_FNR = save.F_ID;
        insert->reset();
        const QVariantList values = {*row.FL_ID,
                                     row.FL_FNR,
                                     Bound(row.FL_AMOUNT),
                                     Bound(row.FL_PRODUCT),
                                     Bound(row.FL_PRICE),
                                     Bound(row.FL_EURO),
                                     Bound(row.FL_VAT),
                                     Bound(row.FL_Discount),
                                     Bound(row.FL_PID),
                                     Bound(row.FL_Afkoef),
                                     Bound(row.FL_Afsoort)};
        bool bound = insert->bindAll(values);
        if (bound && withIvk)
            bound = insert->bind(12, Bound(row.FL_IVK));
        if (!bound || insert->step() != SQLITE_DONE) {
            *error = Failure(NL("De regels konden niet worden geschreven:"), insert->error());
            return false;
        }
        stored->append(row);
    }
    AuditLines(db, *stored);
    return true;
}

void SqlDocumentStore::AuditLines(TDatabase& db, const QList<LineRow>& rows)
{
    // The lines bypass TabFL, so its after-post rule does not see them: they go to the same
    // log in the same form, inside the save's transaction (a rollback takes them out again).
    TTable* layout = m_dm.TabFL;
    if (rows.isEmpty() || !layout || layout->FieldCount() == 0 || m_dm.AdministrationFolder().isEmpty())
        return;
    QStringList texts;
    texts.reserve(rows.size());
    for (const LineRow& row : rows) {
        const QHash<QString, QVariant> stored = {
            {QStringLiteral("FL_ID"), Bound(row.FL_ID)},
            {QStringLiteral("FL_FNR"), row.FL_FNR},
            {QStringLiteral("FL_AMOUNT"), Bound(row.FL_AMOUNT)},
            {QStringLiteral("FL_PRODUCT"), Bound(row.FL_PRODUCT)},
            {QStringLiteral("FL_PRICE"), Bound(row.FL_PRICE)},
            {QStringLiteral("FL_EURO"), Bound(row.FL_EURO)},
            {QStringLiteral("FL_VAT"), Bound(row.FL_VAT)},
            {QStringLiteral("FL_DISCOUNT"), Bound(row.FL_Discount)},
            {QStringLiteral("FL_PID"), Bound(row.FL_PID)},
            {QStringLiteral("FL_AFKOEF"), Bound(row.FL_Afkoef)},
            {QStringLiteral("FL_AFSOORT"), Bound(row.FL_Afsoort)},
            {QStringLiteral("FL_IVK"), Bound(row.FL_IVK)},
        };
        texts.append(AuditRecordText(*layout, stored));
    }
    AppendAuditLines(&db, AuditLogFile(m_dm.AdministrationFolder(), QStringLiteral("faclijn")), texts,
                     QDateTime::currentDateTime());
}

bool SqlDocumentStore::WriteTotals(const DocumentSave& save, QString* error)
{
    TTable& header = *m_dm.TabFact;
    if (!IsEditing(header) && !header.Edit()) {
        *error = Failure(NL("Het document kon niet in bewerking worden gezet:"), header.LastError());
        return false;
    }
    const bool set = header.FieldByName(QStringLiteral("F_TOTVAL"))->SetValue(save.F_TOTVAL)
                     && header.FieldByName(QStringLiteral("F_TOTEURO"))->SetValue(save.F_TOTEURO)
                     && header.FieldByName(QStringLiteral("F_VATCOEF"))->SetValue(save.F_VATCOEF);
    if (!set || !header.Post()) {
        *error = Failure(NL("De hoofding van het document kon niet worden opgeslagen:"), header.LastError());
        return false;
    }
    return true;
}

bool SqlDocumentStore::SaveDocument(const DocumentSave& save, QString* error)
{
    QString reason;
    const auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    TDatabase* db = m_dm.Database();
    if (!db)
        return fail(Translate(NL("Geen administratie geopend.")));
    if (!HasDocument())
        return fail(Translate(NL("Geen document geselecteerd.")));
    TTable& header = *m_dm.TabFact;
    const int currentId = header.FieldByName(QStringLiteral("F_ID"))->AsInteger();
    // The lines belong to the document that is current; anything else would file them under
    // another document.
    if (save.F_ID == 0 || currentId != save.F_ID)
        return fail(Translate(NL("Het huidige document is niet het document dat werd bewerkt.")));

    const bool wasEditing = IsEditing(header);
    QVariantList oldTotals;
    for (const char* name : {"F_TOTVAL", "F_TOTEURO", "F_VATCOEF"})
        oldTotals.append(header.FieldByName(QString::fromLatin1(name))->AsVariant());

    const int depth = db->TransactionDepth();
    if (!db->Transaction())
        return fail(Translate(NL("De database is in gebruik door een andere sessie.")));
    QList<LineRow> stored;
    bool ok = WriteLines(*db, save, &stored, &reason) && WriteTotals(save, &reason);
    bool headerPosted = ok;
    if (ok && !db->Commit()) {
        ok = false;
        reason = Translate(NL("De wijzigingen konden niet worden vastgelegd."));
    }
    if (!ok) {
        if (db->TransactionDepth() > depth)
            db->Rollback();
        if (headerPosted) {
            // The header data set believes the post; read it back as the database holds it.
            header.Refresh();
        } else if (IsEditing(header)) {
            // A later post of the header alone keeps the stored lines and totals in agreement.
            const char* names[] = {"F_TOTVAL", "F_TOTEURO", "F_VATCOEF"};
            for (int i = 0; i < 3; ++i)
                header.FieldByName(QString::fromLatin1(names[i]))->SetValue(oldTotals.at(i));
            if (!wasEditing && header.State() == TDataSetState::Edit)
                header.Cancel();
        }
        return fail(reason);
    }
    if (m_dm.TabFL && m_dm.TabFL->Active())
        m_dm.TabFL->Refresh();
    if (AfterLinesSaved)
        AfterLinesSaved(save.F_ID, stored);
    return true;
}
