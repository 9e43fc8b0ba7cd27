#include "data/query.h"

#include <sqlite3.h>

#include "data/connection.h"
#include "data/engine_statement.h"

namespace {

QString BareName(const QString& name)
{
    QString bare = name.trimmed();
    if (bare.startsWith(QLatin1Char(':')) || bare.startsWith(QLatin1Char('@')) || bare.startsWith(QLatin1Char('$')))
        bare.remove(0, 1);
    return bare;
}

// The ":name" parameters of a statement, skipping quoted texts, quoted names and comments.
QStringList ParameterNames(const QString& sql)
{
    QStringList names;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') || c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const int end = int(sql.indexOf(close, i + 1));
            i = end < 0 ? int(sql.size()) : end;
        } else if (c == QLatin1Char('-') && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char('-')) {
            const int end = int(sql.indexOf(QLatin1Char('\n'), i));
            i = end < 0 ? int(sql.size()) : end;
        } else if (c == QLatin1Char('/') && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char('*')) {
            const int end = int(sql.indexOf(QLatin1String("*/"), i + 2));
            i = end < 0 ? int(sql.size()) : end + 1;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size()
                   && (sql.at(i + 1).isLetter() || sql.at(i + 1) == QLatin1Char('_'))) {
            int end = i + 1;
            while (end < sql.size() && (sql.at(end).isLetterOrNumber() || sql.at(end) == QLatin1Char('_')))
                ++end;
            const QString name = sql.mid(i + 1, end - i - 1);
            bool known = false;
            for (const QString& n : names)
                known = known || n.compare(name, Qt::CaseInsensitive) == 0;
            if (!known)
                names << name;
            i = end - 1;
        }
    }
    return names;
}

bool IsBusy(int rc)
{
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

} // namespace

TQuery::TQuery(QObject* parent) : TDataSet(parent)
{
}

TQuery::~TQuery() = default;

void TQuery::SetSql(const QStringList& lines)
{
    if (Active())
        Close();
    m_sql = lines;
    std::vector<std::unique_ptr<TParam>> params;
    for (const QString& name : ParameterNames(SqlText())) {
        auto param = std::make_unique<TParam>(name);
        if (TParam* old = FindParam(name))
            param->SetValue(old->Value());
        params.push_back(std::move(param));
    }
    m_params = std::move(params);
}

void TQuery::AddSql(const QString& line)
{
    QStringList lines = m_sql;
    lines << line;
    SetSql(lines);
}

TParam* TQuery::FindParam(const QString& name)
{
    const QString bare = BareName(name);
    for (auto& param : m_params)
        if (param->Name().compare(bare, Qt::CaseInsensitive) == 0)
            return param.get();
    return nullptr;
}

TParam* TQuery::ParamByName(const QString& name)
{
    if (TParam* param = FindParam(name))
        return param;
    m_params.push_back(std::make_unique<TParam>(BareName(name)));
    return m_params.back().get();
}

bool TQuery::Prepare(std::unique_ptr<TStatement>* statement, QString* error)
{
    TDatabase* db = Database();
    if (!db) {
        *error = QStringLiteral("%1: no database").arg(Name());
        return false;
    }
    QString sql = SqlText().trimmed();
    while (sql.endsWith(QLatin1Char(';')))
        sql.chop(1);
    auto st = std::make_unique<TStatement>(db->statements(), sql);
    if (!st->ok()) {
        *error = st->error();
        return false;
    }
    for (int i = 1; i <= st->parameterCount(); ++i) {
        const QString name = BareName(st->parameterName(i));
        TParam* param = name.isEmpty() ? nullptr : FindParam(name);
        st->bind(i, param ? param->Value() : QVariant());
    }
    *statement = std::move(st);
    return true;
}

bool TQuery::OpenCursor(std::vector<Column>* columns, QString* error)
{
    std::unique_ptr<TStatement> st;
    if (!Prepare(&st, error))
        return false;
    m_columnCount = st->columnCount();
    if (m_columnCount == 0) {
        *error = QStringLiteral("%1: the statement returns no rows").arg(Name());
        return false;
    }
    columns->clear();
    QStringList seen;
    for (int i = 0; i < m_columnCount; ++i) {
        Column column;
        QString name = st->columnName(i);
        // Joined tables repeat names: the later ones get a number, as they always did.
        QString unique = name;
        for (int n = 1; seen.contains(unique, Qt::CaseInsensitive); ++n)
            unique = name + QLatin1Char('_') + QString::number(n);
        seen << unique;
        column.name = unique;
        const QString declared = st->columnDeclType(i);
        if (!declared.isEmpty()) {
            const TDeclaredType type = ParseDeclaredType(declared);
            column.dataType = type.dataType;
            column.size = type.size;
        }
        columns->push_back(column);
    }
    m_rows.clear();
    m_stream.reset();
    m_streamRow = -1;
    m_streamDone = false;
    m_streamCount = -1;
    int rc;
    auto typeFromValue = [&](const QVariantList& values) {
        // Expressions have no declared type: the first value tells.
        for (int i = 0; i < m_columnCount; ++i) {
            Column& column = (*columns)[i];
            if (column.dataType != ftUnknown)
                continue;
            const QVariant& v = values.at(i);
            switch (v.metaType().id()) {
            case QMetaType::LongLong: column.dataType = ftInteger; break;
            case QMetaType::Double: column.dataType = ftFloat; break;
            case QMetaType::QString: column.dataType = ftText; break;
            case QMetaType::QByteArray: column.dataType = ftBlob; break;
            default: break;
            }
        }
    };
    if (m_unidirectional) {
        m_stream = std::move(st);
        if (!StepStream()) {
            *error = m_stream->error();
            return false;
        }
        if (!m_streamDone)
            typeFromValue(m_streamValues);
    } else {
        for (;;) {
            while ((rc = st->step()) == SQLITE_ROW) {
                QVariantList values;
                values.reserve(m_columnCount);
                for (int i = 0; i < m_columnCount; ++i)
                    values.append(st->column(i));
                m_rows.push_back(std::move(values));
            }
            if (IsBusy(rc) && Database()->AskRetry()) {
                m_rows.clear();
                st->reset();
                std::unique_ptr<TStatement> again;
                if (!Prepare(&again, error))
                    return false;
                st = std::move(again);
                continue;
            }
            break;
        }
        if (rc != SQLITE_DONE) {
            *error = st->error();
            m_rows.clear();
            return false;
        }
        for (const QVariantList& row : m_rows) {
            typeFromValue(row);
            bool allKnown = true;
            for (const Column& c : *columns)
                allKnown = allKnown && c.dataType != ftUnknown;
            if (allKnown)
                break;
        }
    }
    for (Column& column : *columns)
        if (column.dataType == ftUnknown)
            column.dataType = ftText;
    return true;
}

// Reads the next row of the stream into m_streamValues; false on an error.
bool TQuery::StepStream()
{
    if (!m_stream || m_streamDone)
        return true;
    const int rc = m_stream->step();
    if (rc == SQLITE_ROW) {
        ++m_streamRow;
        m_streamValues.clear();
        for (int i = 0; i < m_columnCount; ++i)
            m_streamValues.append(m_stream->column(i));
        return true;
    }
    m_streamDone = true;
    m_streamValues.clear();
    return rc == SQLITE_DONE;
}

void TQuery::CloseCursor()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_stream.reset();
    m_streamValues.clear();
    m_streamRow = -1;
    m_streamDone = false;
    m_streamCount = -1;
}

int TQuery::RowCount()
{
    if (!m_unidirectional)
        return int(m_rows.size());
    return m_streamDone ? m_streamRow + 1 : -1;
}

int TQuery::TotalRowCount()
{
    if (!m_unidirectional)
        return int(m_rows.size());
    if (m_streamCount < 0) {
        if (m_streamDone) {
            m_streamCount = m_streamRow + 1;
        } else {
            // Counting the rows is cheaper than reading them.
            TQuery counter;
            counter.SetDatabase(Database());
            QString sql = SqlText().trimmed();
            while (sql.endsWith(QLatin1Char(';')))
                sql.chop(1);
            counter.SetSql(QStringLiteral("SELECT count(*) FROM (") + sql + QStringLiteral("\n)"));
            for (auto& param : m_params)
                counter.ParamByName(param->Name())->SetValue(param->Value());
            if (counter.Open() && counter.FieldCount() > 0)
                m_streamCount = int(counter.Field(0)->AsLargeInt());
        }
    }
    return m_streamCount;
}

bool TQuery::FetchRow(int row, QVariantList* values)
{
    if (!m_unidirectional) {
        if (row < 0 || row >= int(m_rows.size()))
            return false;
        *values = m_rows[size_t(row)];
        return true;
    }
    // A stream only goes forward.
    while (!m_streamDone && m_streamRow < row)
        if (!StepStream())
            return false;
    if (m_streamRow != row || m_streamDone)
        return false;
    *values = m_streamValues;
    return true;
}

int TQuery::RowOfKey(qint64 key)
{
    if (!m_unidirectional)
        return key >= 0 && key < qint64(m_rows.size()) ? int(key) : -1;
    return key == m_streamRow ? int(key) : -1;
}

bool TQuery::ReloadRows(QString* error)
{
    std::vector<Column> columns;
    return OpenCursor(&columns, error);
}

bool TQuery::ExecSql()
{
    SetLastError(QString());
    m_rowsAffected = 0;
    TDatabase* db = Database();
    if (!db) {
        SetLastError(QStringLiteral("%1: no database").arg(Name()));
        return false;
    }
    if (Active())
        Close();
    // Several statements may follow each other; each gets the parameters it names.
    const QByteArray utf8 = SqlText().toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db->handle(), tail, int(end - tail), &stmt, &next) != SQLITE_OK) {
            SetLastError(QString::fromUtf8(sqlite3_errmsg(db->handle())));
            return false;
        }
        tail = next;
        if (!stmt)
            continue;
        for (int i = 1; i <= sqlite3_bind_parameter_count(stmt); ++i) {
            const QString name = BareName(QString::fromUtf8(sqlite3_bind_parameter_name(stmt, i)));
            TParam* param = name.isEmpty() ? nullptr : FindParam(name);
            TStatement::Bind(stmt, i, param ? param->Value() : QVariant());
        }
        int rc;
        for (;;) {
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            if (IsBusy(rc) && db->AskRetry()) {
                sqlite3_reset(stmt);
                continue;
            }
            break;
        }
        if (rc != SQLITE_DONE) {
            SetLastError(IsBusy(rc) ? BusyQuestion() : QString::fromUtf8(sqlite3_errmsg(db->handle())));
            sqlite3_finalize(stmt);
            return false;
        }
        m_rowsAffected += sqlite3_changes(db->handle());
        sqlite3_finalize(stmt);
    }
    return true;
}
