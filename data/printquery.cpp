#include "data/printquery.h"

#include "foundation/settingsfile.h"

QStringList PrintQueryLines(bool fastInvoice, bool invoiceGroupBy)
{
    if (fastInvoice)
        return {QStringLiteral("SELECT a.*, f.*, fl.* FROM tempCON a, factuur f, faclijn fl "),
                QStringLiteral("WHERE fl.FL_FNR = :f_ID AND f.F_ID = fl.FL_FNR AND a.nummer = f.F_CID "),
                QStringLiteral("ORDER BY fl.FL_ID")};
    if (invoiceGroupBy)
        return {QStringLiteral("SELECT * FROM tempFACT ORDER BY FL_ID")};
    // The lines with their product when there is one. A full outer join with the products,
    // filtered on the lines' columns, keeps exactly these rows; the left join says so and
    // lets SQLite start from the document's lines.
    return {QStringLiteral("SELECT a.*, f.*, fl.*, p.* FROM faclijn fl "),
            QStringLiteral("JOIN factuur f ON f.F_ID = fl.FL_FNR JOIN tempCON a ON a.nummer = f.F_CID "),
            QStringLiteral("LEFT JOIN tempPRO p ON (p.P_ID = fl.FL_PID) "),
            QStringLiteral("WHERE fl.FL_FNR = :f_ID "),
            QStringLiteral("ORDER BY fl.FL_ID ")};
}

QStringList PrintQueryLinesFromSettings(const QString& ovraIni)
{
    return PrintQueryLines(ReadSettingBool(ovraIni, QStringLiteral("FASTINVOICE")),
                           ReadSettingBool(ovraIni, QStringLiteral("INVOICEGROUPBY")));
}
