#pragma once

#include <QString>
#include <QStringList>

// The text of the document print query (QueFacturen), by the two options of the program
// settings: FASTINVOICE (contact, document and lines only) and INVOICEGROUPBY (the grouped
// lines the printing prepared). The query's parameter is :f_ID, the document's F_ID. The
// scratch tables tempCON, tempPRO and tempFACT are filled before a document is printed.
QStringList PrintQueryLines(bool fastInvoice, bool invoiceGroupBy);

// The same, with both options read from the settings file (an absent key counts as true).
QStringList PrintQueryLinesFromSettings(const QString& ovraIni);
