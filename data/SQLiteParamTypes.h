#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// SQLite does not describe the parameters of a statement, so the driver works
// out what each '?' is compared with or assigned to, and from that column's
// declared type the kind of value it takes:
//   column = ?, ? = column (and <>, !=, <, <=, >, >=, ==), SET column = ?,
//   column [NOT] IN (..., ?, ...), column [NOT] BETWEEN ? AND ?,
//   column IS [NOT] DISTINCT FROM ?,
//   INSERT INTO table (columns) VALUES (?, ...).
// A column may be qualified by its table or alias. Any other '?' is Unknown
// and bound as text.
class SQLiteParamTypes
{
public:
    enum class Affinity { Unknown, Text, Integer, Real, Numeric };

    // The declared type of table.column, nothing when there is no such column.
    using ColumnType =
        std::function<std::optional<QString>(const QString& table, const QString& column)>;

    static QList<Affinity> Infer(const QString& sql, const ColumnType& columnType);
    // SQLite's rules for the affinity of a declared type.
    static Affinity AffinityOf(const QString& declaredType);
};
