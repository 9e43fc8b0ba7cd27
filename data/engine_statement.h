#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class TStatementCache;

// A prepared statement on the connection's sqlite3 handle. The engine's hot paths (row id
// lists, row pages, locates) step these directly: Qt's result layer would cost more than
// the work itself. Every statement is known to its connection's cache, which finalizes the
// ones still alive when the connection closes.
class TStatement
{
public:
    TStatement(TStatementCache& cache, const QString& sql);
    ~TStatement();
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    bool ok() const { return m_stmt != nullptr; }
    QString error() const { return m_error; }
    QString sql() const { return m_sql; }
    sqlite3_stmt* raw() const { return m_stmt; }

    void reset();
    bool bind(int index, const QVariant& value);   // from 1
    bool bindAll(const QVariantList& values);       // in order from 1
    int parameterCount() const;
    QString parameterName(int index) const;
    // SQLITE_ROW, SQLITE_DONE or an error code (error() says which).
    int step();
    int columnCount() const;
    QString columnName(int column) const;
    QString columnDeclType(int column) const;
    QVariant column(int column) const;
    qint64 columnInt64(int column) const;
    int changes() const;

    static QVariant ValueOf(sqlite3_stmt* stmt, int column);
    static int Bind(sqlite3_stmt* stmt, int index, const QVariant& value);

private:
    friend class TStatementCache;
    TStatementCache* m_cache = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
    QString m_error;
};

// The statements of one connection. Borrowed statements come back reset for reuse, so a
// query run per row is prepared once.
class TStatementCache
{
public:
    explicit TStatementCache(sqlite3* db) : m_db(db) {}
    ~TStatementCache();
    sqlite3* db() const { return m_db; }

    // A lease on a prepared statement; returned to the cache when it goes.
    class Lease
    {
    public:
        Lease() = default;
        Lease(TStatementCache* cache, std::unique_ptr<TStatement> statement)
            : m_cache(cache), m_statement(std::move(statement)) {}
        Lease(Lease&&) = default;
        Lease& operator=(Lease&&) = default;
        ~Lease();
        TStatement* operator->() const { return m_statement.get(); }
        TStatement& operator*() const { return *m_statement; }
        bool ok() const { return m_statement && m_statement->ok(); }
        QString error() const;

    private:
        TStatementCache* m_cache = nullptr;
        std::unique_ptr<TStatement> m_statement;
    };
    Lease Borrow(const QString& sql);
    // Finalizes every idle statement (after schema changes that would keep tables locked).
    void ClearIdle();

private:
    friend class TStatement;
    void Return(std::unique_ptr<TStatement> statement);
    sqlite3* m_db = nullptr;
    std::unordered_map<QString, std::vector<std::unique_ptr<TStatement>>> m_idle;
    std::unordered_set<TStatement*> m_live;
};

// Quotes an identifier for SQL ("a""b"). Identifiers are checked first with IsSafeIdentifier.
QString QuoteIdentifier(const QString& name);
// A name the engine accepts as table, column or index name: 1..128 characters, no control
// characters and no double quote.
bool IsSafeIdentifier(const QString& name);
