#pragma once

#include <QString>

// "EuroConvert.ini": one '|' record per currency, field 1 the code, field 2 the rate.

// The last line of folder + "EuroConvert.ini" whose field 1 is exactly code; the default when
// none matches or the file is missing.
QString CurrencyLine(const QString& folder, const QString& code, const QString& defaultLine);
// The rate of the line (field 2, "," or "." as decimal separator; 0 when not a number) times
// the amount.
double CurrencyAmount(const QString& line, double amount);
