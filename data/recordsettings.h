#pragma once

#include "documents/factuur.h"

#include <QString>

// What the record rules take from the settings: the program settings ("ovra.ini": MUNT,
// STBTW, BETTERMMND, BETTERMDAY, VERKEXCL ...) and the administration's VATINC. Read once per
// binding of the data module and again when the settings were saved, since the document list's
// calculated columns need them for every row shown.
struct TRecordSettings
{
    FactuurSetup setup;            // options, main and alternative currency, currency folder
    bool mainCurrencyIsEuro = false;

    const QString& MainCurrency() const { return setup.mainCurrency; }
    double StandardVat() const { return setup.options.STBTW; }
    bool VatInclusive() const { return setup.vatInclusive; }
    bool VerkExcl() const { return setup.options.VERKEXCL; }
};

// The settings of ovraIni and of adminIni (VATINC); the currency file lives in dataFolder.
TRecordSettings ReadRecordSettings(const QString& ovraIni, const QString& adminIni, const QString& dataFolder);
