#include "data/table.h"

#include <sqlite3.h>

#include <algorithm>

#include "data/collation.h"
#include "data/connection.h"
#include "data/engine_filter.h"
#include "data/engine_statement.h"

namespace {

constexpr int kPageSize = 64;
constexpr int kCacheLimit = 4096;

QString MasterOf(const QString& schema)
{
    return schema == QLatin1String("temp") ? QStringLiteral("sqlite_temp_master")
                                           : QuoteIdentifier(schema) + QStringLiteral(".sqlite_master");
}

} // namespace

int IndexColumnOfName(const QString& indexName)
{
    const QString name = indexName.trimmed();
    if (!name.startsWith(QLatin1String("iadr"), Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = name.mid(4).toInt(&ok);
    return ok && n >= 0 && !name.mid(4).startsWith(QLatin1Char('+')) ? n : -1;
}

QString SqlIndexName(const QString& table, const QString& indexName)
{
    const int n = IndexColumnOfName(indexName);
    if (n >= 0)
        return table + QStringLiteral("_iadr") + QString::number(n);
    return table + QLatin1Char('_') + indexName.trimmed();
}

TTable::TTable(QObject* parent) : TDataSet(parent)
{
}

TTable::~TTable() = default;

void TTable::SetTableName(const QString& name)
{
    if (Active())
        Close();
    m_tableName = name;
    m_schema.clear();
    m_table.clear();
}

QString TTable::QualifiedName() const
{
    return QuoteIdentifier(m_schema) + QLatin1Char('.') + QuoteIdentifier(m_table);
}

bool TTable::Resolve(QString* error)
{
    TDatabase* db = Database();
    if (!db) {
        *error = QStringLiteral("%1: no database").arg(Name());
        return false;
    }
    QString name = m_tableName.trimmed();
    QString schema;
    const int dot = int(name.indexOf(QLatin1Char('.')));
    if (dot > 0) {
        const QString prefix = name.left(dot).toLower();
        if (prefix == QLatin1String("main") || prefix == QLatin1String("shared") || prefix == QLatin1String("temp")) {
            schema = prefix;
            name = name.mid(dot + 1);
        }
    }
    if (name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        name.chop(3);
    if (!IsSafeIdentifier(name)) {
        *error = QStringLiteral("bad table name '%1'").arg(m_tableName);
        return false;
    }
    const QStringList schemas = schema.isEmpty()
        ? QStringList{QStringLiteral("temp"), QStringLiteral("main"), QStringLiteral("shared")}
        : QStringList{schema};
    for (const QString& s : schemas) {
        TStatementCache::Lease st = db->statements().Borrow(
            QStringLiteral("SELECT name FROM ") + MasterOf(s)
            + QStringLiteral(" WHERE type = 'table' AND name = ? COLLATE NOCASE"));
        if (!st.ok())
            continue;  // "shared" is not attached
        st->bind(1, name);
        if (st->step() == SQLITE_ROW) {
            m_schema = s;
            m_table = st->column(0).toString();
            return true;
        }
    }
    *error = QStringLiteral("table '%1' does not exist").arg(m_tableName);
    return false;
}

bool TTable::Exists()
{
    QString error;
    return Resolve(&error);
}

bool TTable::ReadColumns(std::vector<Column>* columns, QString* error)
{
    TStatementCache::Lease st = Database()->statements().Borrow(
        QStringLiteral("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?, ?) ORDER BY cid"));
    if (!st.ok()) {
        *error = st.error();
        return false;
    }
    st->bind(1, m_table);
    st->bind(2, m_schema);
    int pkCount = 0;
    int pkColumn = -1;
    QString pkType;
    columns->clear();
    m_columnNames.clear();
    while (st->step() == SQLITE_ROW) {
        Column column;
        column.name = st->column(0).toString();
        const QString declared = st->column(1).toString();
        const TDeclaredType type = ParseDeclaredType(declared);
        column.dataType = type.dataType;
        column.size = type.size;
        column.required = st->column(2).toInt() != 0 && !st->column(3).isValid();
        if (st->column(4).toInt() > 0) {
            ++pkCount;
            pkColumn = int(columns->size());
            pkType = declared.trimmed();
        }
        columns->push_back(column);
        m_columnNames << column.name;
    }
    if (columns->empty()) {
        *error = QStringLiteral("table '%1' has no columns").arg(m_table);
        return false;
    }
    m_rowIdColumn = -1;
    if (pkCount == 1 && pkType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
        m_rowIdColumn = pkColumn;
        (*columns)[pkColumn].rowId = true;
        (*columns)[pkColumn].required = false;
    }
    return true;
}

QString TTable::ColumnName(const QString& name) const
{
    for (const QString& column : m_columnNames)
        if (column.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return column;
    return {};
}

QList<TTable::IndexInfo> TTable::ReadIndexes()
{
    QList<IndexInfo> result;
    QString error;
    if (m_table.isEmpty() && !Resolve(&error))
        return result;
    TDatabase* db = Database();
    QStringList columns = m_columnNames;
    if (columns.isEmpty()) {
        std::vector<Column> read;
        if (!ReadColumns(&read, &error))
            return result;
        columns = m_columnNames;
    }
    bool hasPrimary = false;
    TStatementCache::Lease list = db->statements().Borrow(
        QStringLiteral("SELECT name, \"unique\", origin FROM pragma_index_list(?, ?)"));
    if (!list.ok())
        return result;
    list->bind(1, m_table);
    list->bind(2, m_schema);
    while (list->step() == SQLITE_ROW) {
        IndexInfo info;
        info.sqlName = list->column(0).toString();
        info.def.unique = list->column(1).toInt() != 0;
        const QString origin = list->column(2).toString();
        TStatementCache::Lease xinfo = db->statements().Borrow(
            QStringLiteral("SELECT name, coll, \"key\" FROM pragma_index_xinfo(?, ?) ORDER BY seqno"));
        xinfo->bind(1, info.sqlName);
        xinfo->bind(2, m_schema);
        bool allFolded = true;
        while (xinfo->step() == SQLITE_ROW) {
            if (xinfo->column(2).toInt() == 0)
                continue;
            const QString field = xinfo->column(0).toString();
            if (field.isEmpty())
                continue;  // an expression; the engine cannot order by it
            const bool folded = xinfo->column(1).toString().compare(QLatin1String("QCI"), Qt::CaseInsensitive) == 0;
            info.def.fields << field;
            info.folded.push_back(folded);
            allFolded = allFolded && folded;
        }
        if (info.def.fields.isEmpty())
            continue;
        info.def.caseInsensitive = allFolded;
        const QString prefix = m_table + QLatin1Char('_');
        QString name = info.sqlName;
        if (name.startsWith(prefix, Qt::CaseInsensitive))
            name = name.mid(prefix.size());
        if (origin == QLatin1String("pk") || name.compare(QLatin1String("pk"), Qt::CaseInsensitive) == 0) {
            info.def.primary = true;
            name.clear();
            hasPrimary = true;
        } else if (IndexColumnOfName(name) >= 0) {
            name = QStringLiteral("iAdr") + QString::number(IndexColumnOfName(name));
        }
        info.def.name = name;
        result << info;
    }
    if (!hasPrimary && !columns.isEmpty()) {
        IndexInfo primary;
        primary.def.primary = true;
        primary.def.unique = m_rowIdColumn == 0;
        primary.def.fields << columns.first();
        primary.folded.push_back(false);
        result.prepend(primary);
    }
    return result;
}

QList<TIndexDef> TTable::IndexDefs()
{
    QList<TIndexDef> defs;
    for (const IndexInfo& info : ReadIndexes())
        defs << info.def;
    return defs;
}

bool TTable::BuildOrder(const QString& indexName, const QString& fieldNames, QString* error)
{
    QStringList fields;
    std::vector<bool> folded;
    const QList<IndexInfo> indexes = ReadIndexes();
    if (!fieldNames.trimmed().isEmpty()) {
        for (const QString& name : SplitFieldNames(fieldNames)) {
            const QString column = ColumnName(name);
            if (column.isEmpty()) {
                *error = QStringLiteral("%1: unknown field '%2'").arg(Name(), name);
                return false;
            }
            fields << column;
        }
        folded.assign(fields.size(), false);
        for (const IndexInfo& info : indexes) {
            if (info.def.fields.size() != fields.size())
                continue;
            bool same = true;
            for (int i = 0; i < fields.size() && same; ++i)
                same = info.def.fields.at(i).compare(fields.at(i), Qt::CaseInsensitive) == 0;
            if (same) {
                folded = info.folded;
                break;
            }
        }
    } else if (!indexName.trimmed().isEmpty()) {
        const IndexInfo* found = nullptr;
        for (const IndexInfo& info : indexes)
            if (!info.def.primary && info.def.name.compare(indexName.trimmed(), Qt::CaseInsensitive) == 0)
                found = &info;
        if (!found) {
            *error = QStringLiteral("%1: index '%2' does not exist").arg(Name(), indexName);
            return false;
        }
        fields = found->def.fields;
        folded = found->folded;
    } else {
        fields << m_columnNames.value(0);
        folded.push_back(false);
    }
    m_orderFields = fields;
    m_orderFolded = folded;
    m_orderByRowId = fields.size() == 1 && m_rowIdColumn >= 0
        && fields.first() == m_columnNames.value(m_rowIdColumn);
    if (m_orderByRowId) {
        m_orderBy = QStringLiteral("ORDER BY rowid");
    } else {
        QStringList terms;
        for (int i = 0; i < fields.size(); ++i)
            terms << QuoteIdentifier(fields.at(i)) + (folded[i] ? QStringLiteral(" COLLATE QCI") : QString());
        m_orderBy = QStringLiteral("ORDER BY ") + terms.join(QStringLiteral(", ")) + QStringLiteral(", rowid");
    }
    return true;
}

bool TTable::BuildFilterSql(QString* error)
{
    m_filterSql.clear();
    m_filterBinds.clear();
    if (!m_filtered || !m_filter)
        return true;
    return m_filter->ToSql(m_columnNames, &m_filterSql, &m_filterBinds, error);
}

bool TTable::LoadRowIds(QString* error)
{
    QString sql = QStringLiteral("SELECT rowid FROM ") + QualifiedName();
    if (!m_filterSql.isEmpty())
        sql += QStringLiteral(" WHERE ") + m_filterSql;
    sql += QLatin1Char(' ') + m_orderBy;
    TStatementCache::Lease st = Database()->statements().Borrow(sql);
    if (!st.ok()) {
        *error = st.error();
        return false;
    }
    st->bindAll(m_filterBinds);
    std::vector<qint64> ids;
    ids.reserve(size_t(m_rowIds.Size()) + 16);
    sqlite3_stmt* raw = st->raw();
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(raw, 0));
    if (rc != SQLITE_DONE) {
        *error = QString::fromUtf8(sqlite3_errmsg(Database()->handle()));
        return false;
    }
    m_rowIds.Assign(std::move(ids));
    m_generation = Database()->TableGeneration(m_generationKey);
    return true;
}

bool TTable::OpenCursor(std::vector<Column>* columns, QString* error)
{
    if (!Resolve(error) || !ReadColumns(columns, error))
        return false;
    {
        // Tables without rowid cannot be walked this way.
        TStatementCache::Lease probe = Database()->statements().Borrow(
            QStringLiteral("SELECT rowid FROM ") + QualifiedName() + QStringLiteral(" LIMIT 0"));
        if (!probe.ok()) {
            *error = probe.error();
            return false;
        }
    }
    QStringList quoted;
    for (const QString& name : m_columnNames)
        quoted << QuoteIdentifier(name);
    m_fetchSql = QStringLiteral("SELECT ") + quoted.join(QLatin1Char(',')) + QStringLiteral(" FROM ")
        + QualifiedName() + QStringLiteral(" WHERE rowid = ?");
    QStringList marks;
    for (int i = 0; i < kPageSize; ++i)
        marks << QStringLiteral("?");
    m_pageSql = QStringLiteral("SELECT rowid,") + quoted.join(QLatin1Char(',')) + QStringLiteral(" FROM ")
        + QualifiedName() + QStringLiteral(" WHERE rowid IN (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    m_generationKey = m_schema.toUtf8() + '.' + m_table.toUtf8();
    QString orderError;
    if (!BuildOrder(m_indexName, m_indexFieldNames, &orderError)) {
        // An index that went away: the rows come in primary order.
        m_indexName.clear();
        m_indexFieldNames.clear();
        BuildOrder(QString(), QString(), &orderError);
    }
    if (!BuildFilterSql(error))
        return false;
    m_cache.clear();
    return LoadRowIds(error);
}

void TTable::CloseCursor()
{
    m_rowIds.Clear();
    m_cache.clear();
    m_columnNames.clear();
    m_orderFields.clear();
    m_orderFolded.clear();
    m_filterSql.clear();
    m_filterBinds.clear();
    m_rowIdColumn = -1;
}

int TTable::RowCount()
{
    return m_rowIds.Size();
}

void TTable::CheckGeneration()
{
    TDatabase* db = Database();
    const quint64 generation = db ? db->TableGeneration(m_generationKey) : 0;
    const quint64 external = db ? db->ExternalVersion() : 0;
    if (generation != m_generation || external != m_externalVersion) {
        m_cache.clear();
        m_generation = generation;
        m_externalVersion = external;
    }
}

void TTable::MarkOwnWrite()
{
    // Our own writes are in the cache already; other data sets on the table see the change.
    m_generation = Database()->TableGeneration(m_generationKey);
}

bool TTable::FetchByRowId(qint64 rowid, QVariantList* values)
{
    TStatementCache::Lease st = Database()->statements().Borrow(m_fetchSql);
    if (!st.ok())
        return false;
    sqlite3_stmt* raw = st->raw();
    sqlite3_bind_int64(raw, 1, rowid);
    if (sqlite3_step(raw) != SQLITE_ROW)
        return false;
    const int n = sqlite3_column_count(raw);
    values->clear();
    values->reserve(n);
    for (int i = 0; i < n; ++i)
        values->append(TStatement::ValueOf(raw, i));
    return true;
}

bool TTable::FetchRow(int row, QVariantList* values)
{
    if (row < 0 || row >= m_rowIds.Size() || !Database())
        return false;
    CheckGeneration();
    const qint64 rowid = m_rowIds.At(row);
    auto hit = m_cache.constFind(rowid);
    if (hit != m_cache.constEnd()) {
        *values = hit.value();
        return true;
    }
    if (m_cache.size() > kCacheLimit)
        m_cache.clear();
    // A jump (Locate, Last) reads one row; reading next to the last miss (a walk, a grid
    // painting) reads the page around it, since its neighbours come next.
    const bool sequential = m_lastMiss >= 0 && qAbs(row - m_lastMiss) <= kPageSize;
    // Right after a jump the direction is not known yet: grids paint downwards.
    const bool backwards = !m_lastMissWasJump && row < m_lastMiss;
    m_lastMissWasJump = !sequential;
    m_lastMiss = row;
    int start = row;
    int end = row + 1;
    if (sequential) {
        // The page runs the way the reader goes.
        start = backwards ? qMax(0, row - kPageSize + 1) : row;
        end = backwards ? row + 1 : qMin(row + kPageSize, m_rowIds.Size());
    }
    if (end - start == 1) {
        if (!FetchByRowId(rowid, values))
            values->resize(int(m_columnNames.size()));  // deleted by another session since
        m_cache.insert(rowid, *values);
        return true;
    }
    // One statement for the page: one read transaction instead of one per row.
    TStatementCache::Lease st = Database()->statements().Borrow(m_pageSql);
    if (!st.ok())
        return false;
    sqlite3_stmt* raw = st->raw();
    int bound = 0;
    for (int r = start; r < end; ++r)
        if (r == row || !m_cache.contains(m_rowIds.At(r)))
            sqlite3_bind_int64(raw, ++bound, m_rowIds.At(r));
    const int n = int(m_columnNames.size());
    while (sqlite3_step(raw) == SQLITE_ROW) {
        QVariantList page;
        page.reserve(n);
        for (int i = 0; i < n; ++i)
            page.append(TStatement::ValueOf(raw, i + 1));
        m_cache.insert(sqlite3_column_int64(raw, 0), std::move(page));
    }
    auto it = m_cache.constFind(rowid);
    if (it == m_cache.constEnd()) {
        QVariantList missing;
        missing.resize(n);
        it = m_cache.insert(rowid, missing);
    }
    *values = it.value();
    return true;
}

bool TTable::RefetchRow(int row, QVariantList* values)
{
    if (row < 0 || row >= m_rowIds.Size() || !Database())
        return false;
    const qint64 rowid = m_rowIds.At(row);
    if (!FetchByRowId(rowid, values)) {
        m_cache.remove(rowid);
        return false;
    }
    m_cache.insert(rowid, *values);
    return true;
}

qint64 TTable::RowKey(int row)
{
    return row >= 0 && row < m_rowIds.Size() ? m_rowIds.At(row) : -1;
}

int TTable::RowOfKey(qint64 key)
{
    return PositionOf(key);
}

int TTable::PositionOf(qint64 rowid)
{
    return m_rowIds.IndexOf(rowid);
}

void TTable::InsertRowId(int place, qint64 rowid)
{
    m_rowIds.Insert(place, rowid);
}

void TTable::EraseRowId(int row)
{
    m_rowIds.Erase(row);
}

bool TTable::PassesFilter(qint64 rowid)
{
    if (m_filterSql.isEmpty())
        return true;
    TStatementCache::Lease st = Database()->statements().Borrow(
        QStringLiteral("SELECT 1 FROM ") + QualifiedName() + QStringLiteral(" WHERE rowid = ? AND ") + m_filterSql);
    if (!st.ok())
        return false;
    st->bind(1, rowid);
    for (int i = 0; i < m_filterBinds.size(); ++i)
        st->bind(i + 2, m_filterBinds.at(i));
    return st->step() == SQLITE_ROW;
}

// Where a written row belongs in the current order: before the first row that follows it,
// found by an index-backed query. -1 when the filter hides it.
int TTable::PlaceOf(qint64 rowid, const QVariantList& stored)
{
    if (!PassesFilter(rowid))
        return -1;
    if (m_orderByRowId)
        return m_rowIds.LowerBound(rowid);

    QStringList keys;
    QVariantList values;
    for (int i = 0; i < m_orderFields.size(); ++i) {
        keys << QuoteIdentifier(m_orderFields.at(i)) + (m_orderFolded[i] ? QStringLiteral(" COLLATE QCI") : QString());
        values << stored.value(int(m_columnNames.indexOf(m_orderFields.at(i))));
    }
    // "(keys, rowid) > (values, rowid)" spelled out, NULL first as SQLite sorts; SQLite does
    // not seek an index with row values, so a plain lower bound on the first key goes first.
    QString condition;
    QVariantList binds;
    if (values.first().isValid() && !values.first().isNull()) {
        condition = keys.first() + QStringLiteral(" >= ? AND ");
        binds << values.first();
    }
    keys << QStringLiteral("rowid");
    values << rowid;
    QStringList alternatives;
    for (int i = 0; i < keys.size(); ++i) {
        QStringList terms;
        for (int j = 0; j < i; ++j) {
            if (!values[j].isValid() || values[j].isNull()) {
                terms << keys[j] + QStringLiteral(" IS NULL");
            } else {
                terms << keys[j] + QStringLiteral(" = ?");
                binds << values[j];
            }
        }
        if (!values[i].isValid() || values[i].isNull()) {
            terms << keys[i] + QStringLiteral(" IS NOT NULL");
        } else {
            terms << keys[i] + QStringLiteral(" > ?");
            binds << values[i];
        }
        alternatives << QLatin1Char('(') + terms.join(QStringLiteral(" AND ")) + QLatin1Char(')');
    }
    condition += QLatin1Char('(') + alternatives.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    QString sql = QStringLiteral("SELECT rowid FROM ") + QualifiedName() + QStringLiteral(" WHERE ") + condition;
    if (!m_filterSql.isEmpty()) {
        sql += QStringLiteral(" AND ") + m_filterSql;
        binds << m_filterBinds;
    }
    sql += QLatin1Char(' ') + m_orderBy;
    TStatementCache::Lease st = Database()->statements().Borrow(sql);
    if (!st.ok())
        return m_rowIds.Size();
    st->bindAll(binds);
    while (st->step() == SQLITE_ROW) {
        const int position = PositionOf(st->columnInt64(0));
        if (position >= 0)
            return position;  // rows other sessions added are not in our list: skip them
    }
    return m_rowIds.Size();
}

bool TTable::WriteRow(bool inserting, int row, const QVariantList& values, const std::vector<bool>& changed,
                      int* newRow, QVariantList* stored, QString* error)
{
    TDatabase* db = Database();
    QStringList columns;
    QVariantList binds;
    qint64 rowid = -1;
    bool keyChanged = inserting;
    for (int i = 0; i < int(m_columnNames.size()) && i < values.size(); ++i) {
        const bool isChanged = i < int(changed.size()) && changed[i];
        const bool hasValue = values.at(i).isValid() && !values.at(i).isNull();
        if (inserting ? !(isChanged || hasValue) || (i == m_rowIdColumn && !hasValue) : !isChanged)
            continue;
        columns << QuoteIdentifier(m_columnNames.at(i));
        binds << values.at(i);
        if (!inserting && (m_orderFields.contains(m_columnNames.at(i)) || i == m_rowIdColumn))
            keyChanged = true;
        if (!inserting && m_filter && m_filtered) {
            for (const QString& f : m_filter->Columns())
                if (f.compare(m_columnNames.at(i), Qt::CaseInsensitive) == 0)
                    keyChanged = true;
        }
    }
    if (inserting) {
        QString sql;
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO ") + QualifiedName() + QStringLiteral(" DEFAULT VALUES");
        } else {
            QStringList marks;
            for (int i = 0; i < columns.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO ") + QualifiedName() + QStringLiteral(" (") + columns.join(QLatin1Char(','))
                + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        TStatementCache::Lease st = db->statements().Borrow(sql);
        if (!st.ok()) {
            *error = st.error();
            return false;
        }
        st->bindAll(binds);
        if (st->step() != SQLITE_DONE) {
            *error = st->error();
            return false;
        }
        rowid = sqlite3_last_insert_rowid(db->handle());
    } else {
        const qint64 oldRowId = RowKey(row);
        if (oldRowId < 0) {
            *error = QStringLiteral("%1: no current record").arg(Name());
            return false;
        }
        rowid = oldRowId;
        if (!columns.isEmpty()) {
            for (QString& column : columns)
                column += QStringLiteral(" = ?");
            TStatementCache::Lease st = db->statements().Borrow(
                QStringLiteral("UPDATE ") + QualifiedName() + QStringLiteral(" SET ") + columns.join(QLatin1Char(','))
                + QStringLiteral(" WHERE rowid = ?"));
            if (!st.ok()) {
                *error = st.error();
                return false;
            }
            st->bindAll(binds);
            st->bind(int(binds.size()) + 1, oldRowId);
            if (st->step() != SQLITE_DONE) {
                *error = st->error();
                return false;
            }
            if (sqlite3_changes(db->handle()) == 0) {
                *error = QStringLiteral("%1: the record was deleted by another session").arg(Name());
                return false;
            }
            if (m_rowIdColumn >= 0 && m_rowIdColumn < int(changed.size()) && changed[m_rowIdColumn])
                rowid = values.at(m_rowIdColumn).toLongLong();
        }
    }
    if (!FetchByRowId(rowid, stored)) {
        *error = QStringLiteral("%1: the record cannot be read back").arg(Name());
        return false;
    }
    MarkOwnWrite();
    if (!inserting) {
        const qint64 oldRowId = RowKey(row);
        m_cache.remove(oldRowId);
        m_cache.insert(rowid, *stored);
        if (!keyChanged) {
            *newRow = row;
            return true;
        }
        // The place is found with the row still in the list, which then counts it once.
        int place = PlaceOf(rowid, *stored);
        if (place > row)
            --place;
        if (place < 0) {
            AnnounceRemove(row);
            EraseRowId(row);
            FinishRemove(row);
        } else if (place != row || oldRowId != rowid) {
            AnnounceMove(row, place);
            EraseRowId(row);
            InsertRowId(place, rowid);
            FinishMove(row, place);
        }
        *newRow = place;
        return true;
    }
    m_cache.insert(rowid, *stored);
    const int place = PlaceOf(rowid, *stored);
    if (place >= 0) {
        AnnounceInsert(place);
        InsertRowId(place, rowid);
        FinishInsert(place);
    }
    *newRow = place;
    return true;
}

bool TTable::RemoveRow(int row, QString* error)
{
    const qint64 rowid = RowKey(row);
    if (rowid < 0) {
        *error = QStringLiteral("%1: no current record").arg(Name());
        return false;
    }
    TStatementCache::Lease st = Database()->statements().Borrow(
        QStringLiteral("DELETE FROM ") + QualifiedName() + QStringLiteral(" WHERE rowid = ?"));
    if (!st.ok()) {
        *error = st.error();
        return false;
    }
    st->bind(1, rowid);
    if (st->step() != SQLITE_DONE) {
        *error = st->error();
        return false;
    }
    MarkOwnWrite();
    m_cache.remove(rowid);
    AnnounceRemove(row);
    EraseRowId(row);
    FinishRemove(row);
    return true;
}

int TTable::FindRow(const std::vector<int>& fieldIndexes, const QVariantList& values, TLocateOptions options)
{
    QStringList conditions;
    QVariantList binds;
    for (size_t i = 0; i < fieldIndexes.size(); ++i) {
        TField* field = Field(fieldIndexes[i]);
        if (!field || field->IsCalculated())
            return -1;
        const QString column = QuoteIdentifier(field->FieldName());
        const QVariant& value = values.at(int(i));
        if (IsTextType(field->DataType())) {
            const QString text = value.toString();
            if (text.isEmpty() && !options.partial) {
                conditions << QStringLiteral("(%1 IS NULL OR %1 = '')").arg(column);
            } else if (options.caseInsensitive) {
                if (options.partial) {
                    conditions << column + QStringLiteral(" COLLATE QCI >= ? AND ") + column + QStringLiteral(" COLLATE QCI < ?");
                    binds << text << PrefixUpperBound(text);
                } else {
                    conditions << column + QStringLiteral(" COLLATE QCI = ?");
                    binds << text;
                }
            } else if (options.partial) {
                conditions << column + QStringLiteral(" >= ? AND ") + column + QStringLiteral(" < ?");
                binds << text << QVariant(QString(text + QString::fromUcs4(U"\U0010FFFF")));
            } else {
                conditions << column + QStringLiteral(" = ?");
                binds << text;
            }
        } else {
            QVariant stored;
            if (!field->ToStored(value, &stored))
                return -1;
            if (!stored.isValid()) {
                conditions << column + QStringLiteral(" IS NULL");
            } else {
                conditions << column + QStringLiteral(" = ?");
                binds << stored;
            }
        }
    }
    QString sql = QStringLiteral("SELECT rowid FROM ") + QualifiedName() + QStringLiteral(" WHERE ")
        + conditions.join(QStringLiteral(" AND "));
    if (!m_filterSql.isEmpty()) {
        sql += QStringLiteral(" AND ") + m_filterSql;
        binds << m_filterBinds;
    }
    sql += QLatin1Char(' ') + m_orderBy;
    TStatementCache::Lease st = Database()->statements().Borrow(sql);
    if (!st.ok()) {
        SetLastError(st.error());
        return -1;
    }
    st->bindAll(binds);
    while (st->step() == SQLITE_ROW) {
        const int position = PositionOf(st->columnInt64(0));
        if (position >= 0)
            return position;
    }
    return -1;
}

QVariant TTable::Lookup(const QString& keyFields, const QVariant& keyValues, const QString& resultField)
{
    if (!Active())
        return {};
    const QStringList names = SplitFieldNames(keyFields);
    const QVariantList list = keyValues.metaType().id() == QMetaType::QVariantList && names.size() > 1
        ? keyValues.toList() : QVariantList{keyValues};
    TField* result = FindField(resultField);
    if (!result || result->IsCalculated() || names.isEmpty() || names.size() != list.size())
        return {};
    QStringList conditions;
    QVariantList binds;
    for (int i = 0; i < names.size(); ++i) {
        TField* field = FindField(names.at(i));
        QVariant stored;
        if (!field || field->IsCalculated() || !field->ToStored(list.at(i), &stored) || !stored.isValid())
            return {};
        conditions << QuoteIdentifier(field->FieldName()) + QStringLiteral(" = ?");
        binds << stored;
    }
    TStatementCache::Lease st = Database()->statements().Borrow(
        QStringLiteral("SELECT ") + QuoteIdentifier(result->FieldName()) + QStringLiteral(" FROM ") + QualifiedName()
        + QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT 1"));
    if (!st.ok())
        return {};
    st->bindAll(binds);
    if (st->step() != SQLITE_ROW)
        return {};
    return result->TypedOf(st->column(0));
}

bool TTable::ReloadRows(QString* error)
{
    if (!BuildFilterSql(error))
        return false;
    return LoadRowIds(error);
}

void TTable::DropRowCache()
{
    m_cache.clear();
}

quint64 TTable::RowsVersion()
{
    TDatabase* db = Database();
    return db ? db->TableGeneration(m_generationKey) + (db->ExternalVersion() << 32) : 0;
}

bool TTable::ReorderKeeping()
{
    const int row = CurrentRow();
    return ReloadKeeping(row >= 0 ? RowKey(row) : -1, row);
}

bool TTable::SetIndexName(const QString& indexName)
{
    if (!Active()) {
        if (Database() && !indexName.trimmed().isEmpty()) {
            bool found = false;
            for (const TIndexDef& def : IndexDefs())
                found = found || (!def.primary && def.name.compare(indexName.trimmed(), Qt::CaseInsensitive) == 0);
            if (!found) {
                SetLastError(QStringLiteral("%1: index '%2' does not exist").arg(Name(), indexName));
                return false;
            }
        }
        m_indexName = indexName.trimmed();
        m_indexFieldNames.clear();
        return true;
    }
    if (!CheckBrowseMode())
        return false;
    QString error;
    const QStringList savedFields = m_orderFields;
    if (!BuildOrder(indexName, QString(), &error)) {
        SetLastError(error);
        BuildOrder(m_indexName, m_indexFieldNames, &error);
        return false;
    }
    m_indexName = indexName.trimmed();
    m_indexFieldNames.clear();
    return ReorderKeeping();
}

bool TTable::SetIndexFieldNames(const QString& fieldNames)
{
    if (!Active()) {
        m_indexFieldNames = fieldNames.trimmed();
        m_indexName.clear();
        return true;
    }
    if (!CheckBrowseMode())
        return false;
    QString error;
    if (!BuildOrder(QString(), fieldNames, &error)) {
        SetLastError(error);
        BuildOrder(m_indexName, m_indexFieldNames, &error);
        return false;
    }
    m_indexFieldNames = fieldNames.trimmed();
    m_indexName.clear();
    return ReorderKeeping();
}

QStringList TTable::IndexFields()
{
    if (Active())
        return m_orderFields;
    if (!m_indexFieldNames.isEmpty())
        return SplitFieldNames(m_indexFieldNames);
    for (const TIndexDef& def : IndexDefs())
        if (m_indexName.isEmpty() ? def.primary : def.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
            return def.fields;
    return {};
}

bool TTable::AddIndex(const QString& indexName, const QString& fieldNames, bool caseInsensitive, bool unique)
{
    QString error;
    if ((m_table.isEmpty() && !Resolve(&error))) {
        SetLastError(error);
        return false;
    }
    if (m_columnNames.isEmpty()) {
        std::vector<Column> columns;
        if (!ReadColumns(&columns, &error)) {
            SetLastError(error);
            return false;
        }
    }
    const QString name = indexName.trimmed();
    for (const TIndexDef& def : IndexDefs())
        if (name.isEmpty() ? (def.primary && def.fields.size() > 0 && m_rowIdColumn == 0)
                           : def.name.compare(name, Qt::CaseInsensitive) == 0) {
            SetLastError(QStringLiteral("%1: index '%2' exists").arg(Name(), name));
            return false;
        }
    QStringList terms;
    for (const QString& f : SplitFieldNames(fieldNames)) {
        const QString column = ColumnName(f);
        if (column.isEmpty()) {
            SetLastError(QStringLiteral("%1: unknown field '%2'").arg(Name(), f));
            return false;
        }
        terms << QuoteIdentifier(column) + (caseInsensitive ? QStringLiteral(" COLLATE QCI") : QString());
    }
    if (terms.isEmpty())
        return false;
    const QString sqlName = name.isEmpty() ? m_table + QStringLiteral("_pk") : SqlIndexName(m_table, name);
    if (!IsSafeIdentifier(sqlName))
        return false;
    const QString sql = QStringLiteral("CREATE ") + (unique || name.isEmpty() ? QStringLiteral("UNIQUE ") : QString())
        + QStringLiteral("INDEX ") + QuoteIdentifier(m_schema) + QLatin1Char('.') + QuoteIdentifier(sqlName)
        + QStringLiteral(" ON ") + QuoteIdentifier(m_table) + QStringLiteral(" (") + terms.join(QStringLiteral(", "))
        + QLatin1Char(')');
    if (!Database()->Exec(sql, {}, &error)) {
        SetLastError(error);
        return false;
    }
    return true;
}

bool TTable::DeleteIndex(const QString& indexName)
{
    QString sqlName;
    for (const IndexInfo& info : ReadIndexes())
        if (!info.def.primary && info.def.name.compare(indexName.trimmed(), Qt::CaseInsensitive) == 0)
            sqlName = info.sqlName;
    if (sqlName.isEmpty()) {
        SetLastError(QStringLiteral("%1: index '%2' does not exist").arg(Name(), indexName));
        return false;
    }
    const bool current = m_indexName.compare(indexName.trimmed(), Qt::CaseInsensitive) == 0;
    QString error;
    if (!Database()->Exec(QStringLiteral("DROP INDEX ") + QuoteIdentifier(m_schema) + QLatin1Char('.')
                              + QuoteIdentifier(sqlName), {}, &error)) {
        SetLastError(error);
        return false;
    }
    if (current) {
        if (Active())
            SetIndexName(QString());
        else
            m_indexName.clear();
    }
    return true;
}

bool TTable::SetFilter(const QString& filter)
{
    std::unique_ptr<TFilter> parsed;
    if (!filter.trimmed().isEmpty()) {
        QString error;
        parsed = TFilter::Parse(filter, &error);
        if (!parsed) {
            SetLastError(error);
            return false;
        }
    }
    if (Active() && m_filtered && !CheckBrowseMode())
        return false;
    std::unique_ptr<TFilter> previous = std::move(m_filter);
    const QString previousText = m_filterText;
    m_filter = std::move(parsed);
    m_filterText = filter;
    if (Active() && m_filtered) {
        QString error;
        if (!BuildFilterSql(&error)) {
            SetLastError(error);
            m_filter = std::move(previous);
            m_filterText = previousText;
            BuildFilterSql(&error);
            return false;
        }
        return ReorderKeeping();
    }
    return true;
}

bool TTable::SetFiltered(bool filtered)
{
    if (filtered == m_filtered)
        return true;
    if (!Active()) {
        m_filtered = filtered;
        return true;
    }
    if (!CheckBrowseMode())
        return false;
    m_filtered = filtered;
    QString error;
    if (!BuildFilterSql(&error)) {
        SetLastError(error);
        m_filtered = !filtered;
        BuildFilterSql(&error);
        return false;
    }
    return ReorderKeeping();
}

bool TTable::FindKey(const QVariant& id)
{
    if (!Active() || FieldCount() == 0)
        return false;
    return Locate(Field(0)->FieldName(), id);
}

bool TTable::EmptyTable()
{
    QString error;
    if (Active() && !CheckBrowseMode())
        return false;
    if (m_table.isEmpty() && !Resolve(&error)) {
        SetLastError(error);
        return false;
    }
    TDatabase* db = Database();
    if (!db->Transaction()) {
        SetLastError(BusyQuestion());
        return false;
    }
    if (!db->Exec(QStringLiteral("DELETE FROM ") + QualifiedName(), {}, &error)) {
        db->Rollback();
        SetLastError(error);
        return false;
    }
    if (!db->Commit()) {
        SetLastError(QStringLiteral("%1: commit failed").arg(Name()));
        return false;
    }
    // A whole-table delete skips the update hook.
    db->TouchTable(m_schema, m_table);
    if (Active()) {
        m_cache.clear();
        return ReloadKeeping(-1, -1);
    }
    return true;
}
