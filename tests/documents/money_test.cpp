#include "documents/money.h"

#include "foundation/numbers.h"

#include <gtest/gtest.h>

namespace {

struct RoundCase
{
    int decimals;
    double x;
    double halfEven;
    double halfUp;
};

// Values whose binary form lies just below or above the decimal tie the user typed.
const RoundCase kRoundCases[] = {
    {2, 1.005, 1.00, 1.01},     // binary 1.00499999999999989...
    {2, 1.015, 1.02, 1.02},     // binary 1.01499999999999990...
    {2, 1.025, 1.02, 1.03},
    {2, 2.675, 2.68, 2.68},     // binary 2.67499999999999982...
    {2, 0.125, 0.12, 0.13},     // exact tie in binary too
    {2, 0.135, 0.14, 0.14},
    {2, 0.145, 0.14, 0.15},
    {2, 1.1 * 1.1, 1.21, 1.21}, // 1.2100000000000002
    {2, 1.15 * 0.5, 0.58, 0.58}, // 0.57499999999999996
    {2, -1.005, -1.00, -1.01},
    {2, -0.005, 0.00, -0.01},
    {0, 2.5, 2.0, 3.0},
    {0, 3.5, 4.0, 4.0},
    {0, -2.5, -2.0, -3.0},
    {0, 0.49999999, 0.0, 0.0},  // a genuine non-tie stays one
    {4, 0.00005, 0.0000, 0.0001},
    {2, 12345678.125, 12345678.12, 12345678.13},
    {2, 0.1 + 0.2, 0.30, 0.30},
};

TEST(Money, RoundsTheDecimalValueNotItsBinaryNeighbour)
{
    for (const RoundCase& c : kRoundCases) {
        SCOPED_TRACE(testing::Message() << c.x << " to " << c.decimals);
        EXPECT_DOUBLE_EQ(RoundHalfEven(c.decimals, c.x), c.halfEven);
        EXPECT_DOUBLE_EQ(RoundHalfUp(c.decimals, c.x), c.halfUp);
    }
}

TEST(Money, RoundingNeverGivesNegativeZero)
{
    EXPECT_FALSE(std::signbit(RoundHalfEven(2, -0.001)));
    EXPECT_FALSE(std::signbit(RoundHalfUp(2, -0.004)));
    EXPECT_EQ(FormatFloat(RoundHalfUp(2, -0.004), 2), FormatFloat(0.0, 2));
}

TEST(Money, HalfUpIsTheSettingsHelpersRounding)
{
    for (const RoundCase& c : kRoundCases)
        EXPECT_DOUBLE_EQ(RoundHalfUp(c.decimals, c.x), RoundHalfAway(c.decimals, c.x)) << c.x;
}

struct VatCase
{
    int decimals;
    double vat;
    double gross;
    double net;
    double vatOfGross;
};

const VatCase kVatCases[] = {
    {2, 21.0, 12.10, 10.00, 2.10},
    {2, 21.0, 1.00, 0.83, 0.17},
    {2, 6.0, 10.60, 10.00, 0.60},
    {2, 0.0, 5.55, 5.55, 0.00},
    {2, 21.0, 54.45, 45.00, 9.45},
    {4, 21.0, 12.1, 10.0, 2.1},
    {0, 21.0, 1210.0, 1000.0, 210.0},
    {2, 21.0, -12.10, -10.00, -2.10},
};

TEST(Money, SplitsVatInclusiveAmounts)
{
    for (const VatCase& c : kVatCases) {
        SCOPED_TRACE(testing::Message() << c.gross << " at " << c.vat);
        EXPECT_DOUBLE_EQ(NetFromGross(c.decimals, c.vat, c.gross), c.net);
        EXPECT_DOUBLE_EQ(VatOfGross(c.decimals, c.vat, c.gross), c.vatOfGross);
        EXPECT_DOUBLE_EQ(NetFromGross(c.decimals, c.vat, c.gross) + VatOfGross(c.decimals, c.vat, c.gross),
                         RoundHalfEven(c.decimals, c.gross));
    }
}

TEST(Money, AddsVatToNetAmounts)
{
    EXPECT_DOUBLE_EQ(GrossFromNet(2, 21.0, 10.00), 12.10);
    EXPECT_DOUBLE_EQ(GrossFromNet(2, 21.0, 0.07), 0.08);   // 0.0147 VAT rounds to 0.01
    EXPECT_DOUBLE_EQ(GrossFromNet(2, 6.0, 1.14), 1.21);    // 0.0684 -> 0.07
    EXPECT_DOUBLE_EQ(GrossFromNet(2, 21.0, 1.005), 1.21);  // the net is rounded first: 1.00 + 0.21
}

TEST(Money, PowersOfTenAreExact)
{
    EXPECT_EQ(PowerOfTen(0), 1.0);
    EXPECT_EQ(PowerOfTen(2), 100.0);
    EXPECT_EQ(PowerOfTen(6), 1e6);
    EXPECT_EQ(PowerOfTen(-1), 1.0);
}

} // namespace
