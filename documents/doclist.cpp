#include "documents/doclist.h"

#include "documents/linerecord.h"

#include "foundation/dates.h"
#include "foundation/translate.h"

QString TotValIncTB(const DocumentHeader& header, bool vatInclusive)
{
    if (header.F_PAYED)
        return QLatin1Char(' ') + Translate(NL("Betaald"));
    const double total = vatInclusive ? header.F_TOTVAL : header.F_TOTVAL * header.F_VATCOEF;
    const double open = total - header.F_PREPAYED.value_or(0.0);
    return FixedText(6, 2, open) + QLatin1String(".- ") + header.F_CURRENCY;
}

QString FnrDatum(const DocumentHeader& header, bool vatInclusive, bool verkExcl, bool mainCurrencyIsEuro)
{
    if (!header.F_FACDATE.isValid())
        return header.F_FACNR + QLatin1Char(' ');
    QString amount;
    if (mainCurrencyIsEuro) {
        const double v = (vatInclusive || verkExcl) ? header.F_TOTEURO : header.F_TOTEURO * header.F_VATCOEF;
        amount = FixedText(6, 2, v);
    } else if (vatInclusive) {
        amount = FixedText(6, 2, header.F_TOTVAL);
    } else if (verkExcl) {
        amount = FixedText(6, 0, header.F_TOTVAL);
    } else {
        amount = FixedText(6, 2, header.F_TOTVAL * header.F_VATCOEF);
    }
    if (amount.isEmpty())
        return header.F_FACNR + QLatin1Char(' ');
    return header.F_FACNR + QLatin1String("  ") + DateTextOf(header.F_FACDATE) + QLatin1String("  ") + amount
           + QLatin1String(".-");
}

QString KlantNaam(const QString& comName)
{
    return comName.left(101);
}
