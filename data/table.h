#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "data/dataset.h"
#include "data/engine_rowlist.h"

// An index of a table as the program names it: "iAdr5" (stored in SQLite as
// "<Table>_iadr5"), or the unnamed primary index on the first column.
struct TIndexDef
{
    QString name;          // empty for the primary index
    QStringList fields;
    bool caseInsensitive = false;  // every key column uses the QCI collation
    bool primary = false;
    bool unique = false;
};

// The column position N of an index name "iadr" + N (case ignored); -1 when it is no such name.
int IndexColumnOfName(const QString& indexName);
// The SQLite name of a program index name: "Adressen" + "iAdr5" -> "Adressen_iadr5".
QString SqlIndexName(const QString& table, const QString& indexName);

class TFilter;

// A whole table of the administration ("Adressen") or of the shared database ("shared.Post")
// as a data set.
//
// Only the ordered list of row identifiers of the current index and filter is kept (one
// index scan at open); rows are fetched in small pages when shown and cached. Locate runs
// an index-backed query and maps the row found to its position. A post puts the record at
// its place in the current order at once; a record that no longer passes the filter leaves
// the list.
class TTable : public TDataSet
{
    Q_OBJECT
public:
    explicit TTable(QObject* parent = nullptr);
    ~TTable() override;

    // "Adressen", "shared.Post", "temp.scratch" (a trailing ".db" is ignored). Unqualified
    // names are looked up like SQLite does: temp, main, then shared.
    void SetTableName(const QString& name);
    QString TableName() const { return m_tableName; }
    // The schema and the table's own spelling, once found (at Open or Exists).
    QString SchemaName() const { return m_schema; }
    QString ResolvedTableName() const { return m_table; }
    // Whether the table exists in the database.
    bool Exists();

    // The current index: a name ("iAdr5", empty = primary) or a list of fields ("Datum;Tijd",
    // which picks a defined index over exactly those fields when there is one). Setting it on
    // an open table reorders the rows and keeps the current record. False (nothing changed)
    // for an index that does not exist or fields the table lacks.
    bool SetIndexName(const QString& indexName);
    QString IndexName() const { return m_indexName; }
    bool SetIndexFieldNames(const QString& fieldNames);
    QString IndexFieldNames() const { return m_indexFieldNames; }
    // The fields the rows are ordered by now (the first column for the primary index).
    QStringList IndexFields();
    QList<TIndexDef> IndexDefs();
    // Creates an index ("iAdr5" on "ComName", case-insensitive). False when it exists or a
    // field is unknown.
    bool AddIndex(const QString& indexName, const QString& fieldNames, bool caseInsensitive,
                  bool unique = false);
    bool DeleteIndex(const QString& indexName);

    // The record filter, e.g. "inlist = TRUE" or "Datum >= '2001-01-01' AND Datum < '2002-01-01'":
    // comparisons (=, <>, <, >, <=, >=) of a column with a constant ('text', a number, TRUE,
    // FALSE, NULL), joined by AND, OR and NOT with parentheses. Values are bound, never pasted.
    // SetFilter returns false (and keeps the old filter) for a text it cannot read.
    bool SetFilter(const QString& filter);
    QString Filter() const { return m_filterText; }
    bool SetFiltered(bool filtered);
    bool Filtered() const { return m_filtered; }

    // Moves to the record whose first column (the identifier) holds the value.
    bool FindKey(const QVariant& id);
    QVariant Lookup(const QString& keyFields, const QVariant& keyValues, const QString& resultField) override;
    // Deletes every row (one transaction).
    bool EmptyTable();

protected:
    bool OpenCursor(std::vector<Column>* columns, QString* error) override;
    void CloseCursor() override;
    int RowCount() override;
    bool FetchRow(int row, QVariantList* values) override;
    qint64 RowKey(int row) override;
    int RowOfKey(qint64 key) override;
    bool WriteRow(bool inserting, int row, const QVariantList& values,
                  const std::vector<bool>& changed, int* newRow, QVariantList* stored,
                  QString* error) override;
    bool RemoveRow(int row, QString* error) override;
    int FindRow(const std::vector<int>& fieldIndexes, const QVariantList& values,
                TLocateOptions options) override;
    bool ReloadRows(QString* error) override;
    void DropRowCache() override;
    quint64 RowsVersion() override;
    bool RefetchRow(int row, QVariantList* values) override;

private:
    struct IndexInfo
    {
        TIndexDef def;
        QString sqlName;            // as stored in SQLite
        std::vector<bool> folded;   // per field: QCI
    };
    bool Resolve(QString* error);
    QString QualifiedName() const;
    bool ReadColumns(std::vector<Column>* columns, QString* error);
    QList<IndexInfo> ReadIndexes();
    bool BuildOrder(const QString& indexName, const QString& fieldNames, QString* error);
    bool BuildFilterSql(QString* error);
    bool LoadRowIds(QString* error);
    void CheckGeneration();
    void MarkOwnWrite();
    bool FetchByRowId(qint64 rowid, QVariantList* values);
    int PlaceOf(qint64 rowid, const QVariantList& stored);
    bool PassesFilter(qint64 rowid);
    int PositionOf(qint64 rowid);
    void InsertRowId(int place, qint64 rowid);
    void EraseRowId(int row);
    QString ColumnName(const QString& name) const;  // the table's spelling, empty when unknown
    bool ReorderKeeping();

    QString m_tableName;
    QString m_schema;
    QString m_table;
    QString m_indexName;
    QString m_indexFieldNames;
    QString m_filterText;
    bool m_filtered = false;
    std::unique_ptr<TFilter> m_filter;

    // Open state.
    QStringList m_columnNames;
    int m_rowIdColumn = -1;            // the INTEGER PRIMARY KEY column, if any
    QStringList m_orderFields;         // column names of the current order
    std::vector<bool> m_orderFolded;   // per order field: QCI
    bool m_orderByRowId = false;
    QString m_orderBy;                 // "ORDER BY ..." ending in the rowid tie-break
    QString m_filterSql;               // empty when no filter applies
    QVariantList m_filterBinds;
    QString m_fetchSql;
    QString m_pageSql;
    QByteArray m_generationKey;
    TRowList m_rowIds;
    QHash<qint64, QVariantList> m_cache;
    int m_lastMiss = -1;
    bool m_lastMissWasJump = true;
    quint64 m_generation = 0;
    quint64 m_externalVersion = 0;
};
