#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

// A record filter text ("inlist = TRUE", "Datum >= '2001-01-01' AND (a = 1 OR b <> 'x')")
// read into a tree, then written as an SQL condition whose values are bound parameters and
// whose column names are checked against the table's columns.
class TFilter
{
public:
    // Nullptr with the reason when the text cannot be read.
    static std::unique_ptr<TFilter> Parse(const QString& text, QString* error);

    // The SQL condition for a table with these columns (names matched ignoring case); false
    // when the filter names a column the table lacks.
    bool ToSql(const QStringList& columns, QString* sql, QVariantList* binds, QString* error) const;
    // The columns the filter reads (as written).
    QStringList Columns() const;

    struct Node
    {
        enum Kind { And, Or, Not, Compare, IsNull, IsNotNull } kind = Compare;
        std::vector<std::unique_ptr<Node>> children;
        QString op;               // for Compare
        bool leftIsColumn = false;
        QString leftColumn;
        QVariant leftValue;
        bool rightIsColumn = false;
        QString rightColumn;
        QVariant rightValue;
    };

private:
    std::unique_ptr<Node> m_root;
};
