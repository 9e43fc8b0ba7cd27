#pragma once

#include <QString>

class TDatabase;

// Document numbers of the sales documents: one counter per numbered document type in the
// administration's "admin.ini" ("LASTNR" + the type's letter) and the number pattern FNRCODE.

// The letter of a document type: field `type` of "F|O|C||B|L|" (empty for types without one).
QString DocumentTypeLetter(int type);
// Types 1, 2, 3, 5 and 6 are numbered when first stored; the others keep the number they get.
bool IsNumberedDocumentType(int type);

// The number text of a counter value, the one place a number is built (allocating and giving
// back both use it): the pattern's prefix (field 1), the type letter when field 2 is true, the
// four-digit year when field 3 is true, then the counter as "%.5d". An empty pattern is the
// default "|TRUE|TRUE|".
QString DocumentNumberText(const QString& pattern, int type, int counter, int year);

// The next number of the type under admin.ini's pattern and this year's date. Unless peek, the
// counter is advanced past any number a stored document of the type already has; within db's
// open transaction it reaches admin.ini only when that commits (SetCounterSetting). An unreadable counter
// counts as 0. With peek, the number of the counter as it stands.
QString NextDocumentNumber(TDatabase* db, const QString& adminIni, int type, bool peek);

// Before a document is deleted: when its number is the newest of its type (the counter read
// with default 1, written as "1" when that is what it reads), the counter goes one back, with
// the delete's commit. Only
// numbered types; nothing while documents are being moved between invoicing years. Whether the
// number was given back.
bool ReleaseDocumentNumber(TDatabase* db, const QString& adminIni, int type, const QString& number,
                           bool movingYears);
