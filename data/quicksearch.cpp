#include "data/quicksearch.h"

#include "data/collation.h"
#include "data/connection.h"
#include "data/engine_statement.h"
#include "data/table.h"
#include "foundation/dates.h"
#include "foundation/numbers.h"
#include "foundation/textfile.h"

#include <sqlite3.h>

namespace {

const QString kFnrDatum = QStringLiteral("FNR+DATUM");
const QString kTotValIncTB = QStringLiteral("totvalincTB");
const QString kKlantNaam = QStringLiteral("KLANTNAAM");

TLocateOptions Loose()
{
    TLocateOptions options;
    options.caseInsensitive = true;
    options.partial = true;
    return options;
}

// The number typed, with "," or "." as the decimal separator; false when it is none.
bool TypedNumber(const QString& text, double* value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    const double sentinel = -1.0e308;
    *value = FloatOrDefault(trimmed, sentinel);
    return *value != sentinel;
}

// ORDER BY of the table's current order, so the first match is the one the grid shows first.
QString OrderOf(TTable& table)
{
    QStringList parts;
    for (const QString& name : table.IndexFields()) {
        TField* field = table.FindField(name);
        if (!field)
            continue;
        parts << QuoteIdentifier(field->FieldName())
                     + (IsTextType(field->DataType()) ? QStringLiteral(" COLLATE QCI") : QString());
    }
    parts << QStringLiteral("rowid");
    return QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}

// Amounts are compared as numbers rounded to 2 decimals: a stored 12.1000000001 is 12.10.
bool LocateAmount(TDataSet& dataSet, TField& field, double value)
{
    auto* table = qobject_cast<TTable*>(&dataSet);
    TField* key = dataSet.Field(0);
    if (!table || !key || !table->Database() || table->ResolvedTableName().isEmpty())
        return dataSet.Locate(field.FieldName(), RoundHalfAway(2, value));
    const QString sql = QStringLiteral("SELECT %1 FROM %2.%3 WHERE round(%4, 2) = round(?, 2)%5 LIMIT 200")
                            .arg(QuoteIdentifier(key->FieldName()), QuoteIdentifier(table->SchemaName()),
                                 QuoteIdentifier(table->ResolvedTableName()), QuoteIdentifier(field.FieldName()),
                                 OrderOf(*table));
    QVariantList ids;
    {
        TStatementCache::Lease st = table->Database()->statements().Borrow(sql);
        if (!st.ok())
            return false;
        st->bindAll({RoundHalfAway(2, value)});
        while (st->step() == SQLITE_ROW)
            ids << st->column(0);
    }
    // A record the filter hides is not in the grid: the next one is.
    for (const QVariant& id : ids) {
        if (dataSet.Locate(key->FieldName(), id))
            return true;
    }
    return false;
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

TQuickSearchKind QuickSearchKindOf(const TDataSet& dataSet, const QString& column)
{
    TField* field = dataSet.FindField(column);
    if (!field)
        return TQuickSearchKind::None;
    if (field->IsCalculated())
        return field->FieldName().compare(kFnrDatum, Qt::CaseInsensitive) == 0 ? TQuickSearchKind::FnrDatum
                                                                                 : TQuickSearchKind::None;
    const int type = field->DataType();
    if (type == ftText)
        return TQuickSearchKind::Text;
    if (IsIntegerType(type))
        return TQuickSearchKind::Integer;
    if (IsFloatType(type))
        return TQuickSearchKind::Float;
    if (type == ftDate)
        return TQuickSearchKind::Date;
    return TQuickSearchKind::None;
}

bool QuickSearchLocate(TDataSet& dataSet, const QString& column, const QString& text)
{
    if (!dataSet.Active())
        return false;
    TField* field = dataSet.FindField(column);
    switch (QuickSearchKindOf(dataSet, column)) {
    case TQuickSearchKind::Text:
        return !text.isEmpty() && dataSet.Locate(field->FieldName(), text, Loose());
    case TQuickSearchKind::FnrDatum:
        return !text.isEmpty() && dataSet.Locate(QStringLiteral("F_FACNR"), text, Loose());
    case TQuickSearchKind::Integer: {
        bool ok = false;
        const qint64 value = text.trimmed().toLongLong(&ok);
        return ok && dataSet.Locate(field->FieldName(), value);
    }
    case TQuickSearchKind::Float: {
        double value = 0;
        // -1 is what an empty or broken number read as once; it never searches.
        if (!TypedNumber(text, &value) || value == -1.0)
            return false;
        return LocateAmount(dataSet, *field, value);
    }
    case TQuickSearchKind::Date: {
        if (text.length() != 10)
            return false;
        const QDateTime moment = ParseDateLoose(text);
        return moment.isValid() && dataSet.Locate(field->FieldName(), moment.date());
    }
    case TQuickSearchKind::None:
        break;
    }
    return false;
}

QString TypeAheadText(const QString& typed, QChar key)
{
    if (key == QChar(8))
        return typed.left(qMax(0, typed.length() - 1));
    if (key.category() == QChar::Other_Control || key.isNull())
        return typed;
    return typed + key;
}

QString TypeAheadCut(const QString& typed, int columnSize)
{
    if (columnSize <= 1)
        return typed;
    return typed.left(columnSize - 1);
}

QString LocateFromLetter(TDataSet& dataSet, const QString& column, QChar letter)
{
    if (!dataSet.Active() || !dataSet.FindField(column))
        return {};
    const QChar first = letter.toUpper();
    if (first < QLatin1Char('A') || first > QLatin1Char('Z'))
        return dataSet.Locate(column, QString(first), Loose()) ? QString(first) : QString();
    for (char16_t c = first.unicode(); c <= u'Z'; ++c) {
        if (dataSet.Locate(column, QString(QChar(c)), Loose()))
            return QString(QChar(c));
    }
    return {};
}

QList<TDocumentHit> FindDocuments(TDatabase& database, const QString& column, const QString& text,
                                  int documentKind, const QString& dataFolder, bool* handled)
{
    if (handled)
        *handled = false;
    QString typed = text;
    const QChar separator = DecimalSeparator();
    if (int dot = typed.indexOf(QLatin1Char('.')); dot >= 0)
        typed[dot] = separator;
    if (int comma = typed.indexOf(QLatin1Char(',')); comma >= 0)
        typed[comma] = separator;

    QString sql;
    QString logged;
    QVariantList binds;
    if (column.compare(kTotValIncTB, Qt::CaseInsensitive) == 0) {
        double amount = 0;
        if (!TypedNumber(typed, &amount))
            return {};
        const QString head = QStringLiteral(
            "SELECT F_ID, F_FACNR, F_FACDATE FROM factuur "
            "WHERE (COALESCE(F_PAYED, 0) <> 1) AND "
            "(round(F_TOTVAL * COALESCE(F_VATCOEF, 1) - COALESCE(F_PREPAYED, 0), 2) = round(");
        sql = head + QStringLiteral("?, 2))");
        logged = head + FormatFloat(amount, 2) + QStringLiteral(", 2))");
        binds << RoundHalfAway(2, amount);
    } else if (column.compare(kKlantNaam, Qt::CaseInsensitive) == 0) {
        const QString head = QStringLiteral(
            "SELECT F_ID, F_FACNR, F_FACDATE, a.ComName FROM factuur, adressen a "
            "WHERE (a.nummer = F_cid) AND a.ComName COLLATE QCI >= ? AND a.ComName COLLATE QCI < ?");
        sql = head;
        logged = QString(head).replace(QStringLiteral(">= ?"), QStringLiteral(">= ") + Quoted(typed))
                     .replace(QStringLiteral("< ?"), QStringLiteral("< ") + Quoted(typed + QStringLiteral("~")));
        binds << typed << PrefixUpperBound(typed);
    } else {
        return {};
    }
    if (handled)
        *handled = true;
    sql += QStringLiteral(" AND F_type = ? ORDER BY F_FACNR COLLATE QCI, F_ID");
    logged += QStringLiteral(" AND F_type = ") + QString::number(documentKind);
    binds << documentKind;
    if (!dataFolder.isEmpty())
        SaveTextLines(dataFolder + QStringLiteral("sql.txt"), {logged});

    QList<TDocumentHit> hits;
    TStatementCache::Lease st = database.statements().Borrow(sql);
    if (!st.ok())
        return hits;
    st->bindAll(binds);
    while (st->step() == SQLITE_ROW)
        hits.append({st->columnInt64(0), st->column(1).toString()});
    return hits;
}
