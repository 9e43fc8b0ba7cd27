#include "documents/money.h"

#include "foundation/numbers.h"

#include <array>
#include <cmath>

namespace {

constexpr double kDecimalTolerance = 1e-13;

const std::array<double, 16>& Powers()
{
    static const std::array<double, 16> powers = [] {
        std::array<double, 16> p{};
        double v = 1.0;
        for (double& slot : p) {
            slot = v;
            v *= 10.0;
        }
        return p;
    }();
    return powers;
}

// x * 10^d split into its whole part and its fraction, with binary noise next to a
// whole number or a half taken away (see money.h).
struct Scaled
{
    double whole;    // truncated towards zero
    double fraction; // same sign as the value, |fraction| < 1
};

Scaled ScaleForRounding(int decimals, double x)
{
    const double y = x * PowerOfTen(decimals);
    const double tolerance = kDecimalTolerance * std::max(1.0, std::fabs(y));
    double whole = std::trunc(y);
    double fraction = y - whole;
    const double sign = fraction < 0 ? -1.0 : 1.0;
    const double size = std::fabs(fraction);
    if (std::fabs(size - 0.5) <= tolerance)
        fraction = 0.5 * sign;
    else if (size <= tolerance)
        fraction = 0.0;
    else if (1.0 - size <= tolerance) {
        whole += sign;
        fraction = 0.0;
    }
    return {whole, fraction};
}

double Back(int decimals, double units)
{
    // Adding 0.0 turns -0.0 into +0.0.
    return units / PowerOfTen(decimals) + 0.0;
}

} // namespace

double PowerOfTen(int decimals)
{
    if (decimals <= 0)
        return 1.0;
    if (decimals >= int(Powers().size()))
        return Powers().back();
    return Powers()[size_t(decimals)];
}

double RoundHalfEven(int decimals, double x)
{
    if (!std::isfinite(x))
        return x;
    const Scaled s = ScaleForRounding(decimals, x);
    double units = s.whole;
    const double size = std::fabs(s.fraction);
    const double sign = s.fraction < 0 ? -1.0 : 1.0;
    if (size > 0.5 || (size == 0.5 && std::fmod(std::fabs(s.whole), 2.0) == 1.0))
        units += sign;
    return Back(decimals, units);
}

double RoundHalfUp(int decimals, double x)
{
    if (!std::isfinite(x))
        return x;
    const Scaled s = ScaleForRounding(decimals, x);
    double units = s.whole;
    if (s.fraction >= 0.5)
        units += 1.0;
    else if (s.fraction <= -0.5)
        units -= 1.0;
    return Back(decimals, units);
}

double VatOfGross(int decimals, double vat, double gross)
{
    const double g = RoundHalfEven(decimals, gross);
    return RoundHalfEven(decimals, SafeDivide(g * vat, vat + 100.0));
}

double NetFromGross(int decimals, double vat, double gross)
{
    return RoundHalfEven(decimals, RoundHalfEven(decimals, gross) - VatOfGross(decimals, vat, gross));
}

double GrossFromNet(int decimals, double vat, double net)
{
    const double n = RoundHalfEven(decimals, net);
    return RoundHalfEven(decimals, n + RoundHalfEven(decimals, n * vat / 100.0));
}
