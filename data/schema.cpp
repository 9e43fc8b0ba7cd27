#include "data/schema.h"

#include <QRegularExpression>

QString DeclaredTypeOf(int dataType, int size)
{
    switch (dataType) {
    case dtText:
        return QStringLiteral("CHAR(%1)").arg(size > 0 ? size : 255);
    case dtSmallInt:
        return QStringLiteral("SMALLINT");
    case dtInteger:
        return QStringLiteral("INTEGER");
    case dtBoolean:
        return QStringLiteral("BOOLEAN");
    case dtFloat:
        return QStringLiteral("FLOAT");
    case dtMoney:
        return QStringLiteral("MONEY");
    case dtDate:
        return QStringLiteral("DATE");
    case dtTime:
        return QStringLiteral("TIME");
    case dtAutoInc:
        return QStringLiteral("AUTOINC");
    case dtBlob:
        return QStringLiteral("BLOB");
    case dtMemo:
        return QStringLiteral("MEMO_TEXT(%1)").arg(size > 0 ? size : 240);
    case dtGraphic:
        return QStringLiteral("GRAPHIC");
    default:
        return QString();
    }
}

int DataTypeOfDeclared(const QString& declared, int* size)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*([A-Za-z_ ]*?)\\s*(?:\\(\\s*(\\d+)[^)]*\\))?\\s*$"));
    const QRegularExpressionMatch m = shape.match(declared);
    const QString name = m.hasMatch() ? m.captured(1).toUpper() : declared.trimmed().toUpper();
    const int n = m.hasMatch() ? m.captured(2).toInt() : 0;
    if (size)
        *size = 0;
    auto sized = [&](int code) {
        if (size)
            *size = n;
        return code;
    };
    if (name == u"CHAR" || name == u"VARCHAR" || name == u"CHARACTER" || name == u"NCHAR"
        || name == u"NVARCHAR" || name == u"VARYING CHARACTER" || name == u"TEXT" || name.isEmpty())
        return sized(dtText);
    if (name == u"SMALLINT" || name == u"TINYINT")
        return dtSmallInt;
    if (name == u"INTEGER" || name == u"INT" || name == u"BIGINT" || name == u"MEDIUMINT")
        return dtInteger;
    if (name == u"BOOLEAN" || name == u"BOOL")
        return dtBoolean;
    if (name == u"FLOAT" || name == u"REAL" || name == u"DOUBLE" || name == u"DOUBLE PRECISION"
        || name == u"NUMERIC" || name == u"DECIMAL")
        return dtFloat;
    if (name == u"MONEY")
        return dtMoney;
    if (name == u"DATE")
        return dtDate;
    if (name == u"TIME")
        return dtTime;
    if (name == u"AUTOINC")
        return dtAutoInc;
    if (name == u"BLOB")
        return dtBlob;
    if (name == u"MEMO_TEXT" || name == u"MEMOTEXT" || name == u"MEMO" || name == u"CLOB")
        return sized(dtMemo);
    if (name == u"GRAPHIC")
        return dtGraphic;
    return 0;
}

bool IsKnownDataType(int dataType)
{
    return !DeclaredTypeOf(dataType, 1).isEmpty();
}

bool IsValidColumnName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_ ]{0,63}$"));
    return pattern.match(name).hasMatch() && !name.endsWith(QLatin1Char(' '));
}
