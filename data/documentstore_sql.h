#pragma once

#include "documents/documentheader.h"
#include "documents/documentstore.h"
#include "documents/linerow.h"

#include <QList>
#include <QString>

#include <functional>

class TDatabase;
class Tdm;

// The next free `faclijn` line identifier: one above the highest stored. Run it inside the
// transaction that inserts, so no other session can take the same number in between.
// -1 with *error set when the table cannot be read.
qint64 NextLineIdentifier(TDatabase& db, QString* error = nullptr);

// The sales documents of the bound administration, for the document engine: the header is
// the current record of the data module's `TabFact` (so every post runs its events and
// record rules), the lines are read and written on the same connection.
class SqlDocumentStore : public DocumentStore
{
public:
    explicit SqlDocumentStore(Tdm& dm);

    // The current `factuur` record (also while it is being inserted); false when there is none.
    bool ReadHeader(DocumentHeader* header) const;
    // The document's lines in their order (FL_ID ascending); nulls stay without a value, and
    // FL_IVK has none when the column is missing.
    bool ReadLines(int documentId, QList<LineRow>* rows, QString* error = nullptr) const;
    // Writes a new document's values into the header record being inserted. A header
    // without an identifier gets the next free one.
    bool WriteNewHeader(DocumentHeader* header);

    bool HasDocument() const override;
    bool IsHeaderEditing() const override;
    bool EditHeader() override;
    bool PostHeader() override;
    bool PostLocked(bool locked) override;
    // Deletes the document's stored lines, inserts the rows in order with new identifiers,
    // writes the totals into the header and posts it, all in one transaction. On any failure
    // everything is rolled back and the header keeps the totals it had (still in edit mode).
    bool SaveDocument(const DocumentSave& save, QString* error) override;

    // Runs after a save was committed, with the rows as stored (their new identifiers set).
    std::function<void(int documentId, const QList<LineRow>& rows)> AfterLinesSaved;

private:
    bool HasContributionColumn() const;
    bool WriteLines(TDatabase& db, const DocumentSave& save, QList<LineRow>* stored, QString* error);
    bool WriteTotals(const DocumentSave& save, QString* error);
    void AuditLines(TDatabase& db, const QList<LineRow>& rows);

    Tdm& m_dm;
};
