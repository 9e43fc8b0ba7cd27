#include "data/engine_filter.h"

#include "data/engine_statement.h"

namespace {

struct Token
{
    enum Kind { End, Name, String, Number, Op, LParen, RParen } kind = End;
    QString text;
    QVariant value;
};

class Lexer
{
public:
    explicit Lexer(const QString& text) : m_text(text) {}

    bool Next(Token* token, QString* error)
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
        *token = Token();
        if (m_pos >= m_text.size())
            return true;
        const QChar c = m_text.at(m_pos);
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            token->kind = c == QLatin1Char('(') ? Token::LParen : Token::RParen;
            token->text = c;
            ++m_pos;
            return true;
        }
        if (c == QLatin1Char('\'')) {
            QString value;
            ++m_pos;
            for (;;) {
                if (m_pos >= m_text.size()) {
                    *error = QStringLiteral("unterminated text in filter");
                    return false;
                }
                const QChar d = m_text.at(m_pos++);
                if (d == QLatin1Char('\'')) {
                    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\'')) {
                        value += d;
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                value += d;
            }
            token->kind = Token::String;
            token->value = value;
            return true;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
            const int end = int(m_text.indexOf(close, m_pos + 1));
            if (end < 0) {
                *error = QStringLiteral("unterminated name in filter");
                return false;
            }
            token->kind = Token::Name;
            token->text = m_text.mid(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            return true;
        }
        if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && m_pos + 1 < m_text.size()
                            && m_text.at(m_pos + 1).isDigit())) {
            int end = m_pos + 1;
            while (end < m_text.size() && (m_text.at(end).isDigit() || m_text.at(end) == QLatin1Char('.')))
                ++end;
            const QString number = m_text.mid(m_pos, end - m_pos);
            bool ok = false;
            if (number.contains(QLatin1Char('.'))) {
                token->value = number.toDouble(&ok);
            } else {
                token->value = number.toLongLong(&ok);
            }
            if (!ok) {
                *error = QStringLiteral("bad number in filter: %1").arg(number);
                return false;
            }
            token->kind = Token::Number;
            m_pos = end;
            return true;
        }
        static const char* ops[] = {"<>", "<=", ">=", "!=", "=", "<", ">"};
        for (const char* op : ops) {
            const QLatin1String o(op);
            if (QStringView(m_text).mid(m_pos).startsWith(o)) {
                token->kind = Token::Op;
                token->text = o == QLatin1String("!=") ? QStringLiteral("<>") : QString(o);
                m_pos += int(o.size());
                return true;
            }
        }
        if (c.isLetter() || c == QLatin1Char('_')) {
            int end = m_pos + 1;
            while (end < m_text.size() && (m_text.at(end).isLetterOrNumber() || m_text.at(end) == QLatin1Char('_')))
                ++end;
            token->kind = Token::Name;
            token->text = m_text.mid(m_pos, end - m_pos);
            m_pos = end;
            return true;
        }
        *error = QStringLiteral("unexpected '%1' in filter").arg(c);
        return false;
    }

private:
    QString m_text;
    int m_pos = 0;
};

bool IsWord(const Token& token, const char* word)
{
    return token.kind == Token::Name && token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

using Node = TFilter::Node;

class Parser
{
public:
    Parser(const QString& text, QString* error) : m_lexer(text), m_error(error) {}

    std::unique_ptr<Node> Parse()
    {
        if (!Advance())
            return nullptr;
        auto node = ParseOr();
        if (node && m_token.kind != Token::End) {
            *m_error = QStringLiteral("unexpected '%1' in filter").arg(m_token.text);
            return nullptr;
        }
        return node;
    }

private:
    bool Advance() { return m_lexer.Next(&m_token, m_error); }

    std::unique_ptr<Node> ParseOr()
    {
        auto left = ParseAnd();
        while (left && IsWord(m_token, "OR")) {
            if (!Advance())
                return nullptr;
            auto right = ParseAnd();
            if (!right)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = Node::Or;
            node->children.push_back(std::move(left));
            node->children.push_back(std::move(right));
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> ParseAnd()
    {
        auto left = ParseNot();
        while (left && IsWord(m_token, "AND")) {
            if (!Advance())
                return nullptr;
            auto right = ParseNot();
            if (!right)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = Node::And;
            node->children.push_back(std::move(left));
            node->children.push_back(std::move(right));
            left = std::move(node);
        }
        return left;
    }

    std::unique_ptr<Node> ParseNot()
    {
        if (IsWord(m_token, "NOT")) {
            if (!Advance())
                return nullptr;
            auto inner = ParseNot();
            if (!inner)
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = Node::Not;
            node->children.push_back(std::move(inner));
            return node;
        }
        if (m_token.kind == Token::LParen) {
            if (!Advance())
                return nullptr;
            auto inner = ParseOr();
            if (!inner)
                return nullptr;
            if (m_token.kind != Token::RParen) {
                *m_error = QStringLiteral("missing ')' in filter");
                return nullptr;
            }
            if (!Advance())
                return nullptr;
            return inner;
        }
        return ParseComparison();
    }

    // An operand: a column name, or a constant ('text', number, TRUE, FALSE, NULL).
    bool ParseOperand(bool* isColumn, QString* column, QVariant* value)
    {
        *isColumn = false;
        if (m_token.kind == Token::String || m_token.kind == Token::Number) {
            *value = m_token.value;
        } else if (IsWord(m_token, "TRUE") || IsWord(m_token, "FALSE")) {
            *value = qint64(IsWord(m_token, "TRUE") ? 1 : 0);
        } else if (IsWord(m_token, "NULL")) {
            *value = QVariant();
        } else if (m_token.kind == Token::Name && !IsWord(m_token, "AND") && !IsWord(m_token, "OR")
                   && !IsWord(m_token, "NOT")) {
            *isColumn = true;
            *column = m_token.text;
        } else {
            *m_error = m_token.kind == Token::End ? QStringLiteral("filter ends too early")
                                                  : QStringLiteral("unexpected '%1' in filter").arg(m_token.text);
            return false;
        }
        return Advance();
    }

    std::unique_ptr<Node> ParseComparison()
    {
        auto node = std::make_unique<Node>();
        if (!ParseOperand(&node->leftIsColumn, &node->leftColumn, &node->leftValue))
            return nullptr;
        if (IsWord(m_token, "IS")) {
            if (!Advance())
                return nullptr;
            node->kind = Node::IsNull;
            if (IsWord(m_token, "NOT")) {
                node->kind = Node::IsNotNull;
                if (!Advance())
                    return nullptr;
            }
            if (!IsWord(m_token, "NULL")) {
                *m_error = QStringLiteral("IS must be followed by NULL in filter");
                return nullptr;
            }
            if (!Advance())
                return nullptr;
            return node;
        }
        if (m_token.kind != Token::Op) {
            *m_error = QStringLiteral("comparison expected in filter");
            return nullptr;
        }
        node->kind = Node::Compare;
        node->op = m_token.text;
        if (!Advance())
            return nullptr;
        if (!ParseOperand(&node->rightIsColumn, &node->rightColumn, &node->rightValue))
            return nullptr;
        if (!node->leftIsColumn && !node->rightIsColumn) {
            *m_error = QStringLiteral("a filter comparison needs a column");
            return nullptr;
        }
        return node;
    }

    Lexer m_lexer;
    Token m_token;
    QString* m_error;
};

bool ColumnSql(const QString& name, const QStringList& columns, QString* sql, QString* error)
{
    for (const QString& column : columns)
        if (column.compare(name, Qt::CaseInsensitive) == 0) {
            *sql = QuoteIdentifier(column);
            return true;
        }
    *error = QStringLiteral("unknown column '%1' in filter").arg(name);
    return false;
}

bool NodeSql(const Node& node, const QStringList& columns, QString* sql, QVariantList* binds, QString* error)
{
    switch (node.kind) {
    case Node::And:
    case Node::Or: {
        QString left, right;
        if (!NodeSql(*node.children[0], columns, &left, binds, error)
            || !NodeSql(*node.children[1], columns, &right, binds, error))
            return false;
        *sql = QLatin1Char('(') + left + (node.kind == Node::And ? QLatin1String(" AND ") : QLatin1String(" OR "))
            + right + QLatin1Char(')');
        return true;
    }
    case Node::Not: {
        QString inner;
        if (!NodeSql(*node.children[0], columns, &inner, binds, error))
            return false;
        *sql = QStringLiteral("(NOT ") + inner + QLatin1Char(')');
        return true;
    }
    case Node::IsNull:
    case Node::IsNotNull: {
        QString operand;
        if (node.leftIsColumn) {
            if (!ColumnSql(node.leftColumn, columns, &operand, error))
                return false;
        } else {
            operand = QStringLiteral("?");
            binds->append(node.leftValue);
        }
        *sql = QLatin1Char('(') + operand + (node.kind == Node::IsNull ? QLatin1String(" IS NULL)") : QLatin1String(" IS NOT NULL)"));
        return true;
    }
    case Node::Compare: {
        const bool isEquality = node.op == QLatin1String("=") || node.op == QLatin1String("<>");
        auto isEmpty = [](bool isColumn, const QVariant& value) {
            return !isColumn && (!value.isValid()
                                 || (value.metaType().id() == QMetaType::QString && value.toString().isEmpty()));
        };
        // "= NULL" and "= ''" both mean "is empty": the engine stores an empty text as NULL.
        if (isEquality && (isEmpty(node.rightIsColumn, node.rightValue) || isEmpty(node.leftIsColumn, node.leftValue))) {
            const bool columnLeft = isEmpty(node.rightIsColumn, node.rightValue);
            const bool isColumn = columnLeft ? node.leftIsColumn : node.rightIsColumn;
            QString operand;
            if (isColumn) {
                if (!ColumnSql(columnLeft ? node.leftColumn : node.rightColumn, columns, &operand, error))
                    return false;
            } else {
                operand = QStringLiteral("?");
                binds->append(columnLeft ? node.leftValue : node.rightValue);
            }
            if (node.op == QLatin1String("="))
                *sql = QStringLiteral("(%1 IS NULL OR %1 = '')").arg(operand);
            else
                *sql = QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(operand);
            if (!isColumn)
                binds->append(binds->last());
            return true;
        }
        QString left, right;
        if (node.leftIsColumn) {
            if (!ColumnSql(node.leftColumn, columns, &left, error))
                return false;
        } else {
            left = QStringLiteral("?");
            binds->append(node.leftValue);
        }
        if (node.rightIsColumn) {
            if (!ColumnSql(node.rightColumn, columns, &right, error))
                return false;
        } else {
            right = QStringLiteral("?");
            binds->append(node.rightValue);
        }
        *sql = QLatin1Char('(') + left + QLatin1Char(' ') + node.op + QLatin1Char(' ') + right + QLatin1Char(')');
        return true;
    }
    }
    return false;
}

void CollectColumns(const Node& node, QStringList* names)
{
    if (node.leftIsColumn)
        names->append(node.leftColumn);
    if (node.rightIsColumn)
        names->append(node.rightColumn);
    for (const auto& child : node.children)
        CollectColumns(*child, names);
}

} // namespace

std::unique_ptr<TFilter> TFilter::Parse(const QString& text, QString* error)
{
    QString reason;
    Parser parser(text, &reason);
    auto root = parser.Parse();
    if (!root) {
        if (error)
            *error = reason.isEmpty() ? QStringLiteral("empty filter") : reason;
        return nullptr;
    }
    auto filter = std::make_unique<TFilter>();
    filter->m_root = std::move(root);
    return filter;
}

bool TFilter::ToSql(const QStringList& columns, QString* sql, QVariantList* binds, QString* error) const
{
    binds->clear();
    return m_root && NodeSql(*m_root, columns, sql, binds, error);
}

QStringList TFilter::Columns() const
{
    QStringList names;
    if (m_root)
        CollectColumns(*m_root, &names);
    return names;
}
