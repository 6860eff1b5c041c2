#include "GetdataSql.h"

#include "Big5Text.h"
#include "Exceptions.h"
#include "QuotedStr.h"

TConditionValue ConditionValue(int mode, const QString& value)
{
    // The database's client would cut the statement at it and answer with a
    // garbled message.
    if (value.contains(QChar(u'\0')))
        throw Exception(QStringLiteral("搜尋值不可含有 NUL 字元（代碼 0）。"));
    TConditionValue condition;
    switch (mode) {
    case 0:
        condition = {QStringLiteral(" = "), QuotedStr(value)};
        break;
    case 1:
        condition = {QStringLiteral(" like "), QuotedStr(value + QLatin1Char('%'))};
        break;
    case 2:
        condition = {QStringLiteral(" like "),
                     QuotedStr(QLatin1Char('%') + value + QLatin1Char('%'))};
        break;
    default:
        break;
    }
    if (const int bytes = Big5ByteLength(condition.Literal); bytes > SchValueSize)
        throw Exception(
            QStringLiteral("搜尋值「%1」太長：加上引號後 %2 個位元組，最多 %3 個位元組。")
                .arg(value)
                .arg(bytes)
                .arg(SchValueSize));
    return condition;
}

QStringList StatementLines(const QString& columnList, const QString& tableName,
                           const QList<TConditionRow>& conditions, const QString& orderClause)
{
    const QString space = QStringLiteral(" ");
    QStringList lines;
    lines.append(QStringLiteral("SELECT ") + columnList + QStringLiteral(" FROM "));
    lines.append(tableName + space);
    for (const TConditionRow& row : conditions)
        lines.append(space + row.Connector + space + row.ColumnName + space + row.OperatorText +
                     space + row.Literal + space);
    lines.append(orderClause);
    return lines;
}
