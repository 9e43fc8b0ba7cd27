#pragma once

#include "documents/linerecord.h"
#include "documents/linerow.h"

#include <QList>

// The conversion between `faclijn` rows and line records, without any table: the data layer
// reads rows and hands them in, and writes the rows that come out.
struct LineConversion
{
    bool vatInclusive = false;      // FL_PRICE and FL_EURO hold VAT-inclusive prices
    int documentDecimals = 2;       // of the document currency
    int euroDecimals = 2;
    double standardVat = 21.0;      // STBTW
    bool useContribution = false;   // USEIVK: FL_IVK is read and written
    bool purchaseInvoice = false;   // purchase invoices listed: depreciation columns are written
};

// The line record of one stored row.
LineRecord LineRecordFromRow(const LineRow& row, const LineConversion& conversion);

// The row a line is stored as (FL_ID left to the store, which hands out new ones).
LineRow LineRowFromRecord(const LineRecord& line, int documentId, const LineConversion& conversion);

// The rows a save writes: every line up to the last one that does not count as empty, so
// trailing empty lines are dropped and empty lines between filled ones are kept.
QList<LineRow> LineRowsToSave(const QList<LineRecord>& lines, int documentId, const LineConversion& conversion);
