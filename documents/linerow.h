#pragma once

#include <QString>

#include <optional>

// One `faclijn` record as the data layer reads and writes it; a column that is null (or,
// for FL_IVK, missing from the table) has no value.
struct LineRow
{
    std::optional<int> FL_ID;        // renewed by every save: the store hands out new ones
    int FL_FNR = 0;
    std::optional<double> FL_AMOUNT;
    std::optional<QString> FL_PRODUCT;
    std::optional<double> FL_PRICE;
    std::optional<double> FL_EURO;
    std::optional<double> FL_VAT;
    std::optional<double> FL_Discount;
    std::optional<int> FL_PID;
    std::optional<double> FL_IVK;
    std::optional<double> FL_Afkoef;
    std::optional<int> FL_Afsoort;

    bool operator==(const LineRow& other) const = default;
};
