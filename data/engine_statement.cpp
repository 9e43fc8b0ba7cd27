#include "data/engine_statement.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sqlite3.h>

TStatement::TStatement(TStatementCache& cache, const QString& sql) : m_cache(&cache), m_sql(sql)
{
    cache.m_live.insert(this);
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(cache.db(), utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(cache.db()));
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

TStatement::~TStatement()
{
    if (m_cache) {
        m_cache->m_live.erase(this);
        sqlite3_finalize(m_stmt);
    }
}

void TStatement::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

int TStatement::Bind(sqlite3_stmt* stmt, int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    case QMetaType::QDate:
        return Bind(stmt, index, value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QTime:
        return Bind(stmt, index, value.toTime().toString(QStringLiteral("HH:mm:ss")));
    case QMetaType::QDateTime:
        return Bind(stmt, index, value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    default: {
        const QString text = value.toString();
        return sqlite3_bind_text16(stmt, index, text.utf16(), int(text.size() * sizeof(char16_t)),
                                   SQLITE_TRANSIENT);
    }
    }
}

bool TStatement::bind(int index, const QVariant& value)
{
    if (!m_stmt)
        return false;
    const int rc = Bind(m_stmt, index, value);
    if (rc != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errstr(rc));
        return false;
    }
    return true;
}

bool TStatement::bindAll(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        if (!bind(i + 1, values.at(i)))
            return false;
    return true;
}

int TStatement::parameterCount() const
{
    return m_stmt ? sqlite3_bind_parameter_count(m_stmt) : 0;
}

QString TStatement::parameterName(int index) const
{
    return m_stmt ? QString::fromUtf8(sqlite3_bind_parameter_name(m_stmt, index)) : QString();
}

int TStatement::step()
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
    return rc;
}

int TStatement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString TStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString TStatement::columnDeclType(int column) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, column));
}

QVariant TStatement::ValueOf(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

QVariant TStatement::column(int column) const
{
    return ValueOf(m_stmt, column);
}

qint64 TStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

int TStatement::changes() const
{
    return m_stmt ? sqlite3_changes(sqlite3_db_handle(m_stmt)) : 0;
}

TStatementCache::~TStatementCache()
{
    m_idle.clear();
    // Statements still held (streaming queries) die with the connection.
    for (TStatement* statement : m_live) {
        sqlite3_finalize(statement->m_stmt);
        statement->m_stmt = nullptr;
        statement->m_cache = nullptr;
        statement->m_error = QStringLiteral("connection closed");
    }
    m_live.clear();
}

TStatementCache::Lease TStatementCache::Borrow(const QString& sql)
{
    auto it = m_idle.find(sql);
    if (it != m_idle.end() && !it->second.empty()) {
        std::unique_ptr<TStatement> statement = std::move(it->second.back());
        it->second.pop_back();
        return Lease(this, std::move(statement));
    }
    return Lease(this, std::make_unique<TStatement>(*this, sql));
}

void TStatementCache::ClearIdle()
{
    m_idle.clear();
}

void TStatementCache::Return(std::unique_ptr<TStatement> statement)
{
    if (!statement->ok() || !statement->m_cache)
        return;
    statement->reset();
    auto& idle = m_idle[statement->sql()];
    if (idle.size() < 2)
        idle.push_back(std::move(statement));
}

TStatementCache::Lease::~Lease()
{
    if (m_cache && m_statement)
        m_cache->Return(std::move(m_statement));
}

QString TStatementCache::Lease::error() const
{
    return m_statement ? m_statement->error() : QStringLiteral("no statement");
}

QString QuoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool IsSafeIdentifier(const QString& name)
{
    if (name.isEmpty() || name.size() > 128)
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c == QLatin1Char('"') || c.unicode() == 0x7f)
            return false;
    return true;
}
