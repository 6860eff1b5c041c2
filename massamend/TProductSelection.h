#pragma once

#include <QString>
#include <QStringList>

// The texts with which product selection reloads the product list: the column
// list handed to the query dialog, the product codes read back from it and
// the statement that loads exactly those products.
class TProductSelection
{
public:
    // Firebird 3 and 4 take at most this many values in one IN list.
    static constexpr int MaxInListValues = 1500;
    // Codes per list, and lists at most, when one list can't take them all.
    // Firebird refuses a statement of about 255 SELECTs.
    static constexpr int UnionListValues = 500;
    static constexpr int MaxUnionSelects = 250;

    // The field names in order, each followed by "," except the last, which
    // is followed by one blank.
    static QString ColumnList(const QStringList& fieldNames);
    // One code per line of the dialog's text, split at CR, LF or CR LF; a
    // final line break adds no empty code.
    static QStringList CodeList(const QString& selectedValues);
    // Each code as one quoted literal, joined by "," ('X','Y').
    static QString CodeSet(const QStringList& codes);
    // "select * from product where prod_id in (...)" over every code. More
    // codes than one IN list takes go into several such SELECTs joined by
    // "union all", UnionListValues codes each, or more so that there are no
    // more than MaxUnionSelects of them.
    static QString SelectStatement(const QStringList& codes);
};
