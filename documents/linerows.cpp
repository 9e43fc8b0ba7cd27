#include "documents/linerows.h"

#include "documents/money.h"

#include "foundation/numbers.h"

#include <cmath>

namespace {

std::optional<double> NumberOrNull(const LineRecord& line, int field, double fallback)
{
    if (line.IsBlank(field))
        return std::nullopt;
    return line.Number(field, fallback);
}

} // namespace

LineRecord LineRecordFromRow(const LineRow& row, const LineConversion& conversion)
{
    LineRecord line;
    if (row.FL_AMOUNT) {
        const double q = *row.FL_AMOUNT;
        // Four decimals for any fractional quantity, negative ones included.
        line.SetField(LF_QUANTITY, FixedText(0, q != std::trunc(q) ? 4 : 2, q));
    }
    line.SetField(LF_DESCRIPTION, row.FL_PRODUCT.value_or(QString()));
    const double v = row.FL_VAT.value_or(0.0);
    const auto prices = [&conversion, v](double stored, int decimals, double* net, double* gross) {
        if (conversion.vatInclusive) {
            *gross = stored;
            *net = NetFromGross(decimals, v, stored);
        } else {
            *net = stored;
            *gross = stored * (v / 100.0 + 1.0);
        }
    };
    const int d = conversion.documentDecimals;
    const int e = conversion.euroDecimals;
    if (row.FL_PRICE) {
        double n = 0.0;
        double g = 0.0;
        prices(*row.FL_PRICE, d + 2, &n, &g);
        line.SetField(LF_NET, MoneyText(d + 2, n));
        line.SetField(LF_GROSS, MoneyText(d + 2, g));
        line.SetField(LF_NETFULL, MoneyText(d + 4, n));
    }
    if (row.FL_EURO) {
        double n = 0.0;
        double g = 0.0;
        prices(*row.FL_EURO, e + 2, &n, &g);
        line.SetField(LF_NETEURO, MoneyText(e + 2, n));
        line.SetField(LF_GROSSEURO, MoneyText(e + 2, g));
    }
    // A text line (no price, no VAT) stays out of the VAT groups after a reload.
    if (row.FL_VAT || row.FL_PRICE)
        line.SetField(LF_VAT, TwoDecimals(v));
    if (row.FL_Discount)
        line.SetField(LF_DISCOUNT, TwoDecimals(*row.FL_Discount));
    line.SetField(LF_AFKOEF, TwoDecimals(row.FL_Afkoef.value_or(0.0)));
    if (row.FL_Afsoort)
        line.SetField(LF_AFSOORT, QString::number(*row.FL_Afsoort));
    if (row.FL_PID)
        line.SetField(LF_PID, QString::number(*row.FL_PID));
    if (row.FL_ID)
        line.SetField(LF_LINEID, QString::number(*row.FL_ID));
    if (conversion.useContribution && row.FL_IVK)
        line.SetField(LF_IVK, TwoDecimals(*row.FL_IVK));
    return line;
}

LineRow LineRowFromRecord(const LineRecord& line, int documentId, const LineConversion& conversion)
{
    const bool inclusive = conversion.vatInclusive;
    LineRow row;
    row.FL_FNR = documentId;
    row.FL_AMOUNT = NumberOrNull(line, LF_QUANTITY, 1.0);
    if (!line.IsBlank(LF_PID))
        row.FL_PID = IntOrDefault(line.Field(LF_PID), 0);
    row.FL_PRICE = NumberOrNull(line, inclusive ? LF_GROSS : LF_NETFULL, 0.0);
    row.FL_EURO = NumberOrNull(line, inclusive ? LF_GROSSEURO : LF_NETEURO, 0.0);
    if (!line.IsBlank(LF_NETFULL) || !line.IsBlank(LF_VAT)) {
        double v = line.Number(LF_VAT, conversion.standardVat);
        if (v < 0.0 || v > 100.0)
            v = conversion.standardVat;
        row.FL_VAT = v;
    }
    row.FL_Discount = NumberOrNull(line, LF_DISCOUNT, 0.0);
    if (!line.IsBlank(LF_DESCRIPTION))
        row.FL_PRODUCT = line.Field(LF_DESCRIPTION);
    if (conversion.useContribution)
        row.FL_IVK = NumberOrNull(line, LF_IVK, 0.0);
    if (conversion.purchaseInvoice) {
        row.FL_Afkoef = line.Number(LF_AFKOEF, 1.0);
        row.FL_Afsoort = IntOrDefault(line.Field(LF_AFSOORT), 0);
    }
    return row;
}

QList<LineRow> LineRowsToSave(const QList<LineRecord>& lines, int documentId, const LineConversion& conversion)
{
    qsizetype last = lines.size() - 1;
    while (last >= 0 && lines.at(last).CountsAsEmptyForSaving())
        --last;
    QList<LineRow> rows;
    rows.reserve(last + 1);
    for (qsizetype i = 0; i <= last; ++i)
        rows.append(LineRowFromRecord(lines.at(i), documentId, conversion));
    return rows;
}
