#pragma once

#include "documents/documentheader.h"

#include <QString>

// The calculated columns of the document list, from one header's values.

// "totvalincTB": " Betaald" (translated) for a paid document, else the amount still open
// with its currency ("%6.2f.- %s").
QString TotValIncTB(const DocumentHeader& header, bool vatInclusive);

// "FNR+Datum": number, date and total. Not cut to the column's 30 characters: a cut would
// show a wrong amount.
QString FnrDatum(const DocumentHeader& header, bool vatInclusive, bool verkExcl, bool mainCurrencyIsEuro);

// "KLANTNAAM": the contact's display name as the list shows it (101 characters).
QString KlantNaam(const QString& comName);
