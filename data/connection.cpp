#include "data/connection.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

#include "data/collation.h"
#include "data/engine_statement.h"

namespace {

int g_connectionCounter = 0;

bool IsBusy(int rc)
{
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

QString ErrorText(sqlite3* db, int rc)
{
    QString text = QString::fromUtf8(sqlite3_errmsg(db));
    if (text.isEmpty() || text == QLatin1String("not an error"))
        text = QString::fromUtf8(sqlite3_errstr(rc));
    return text;
}

} // namespace

std::unique_ptr<TDatabase> TDatabase::Open(const QString& adminFile, const QString& sharedFile,
                                           QString* error)
{
    std::unique_ptr<TDatabase> database(new TDatabase);
    QString reason;
    if (!database->Init(adminFile, sharedFile, &reason)) {
        if (error)
            *error = reason;
        return nullptr;
    }
    return database;
}

bool TDatabase::Init(const QString& adminFile, const QString& sharedFile, QString* error)
{
    m_adminFile = adminFile;
    m_sharedFile = sharedFile;
    m_connection = QStringLiteral("quillon-%1").arg(++g_connectionCounter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(adminFile);
        if (!db.open()) {
            *error = db.lastError().text();
            return false;
        }
        const QVariant handle = db.driver()->handle();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            m_handle = *static_cast<sqlite3* const*>(handle.constData());
    }
    if (!m_handle) {
        *error = QStringLiteral("no SQLite handle");
        return false;
    }
    m_statements = std::make_unique<TStatementCache>(m_handle);
    sqlite3_busy_timeout(m_handle, m_busyTimeout);
    sqlite3_extended_result_codes(m_handle, 1);
    if (!RegisterQuillonCollation(m_handle)) {
        *error = QStringLiteral("cannot register the QCI collation");
        return false;
    }
    // Reading the schema is the check that this is an SQLite file and not a corrupt one.
    QString reason;
    if (!Scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, &reason).isValid()) {
        *error = reason;
        return false;
    }
    // A read-only folder keeps the rollback journal; everything else still works.
    Scalar(QStringLiteral("PRAGMA journal_mode=WAL"));
    // In WAL mode NORMAL syncs the log only at checkpoints: a commit is in the log when COMMIT
    // returns, so a killed program loses nothing and the file is never corrupt; a power cut can
    // drop the last commits, whole. FULL would add one disk flush to every post.
    Exec(QStringLiteral("PRAGMA main.synchronous=NORMAL"));
    Exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
    // Rows are read by identifier in index order, i.e. all over the file: a page cache of
    // 16 MB and memory-mapped reads keep that from becoming one system call per page.
    Exec(QStringLiteral("PRAGMA cache_size=-16384"));
    Exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    if (!sharedFile.isEmpty()) {
        if (!Exec(QStringLiteral("ATTACH DATABASE ? AS shared"), {sharedFile}, &reason)) {
            *error = reason;
            return false;
        }
        // A damaged shared file shows up when its tables are read; the administration opens.
        Scalar(QStringLiteral("PRAGMA shared.journal_mode=WAL"));
    }
    sqlite3_update_hook(m_handle, &TDatabase::UpdateHook, this);
    return true;
}

TDatabase::~TDatabase()
{
    if (m_handle) {
        while (!m_levels.empty())
            Rollback();
        sqlite3_update_hook(m_handle, nullptr, nullptr);
    }
    // Our statements must go before Qt closes the handle, or the close fails.
    m_statements.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase TDatabase::sql() const
{
    return QSqlDatabase::database(m_connection, false);
}

void TDatabase::UpdateHook(void* self, int, const char* schema, const char* table, long long)
{
    auto* db = static_cast<TDatabase*>(self);
    QByteArray key(schema);
    key += '.';
    key += table;
    ++db->m_generations[key];
}

quint64 TDatabase::TableGeneration(const QString& schema, const QString& table) const
{
    return m_generations.value(schema.toUtf8() + '.' + table.toUtf8(), 0);
}

void TDatabase::TouchTable(const QString& schema, const QString& table)
{
    ++m_generations[schema.toUtf8() + '.' + table.toUtf8()];
}

void TDatabase::SetBusyTimeout(int milliseconds)
{
    m_busyTimeout = milliseconds;
    if (m_handle)
        sqlite3_busy_timeout(m_handle, milliseconds);
}

bool TDatabase::AskRetry() const
{
    const TBusyAsker asker = m_asker ? m_asker : DefaultBusyAsker();
    return asker && asker(BusyQuestion());
}

quint64 TDatabase::ExternalVersion()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    const qint64 now = clock.elapsed();
    if (m_externalCheckedAt < 0 || now - m_externalCheckedAt >= 200) {
        m_externalCheckedAt = now;
        m_externalVersion = quint64(Scalar(QStringLiteral("PRAGMA data_version")).toLongLong())
            + quint64(Scalar(QStringLiteral("PRAGMA shared.data_version")).toLongLong());
    }
    return m_externalVersion;
}

bool TDatabase::InTransaction() const
{
    return m_handle && !sqlite3_get_autocommit(m_handle);
}

bool TDatabase::Transaction()
{
    if (!m_handle)
        return false;
    if (m_levels.empty() && sqlite3_get_autocommit(m_handle)) {
        if (!Exec(QStringLiteral("BEGIN IMMEDIATE")))
            return false;
        m_levels.push_back(true);
        m_undo.emplace_back();
        m_afterCommit.emplace_back();
        return true;
    }
    if (!Exec(QStringLiteral("SAVEPOINT quillon_%1").arg(m_levels.size())))
        return false;
    m_levels.push_back(false);
    m_undo.emplace_back();
    m_afterCommit.emplace_back();
    return true;
}

void TDatabase::OnRollback(std::function<void()> undo)
{
    if (undo && !m_undo.empty())
        m_undo.back().push_back(std::move(undo));
}

void TDatabase::AfterCommit(std::function<void()> action)
{
    if (!action)
        return;
    if (m_afterCommit.empty())
        action();
    else
        m_afterCommit.back().push_back(std::move(action));
}

void TDatabase::RunUndo(size_t fromLevel)
{
    // Innermost level first, each level's actions last first.
    while (m_undo.size() > fromLevel) {
        std::vector<std::function<void()>> actions = std::move(m_undo.back());
        m_undo.pop_back();
        m_afterCommit.pop_back();
        for (auto it = actions.rbegin(); it != actions.rend(); ++it)
            (*it)();
    }
}

bool TDatabase::Commit()
{
    if (m_levels.empty())
        return false;
    const bool outer = m_levels.back();
    QString error;
    const bool ok = outer ? Exec(QStringLiteral("COMMIT"), {}, &error)
                          : Exec(QStringLiteral("RELEASE quillon_%1").arg(m_levels.size() - 1), {}, &error);
    if (!ok) {
        Rollback();
        return false;
    }
    m_levels.pop_back();
    std::vector<std::function<void()>> undo = std::move(m_undo.back());
    std::vector<std::function<void()>> after = std::move(m_afterCommit.back());
    m_undo.pop_back();
    m_afterCommit.pop_back();
    if (!m_undo.empty()) {
        // A savepoint: its work stands or falls with the level around it.
        for (auto& action : undo)
            m_undo.back().push_back(std::move(action));
        for (auto& action : after)
            m_afterCommit.back().push_back(std::move(action));
        return true;
    }
    for (auto& action : after)
        action();
    return true;
}

void TDatabase::Rollback()
{
    if (m_levels.empty())
        return;
    const bool outer = m_levels.back();
    // Outside work is undone while the write lock is still held.
    RunUndo(outer ? 0 : m_levels.size() - 1);
    m_levels.pop_back();
    if (outer) {
        // SQLite may have rolled back already (a full disk); then there is nothing to do.
        if (!sqlite3_get_autocommit(m_handle))
            Exec(QStringLiteral("ROLLBACK"));
        m_levels.clear();
    } else if (!sqlite3_get_autocommit(m_handle)) {
        const QString name = QStringLiteral("quillon_%1").arg(m_levels.size());
        Exec(QStringLiteral("ROLLBACK TO ") + name);
        Exec(QStringLiteral("RELEASE ") + name);
    }
    // Cached rows of every table may now be wrong.
    for (auto it = m_generations.begin(); it != m_generations.end(); ++it)
        ++it.value();
}

bool TDatabase::Exec(const QString& sql, const QVariantList& binds, QString* error, int* rowsAffected)
{
    if (rowsAffected)
        *rowsAffected = 0;
    if (!m_handle) {
        if (error)
            *error = QStringLiteral("database closed");
        return false;
    }
    if (!sql.contains(QLatin1Char(';'))) {
        // One statement: prepared once and kept (savepoints, counters and the like run often).
        TStatementCache::Lease statement = m_statements->Borrow(sql);
        if (!statement.ok()) {
            if (error)
                *error = statement.error();
            return false;
        }
        const int count = statement->parameterCount();
        for (int i = 1; i <= count; ++i)
            statement->bind(i, i - 1 < binds.size() ? binds.at(i - 1) : QVariant());
        int rc;
        for (;;) {
            while ((rc = statement->step()) == SQLITE_ROW) {
            }
            if (IsBusy(rc) && AskRetry()) {
                sqlite3_reset(statement->raw());
                continue;
            }
            break;
        }
        if (rc != SQLITE_DONE) {
            if (error)
                *error = IsBusy(rc) ? BusyQuestion() : statement->error();
            return false;
        }
        if (rowsAffected)
            *rowsAffected = sqlite3_changes(m_handle);
        if (error)
            error->clear();
        return true;
    }
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    int bindIndex = 0;
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v2(m_handle, tail, int(end - tail), &stmt, &next);
        if (rc != SQLITE_OK) {
            if (error)
                *error = ErrorText(m_handle, rc);
            return false;
        }
        tail = next;
        if (!stmt)
            continue;  // blanks or a comment
        const int count = sqlite3_bind_parameter_count(stmt);
        for (int i = 1; i <= count; ++i)
            TStatement::Bind(stmt, i, bindIndex < binds.size() ? binds.at(bindIndex++) : QVariant());
        for (;;) {
            rc = sqlite3_step(stmt);
            while (rc == SQLITE_ROW)
                rc = sqlite3_step(stmt);
            // Busy means nothing was written; the whole statement can run again.
            if (IsBusy(rc) && AskRetry()) {
                sqlite3_reset(stmt);
                continue;
            }
            break;
        }
        if (rc != SQLITE_DONE) {
            if (error)
                *error = IsBusy(rc) ? BusyQuestion() : ErrorText(m_handle, rc);
            sqlite3_finalize(stmt);
            return false;
        }
        if (rowsAffected)
            *rowsAffected += sqlite3_changes(m_handle);
        sqlite3_finalize(stmt);
    }
    if (error)
        error->clear();
    return true;
}

QVariant TDatabase::Scalar(const QString& sql, const QVariantList& binds, QString* error)
{
    if (!m_handle) {
        if (error)
            *error = QStringLiteral("database closed");
        return {};
    }
    TStatementCache::Lease statement = m_statements->Borrow(sql);
    if (!statement.ok()) {
        if (error)
            *error = statement.error();
        return {};
    }
    statement->bindAll(binds);
    int rc;
    while (IsBusy(rc = statement->step()) && AskRetry())
        statement->reset(), statement->bindAll(binds);
    if (rc == SQLITE_ROW) {
        QVariant value = statement->column(0);
        // Null results are still results: an invalid QVariant would read as an error.
        if (!value.isValid())
            value = QVariant(QMetaType::fromType<std::nullptr_t>());
        if (error)
            error->clear();
        return value;
    }
    if (rc == SQLITE_DONE) {
        if (error)
            error->clear();
        return QVariant(QMetaType::fromType<std::nullptr_t>());
    }
    if (error)
        *error = statement->error();
    return {};
}

bool TDatabase::TableExists(const QString& table, const QString& schema)
{
    if (!IsSafeIdentifier(schema))
        return false;
    const QString master = schema.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0
        ? QStringLiteral("sqlite_temp_master") : QuoteIdentifier(schema) + QStringLiteral(".sqlite_master");
    const QVariant found = Scalar(QStringLiteral("SELECT count(*) FROM ") + master
                                      + QStringLiteral(" WHERE type IN ('table','view') AND name = ? COLLATE NOCASE"),
                                  {table});
    return found.toLongLong() > 0;
}
