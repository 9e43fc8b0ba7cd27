#include "foundation/currency.h"

#include "foundation/files.h"
#include "foundation/numbers.h"
#include "foundation/records.h"
#include "foundation/textfile.h"

QString CurrencyLine(const QString& folder, const QString& code, const QString& defaultLine)
{
    if (code.isEmpty())
        return defaultLine;
    const QString file = FindFileCaseInsensitive(NormaliseFolder(folder) + QStringLiteral("EuroConvert.ini"));
    QString result = defaultLine;
    // The line is passed on as stored: rates are read with "," or "." as decimal separator.
    for (const QString& line : LoadTextLines(file)) {
        if (FieldOf(line, 1) == code)
            result = line;
    }
    return result;
}

double CurrencyAmount(const QString& line, double amount)
{
    return FloatOrDefault(FieldOf(line, 2), 0.0) * amount;
}
