#pragma once

// The one place for the rounding and VAT rules of sales documents.
//
// Amounts are binary doubles, as the line records are texts reparsed on every computation.
// A double cannot hold most decimal amounts exactly: 1.005 is stored as 1.00499999999999989...
// and 1.15 x 100 gives 114.99999999999999. Rounding the raw binary value would round such a
// typed tie the wrong way. So every rounding here first looks at x * 10^d as the decimal
// the user meant: a value that lies within a few hundred units of its last binary digit
// (1e-13 of its size) from a tie or from a whole number is taken as exactly that. Genuine
// amounts never come that close to a tie without being one, and the difference is far below
// any currency's smallest unit. Results are normalised so that -0.0 never shows as "-0.00".

// Round to `decimals` places, ties to the even neighbour (banker's rounding).
double RoundHalfEven(int decimals, double x);

// Round to `decimals` places, ties away from zero: 1.005 -> 1.01, -2.5 -> -3.
double RoundHalfUp(int decimals, double x);

// The net part of a VAT-inclusive amount g at `vat` percent: rounded g minus its rounded VAT.
double NetFromGross(int decimals, double vat, double gross);

// The VAT contained in a VAT-inclusive amount g at `vat` percent.
double VatOfGross(int decimals, double vat, double gross);

// A net amount n plus its VAT at `vat` percent, both rounded.
double GrossFromNet(int decimals, double vat, double net);

// Safe division (a / b, or 0 when b is 0) is SafeDivide of foundation/numbers.h; every
// conversion into euro divides through it.

// 10 to the power `decimals` (0 to 15), built by repeated multiplication.
double PowerOfTen(int decimals);
