#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The SQL that the query dialog composes from its condition list, apart from
// the controls, so that it can be checked on any input.

// "SCH_VALUE" of the condition table holds this many Big5 bytes.
inline constexpr int SchValueSize = 20;

// What a condition stores for a match mode and a value: the operator text
// (" = ", " like ") and the value as one SQL literal, quotes inside it
// doubled, with the mode's percent signs. Mode 0 is exact, 1 prefix,
// 2 contains; any other gives two empty texts.
struct TConditionValue {
    QString OperatorText;
    QString Literal;
};
// Throws Exception for a value holding a NUL, and when the literal would not
// fit in "SCH_VALUE": cut, it would lose its closing quote.
TConditionValue ConditionValue(int mode, const QString& value);

// One row of the condition list as the statement uses it.
struct TConditionRow {
    QString Connector; // "WHERE", "AND" or "OR"
    QString ColumnName;
    QString OperatorText;
    QString Literal;
};
// The lines of the statement: "SELECT " + columnList + " FROM ", tableName +
// " ", one line per condition (" WHERE PROD_NAME  like  '%abc%' ") and the
// order clause, even when empty.
QStringList StatementLines(const QString& columnList, const QString& tableName,
                           const QList<TConditionRow>& conditions, const QString& orderClause);
