#include "documents/documentheader.h"

#include "documents/factuur.h"

QDate DueDate(const QDate& date, int months, int days)
{
    // addMonths keeps the day, cut to the length of the month reached.
    return date.addMonths(std::max(0, months)).addDays(days);
}

DocumentHeader NewDocumentHeader(int id, int type, int contactId, const QString& mainCurrency,
                                 const QDate& today, const FactuurOptions& options)
{
    DocumentHeader header;
    header.F_ID = id;
    header.F_TYPE = type;
    header.F_CID = contactId;
    header.F_FACDATE = today;
    header.F_EXPDATE = DueDate(today, options.BETTERMMND, options.BETTERMDAY);
    header.F_CURRENCY = mainCurrency;
    header.F_PREPAYED = 0.0;
    header.F_PAYED = false;
    header.F_LOCKED = false;
    return header;
}

bool IsValidDocumentDiscount(double percent)
{
    return percent >= 0.0 && percent <= 100.0;
}
