#include "data/recordsettings.h"

#include "documents/currency.h"
#include "foundation/settingsfile.h"
#include "foundation/textutil.h"

TRecordSettings ReadRecordSettings(const QString& ovraIni, const QString& adminIni, const QString& dataFolder)
{
    TRecordSettings settings;
    settings.setup = ReadFactuurSetup(ovraIni, dataFolder);
    settings.setup.vatInclusive = EvalBool(ReadSetting(adminIni, QStringLiteral("VATINC")));
    settings.mainCurrencyIsEuro = IsEuroCode(settings.setup.mainCurrency);
    return settings;
}
