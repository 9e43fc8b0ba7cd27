#pragma once

#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <memory>

#include "data/busyretry.h"

struct sqlite3;
class TStatementCache;

// One SQLite connection through Qt SQL (QSQLITE): the administration's admin.sqlite with the
// data folder's shared.sqlite attached as "shared". WAL journal, a busy timeout, the "QCI"
// collation and folding functions on the handle, no foreign keys.
//
// Writes go through immediate transactions (BEGIN IMMEDIATE): the write lock is taken at the
// start, so a busy database shows up at once as the busy question, never half way. Nested
// Transaction() calls become savepoints, so a post inside LockTableWithRetry is part of it.
class TDatabase : public QObject
{
    Q_OBJECT
public:
    // Opens (creating when missing) adminFile and attaches sharedFile (skipped when empty).
    // Returns nullptr with the reason in error when the file is no SQLite database, is
    // corrupt or cannot be opened.
    static std::unique_ptr<TDatabase> Open(const QString& adminFile, const QString& sharedFile,
                                           QString* error = nullptr);
    ~TDatabase() override;

    QSqlDatabase sql() const;
    sqlite3* handle() const { return m_handle; }
    QString adminFile() const { return m_adminFile; }
    QString sharedFile() const { return m_sharedFile; }

    // BEGIN IMMEDIATE at the outer level, a savepoint inside. A busy database asks the busy
    // question; Nee returns false and nothing was started.
    bool Transaction();
    // Commits the innermost level; false (and rolled back) when that fails.
    bool Commit();
    // Rolls back the innermost level.
    void Rollback();
    bool InTransaction() const;
    int TransactionDepth() const { return int(m_levels.size()); }

    // Runs one statement (or several separated by ";") with bound values ("?" or ":name" in
    // order). A busy database asks the busy question. rowsAffected gets the changes.
    bool Exec(const QString& sql, const QVariantList& binds = {}, QString* error = nullptr,
              int* rowsAffected = nullptr);
    // The first column of the first row, or an invalid QVariant (error set on failure).
    QVariant Scalar(const QString& sql, const QVariantList& binds = {}, QString* error = nullptr);

    // Busy handling: the SQLite busy timeout and the asker (DefaultBusyAsker() when unset).
    void SetBusyTimeout(int milliseconds);
    int BusyTimeout() const { return m_busyTimeout; }
    void SetBusyAsker(TBusyAsker asker) { m_asker = std::move(asker); }
    // Asks the busy question; true = try again.
    bool AskRetry() const;

    // Whether a schema ("main", "shared", "temp") holds the table; case ignored.
    bool TableExists(const QString& table, const QString& schema = QStringLiteral("main"));

    // A counter per table ("main.Adressen") that grows with every row written on this
    // connection; data sets use it to notice writes made by others.
    quint64 TableGeneration(const QString& schema, const QString& table) const;
    quint64 TableGeneration(const QByteArray& key) const { return m_generations.value(key, 0); }
    // Bumps it by hand (for writes the update hook does not see, such as a truncation).
    void TouchTable(const QString& schema, const QString& table);

    // Grows when another connection (another program) committed; read from SQLite at most
    // every 200 ms, so cached rows become fresh again soon without a query per row.
    quint64 ExternalVersion();

    TStatementCache& statements() { return *m_statements; }

private:
    TDatabase() = default;
    bool Init(const QString& adminFile, const QString& sharedFile, QString* error);
    static void UpdateHook(void* self, int op, const char* schema, const char* table,
                           long long rowid);

    QString m_connection;
    QString m_adminFile;
    QString m_sharedFile;
    sqlite3* m_handle = nullptr;
    int m_busyTimeout = 3000;
    TBusyAsker m_asker;
    // One entry per open level: true for the outer BEGIN, false for a savepoint.
    std::vector<bool> m_levels;
    QHash<QByteArray, quint64> m_generations;
    std::unique_ptr<TStatementCache> m_statements;
    quint64 m_externalVersion = 0;
    qint64 m_externalCheckedAt = -1;
};
