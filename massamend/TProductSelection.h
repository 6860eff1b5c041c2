#pragma once

#include "TSQLDriver.h"

#include <QString>
#include <QStringList>

// The statement that loads the chosen products, with the values for its '?'
// when the codes go as parameters.
struct TSelectCommand {
    QString Text;
    TSQLParamBatches ParamBatches;
};

// The texts with which product selection reloads the product list: the column
// list handed to the query dialog, the product codes read back from it and
// the statement that loads exactly those products.
class TProductSelection
{
public:
    // Firebird 3 and 4 take at most this many values in one IN list.
    static constexpr int MaxInListValues = 1500;
    // The '?' of the statement that loads more codes than one list takes.
    // Firebird 3 checks every row it finds against the list value after
    // value, and each run costs a little: measured on embedded Firebird with
    // 10,000 to 100,000 codes, lists of 25 to 50 came closest to one range
    // condition (100 cost half as much again, 500 three times).
    static constexpr int BatchValues = 32;

    // The field names in order, each followed by "," except the last, which
    // is followed by one blank.
    static QString ColumnList(const QStringList& fieldNames);
    // One code per line of the dialog's text, split at CR, LF or CR LF; a
    // final line break adds no empty code.
    static QStringList CodeList(const QString& selectedValues);
    // Each code as one quoted literal, joined by "," ('X','Y').
    static QString CodeSet(const QStringList& codes);
    // "select * from product where prod_id in (...)" over the code set.
    static QString SelectStatement(const QStringList& codes);
    // "select * from product where prod_id in (?,...,?)" with that many '?'.
    static QString BatchStatement(int values = BatchValues);
    // The distinct codes, sorted, that many in a batch, the last batch filled
    // up with its last code. Codes that differ only in trailing blanks, which
    // Firebird takes for equal, share a batch (as many as one takes), so that
    // no product is found by two of them.
    static TSQLParamBatches CodeBatches(const QStringList& codes, int values = BatchValues);
    // Up to MaxInListValues codes SelectStatement, no parameters; more go as
    // parameters of BatchStatement, which no limit on the size of a statement
    // or the length of an IN list can stop.
    static TSelectCommand SelectCommand(const QStringList& codes);
};
