#include "documents/linerows.h"

#include <gtest/gtest.h>

namespace {

LineRow Full(std::optional<double> amount, double price, double vat)
{
    LineRow row;
    row.FL_FNR = 5;
    row.FL_AMOUNT = amount;
    row.FL_PRODUCT = QStringLiteral("Item | with bar");
    row.FL_PRICE = price;
    row.FL_EURO = price;
    row.FL_VAT = vat;
    row.FL_Discount = 12.5;
    row.FL_PID = 77;
    row.FL_IVK = 0.25;
    row.FL_Afkoef = 0.5;
    row.FL_Afsoort = 2;
    return row;
}

TEST(LineRows, StoredRowsComeBackUnchanged)
{
    const LineRow rows[] = {
        Full(2, 1.5, 21), Full(std::nullopt, 0.07, 6), Full(-0.125, 1234.5678, 21), Full(3.3333, 12.10, 0),
        Full(1, -19.99, 12),
    };
    for (const bool inclusive : {false, true}) {
        LineConversion conversion;
        conversion.vatInclusive = inclusive;
        conversion.useContribution = true;
        conversion.purchaseInvoice = true;
        for (const LineRow& row : rows) {
            const LineRow back = LineRowFromRecord(LineRecordFromRow(row, conversion), 5, conversion);
            EXPECT_EQ(back, row) << (inclusive ? "inclusive " : "exclusive ") << *row.FL_PRICE;
        }
    }
}

TEST(LineRows, OptionalColumnsFollowTheOptions)
{
    LineConversion conversion;
    const LineRow back = LineRowFromRecord(LineRecordFromRow(Full(1, 2, 21), conversion), 5, conversion);
    EXPECT_FALSE(back.FL_IVK.has_value());
    EXPECT_FALSE(back.FL_Afkoef.has_value());
    EXPECT_FALSE(back.FL_Afsoort.has_value());
}

TEST(LineRows, OnlyTrailingEmptyLinesAreLeftOut)
{
    LineConversion conversion;
    LineRecord filled;
    filled.SetField(LF_DESCRIPTION, QStringLiteral("Tekst"));
    const QList<LineRecord> lines = {LineRecord::Empty(), filled, LineRecord::Empty(), LineRecord::Empty()};
    const QList<LineRow> rows = LineRowsToSave(lines, 9, conversion);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_FALSE(rows[0].FL_PRODUCT.has_value());
    EXPECT_EQ(rows[0].FL_PID, 0);
    EXPECT_EQ(rows[1].FL_PRODUCT, QStringLiteral("Tekst"));
    EXPECT_EQ(rows[1].FL_FNR, 9);
    EXPECT_TRUE(LineRowsToSave({LineRecord::Empty()}, 9, conversion).isEmpty());
}

} // namespace
