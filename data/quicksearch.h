#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class TDataSet;
class TDatabase;
class TTable;

// What the quick search does with the text typed for a column.
enum class TQuickSearchKind {
    None,      // the column cannot be searched (memo, picture, other calculated columns)
    Text,      // starts with the text, case and accents ignored
    FnrDatum,  // the document explorer's "FNR+Datum": the document number instead
    Integer,   // equals the whole number typed
    Float,     // equals the number typed, both rounded to 2 decimals
    Date,      // equals the date, once it is typed in full (10 characters)
};
TQuickSearchKind QuickSearchKindOf(const TDataSet& dataSet, const QString& column);

// Moves the data set to the first record (in its order) that matches the typed text by the
// column's kind. The text is searched as typed: quotes, "%" and "_" are plain characters.
// False, leaving the current record, when the text does not fit the kind or nothing matches.
bool QuickSearchLocate(TDataSet& dataSet, const QString& column, const QString& text);

// Type-ahead in the grid: the typed text after one key. Backspace drops the last character;
// Tab, Enter, Esc and other control characters keep the text; any other character is added.
QString TypeAheadText(const QString& typed, QChar key);
// The text cut to what a text column of this size can hold when searched (size - 1).
QString TypeAheadCut(const QString& typed, int columnSize);

// The letter list: from the clicked letter on towards "Z", the first letter some record's
// column starts with (case and accents ignored) becomes current. The letter found, or an
// empty text when none from there on matches (the record stays).
QString LocateFromLetter(TDataSet& dataSet, const QString& column, QChar letter);

// One row of a document pick list.
struct TDocumentHit
{
    qint64 id = 0;
    QString number;
};
// The document explorer's Enter on the columns "totvalincTB" (unpaid documents whose open
// amount, rounded to 2 decimals, equals the number typed) and "KLANTNAAM" (documents of
// contacts whose name starts with the text) for the document kind shown. The typed text's
// first "." and then its first "," count as the decimal separator. Values are bound; the
// query text with the value shown is written to dataFolder + "sql.txt" as a log copy only.
// Other columns, or an amount that is no number: no rows (*handled false).
QList<TDocumentHit> FindDocuments(TDatabase& database, const QString& column, const QString& text,
                                  int documentKind, const QString& dataFolder, bool* handled = nullptr);
