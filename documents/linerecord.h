#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// Field numbers of a document line record (1 to 14).
enum LineField : int {
    LF_QUANTITY = 1,
    LF_DESCRIPTION = 2,
    LF_NET = 3,             // net unit price, document currency (display copy of LF_NETFULL)
    LF_NETEURO = 4,         // net unit price, euro
    LF_VAT = 5,             // VAT percentage
    LF_DISCOUNT = 6,        // line discount percentage
    LF_AFKOEF = 7,          // depreciation coefficient
    LF_AFSOORT = 8,         // depreciation kind
    LF_GROSS = 9,           // VAT-inclusive unit price, document currency
    LF_GROSSEURO = 10,      // VAT-inclusive unit price, euro
    LF_PID = 11,            // product identifier
    LF_LINEID = 12,         // line identifier
    LF_NETFULL = 13,        // net unit price, document currency, full precision: all net arithmetic
    LF_IVK = 14,            // contribution per unit, euro
    LineFieldCount = 14
};

// One line of a sales document. Held as its 14 field texts (what the user typed or what was
// computed, with the locale's decimal separator) rather than as one '|' text, so that a
// description holding "|" cannot shift the other fields.
class LineRecord
{
public:
    LineRecord() = default;

    // The empty line: only the description (normally empty), coefficient 1.00, kind 1 and
    // product 0 are filled.
    static LineRecord Empty(const QString& description = QString());
    // Fields 1 to 14 of a '|' record; missing fields stay empty.
    static LineRecord FromText(const QString& text);
    // The '|' record: every field followed by "|".
    QString Text() const;

    const QString& Field(int n) const;
    void SetField(int n, const QString& text);
    bool IsBlank(int n) const { return Field(n).isEmpty(); }
    // The field read as a number, or the default when empty or not a number.
    double Number(int n, double defaultValue) const;
    // The field as a number; false when empty or not a number.
    bool ReadField(int n, double* value) const;

    // No quantity, description, net price or euro price: such a line is not saved at the end
    // of a document (the record text begins with "||||").
    bool CountsAsEmptyForSaving() const;
    // Exactly the empty line with no description.
    bool IsEmptyLine() const;

    bool operator==(const LineRecord& other) const { return m_fields == other.m_fields; }
    bool operator!=(const LineRecord& other) const { return !(*this == other); }

private:
    std::array<QString, LineFieldCount> m_fields;
    // Each field is parsed once after it changes: totals are recomputed on every edit and
    // reading numbers from text dominates that work.
    mutable std::array<double, LineFieldCount> m_values{};
    mutable quint16 m_parsed = 0;
    mutable quint16 m_numbers = 0;
};

// Number texts of line records and totals, with the locale's decimal separator. A value
// that is not finite gives an empty text (the field is cleared); "-0.00" shows as "0.00".

// Fixed notation right-aligned in `width` characters: FixedText(8, 2, x) is "%8.2f".
QString FixedText(int width, int decimals, double x);
// P(k): "%8.kf", the money fields of a line.
QString MoneyText(int decimals, double x);
// "%2.2f": quantities, percentages and coefficients.
QString TwoDecimals(double x);
// The shortest decimal text that reads back as x ("2.5", "3", "0.125").
QString ShortestText(double x);
// The text as a number; false (and *value untouched) when empty or not a number.
bool ReadNumber(const QString& text, double* value);
