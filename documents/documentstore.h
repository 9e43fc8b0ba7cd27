#pragma once

#include "documents/linerow.h"

#include <QList>
#include <QString>

// What one save of a document writes: every line row (in order, replacing all stored lines
// of the document, so an empty list deletes them) and the header's stored totals.
struct DocumentSave
{
    int F_ID = 0;
    QList<LineRow> rows;
    double F_TOTVAL = 0.0;
    double F_TOTEURO = 0.0;
    double F_VATCOEF = 1.0;
};

// The current `factuur` record and its lines as the data layer keeps them.
class DocumentStore
{
public:
    virtual ~DocumentStore() = default;

    // The document list holds a record.
    virtual bool HasDocument() const = 0;
    virtual bool IsHeaderEditing() const = 0;
    // Puts the header record into edit mode; false when that is refused (for example while
    // another session holds it).
    virtual bool EditHeader() = 0;
    virtual bool PostHeader() = 0;
    // Sets F_LOCKED of the header record and posts it.
    virtual bool PostLocked(bool locked) = 0;
    // Writes the lines and the totals in one transaction: all of it or, with *error set,
    // nothing.
    virtual bool SaveDocument(const DocumentSave& save, QString* error) = 0;
};
