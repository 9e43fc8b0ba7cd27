#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

#include "data/dataset.h"

// A named parameter of a query (":f_ID"; matched ignoring case, with or without the colon).
class TParam
{
public:
    explicit TParam(const QString& name = {}) : m_name(name) {}
    QString Name() const { return m_name; }
    QVariant Value() const { return m_value; }
    void SetValue(const QVariant& value) { m_value = value; }
    void SetAsInteger(qint64 value) { m_value = value; }
    void SetAsString(const QString& value) { m_value = value; }
    void SetAsFloat(double value) { m_value = value; }
    void Clear() { m_value = QVariant(); }
    bool IsNull() const { return m_value.isNull(); }

private:
    QString m_name;
    QVariant m_value;
};

class TStatement;

// An SQL statement as a data set. Open runs a SELECT: normally every row is read at once
// (the result is small and can be scrolled both ways); a one-direction query streams rows
// one at a time and only moves forward (First runs it again), for walks over whole tables.
// ExecSql runs statements that return no rows (ALTER TABLE, INSERT ... SELECT, DELETE).
// Values are always bound through parameters. Query rows are read-only.
class TQuery : public TDataSet
{
    Q_OBJECT
public:
    explicit TQuery(QObject* parent = nullptr);
    ~TQuery() override;

    // Lines are joined with newlines. Changing the SQL closes the query and rebuilds the
    // parameter list (values of parameters that remain are kept).
    void SetSql(const QStringList& lines);
    void SetSql(const QString& sql) { SetSql(QStringList{sql}); }
    void ClearSql() { SetSql(QStringList{}); }
    void AddSql(const QString& line);
    QStringList Sql() const { return m_sql; }

    // Never nullptr: an unknown name is added to the parameters.
    TParam* ParamByName(const QString& name);
    TParam* FindParam(const QString& name);
    int ParamCount() const { return int(m_params.size()); }

    void SetUnidirectional(bool on) { m_unidirectional = on; }
    bool Unidirectional() const override { return m_unidirectional; }
    bool CanModify() const override { return false; }

    bool ExecSql();
    int RowsAffected() const { return m_rowsAffected; }

protected:
    bool OpenCursor(std::vector<Column>* columns, QString* error) override;
    void CloseCursor() override;
    int RowCount() override;
    int TotalRowCount() override;
    bool FetchRow(int row, QVariantList* values) override;
    qint64 RowKey(int row) override { return row; }
    int RowOfKey(qint64 key) override;
    bool ReloadRows(QString* error) override;

private:
    bool Prepare(std::unique_ptr<TStatement>* statement, QString* error);
    bool StepStream();
    QString SqlText() const { return m_sql.join(QLatin1Char('\n')); }

    QStringList m_sql;
    std::vector<std::unique_ptr<TParam>> m_params;
    bool m_unidirectional = false;
    int m_rowsAffected = 0;
    int m_columnCount = 0;
    // Whole result (two-way).
    std::vector<QVariantList> m_rows;
    // Stream (one-direction): the row at m_streamRow is in m_streamValues.
    std::unique_ptr<TStatement> m_stream;
    int m_streamRow = -1;
    bool m_streamDone = false;
    QVariantList m_streamValues;
    int m_streamCount = -1;
};
