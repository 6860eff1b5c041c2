#pragma once

#include "TSQLDriver.h"
#include "TWriteBack.h"
#include "TWriteBackJournal.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class TSQLConnection;

// What a product holds before a write-back changes one of its columns.
struct TProductBefore {
    TSQLParamValue Value;
    TSQLParamValue ChgDate;
    TSQLParamValue ChgTime;
};

// Reads, for the listed codes, the column and the change stamps as the
// database holds them now, in a few statements, not one per product: the
// sorted codes in ranges (BETWEEN the first and the last of up to
// CodesPerRange codes, an index range scan), and what a range did not bring
// (a range holding many more products than listed, or a code sorted otherwise
// by the database) in IN lists of quoted codes. Long IN lists cost Firebird 3
// far more to prepare than they save, so they stay short. Numbers come as
// text, floats with 17 significant digits so that writing the text back gives
// the same number. A code that no product has is missing from the result.
class TWriteBackSnapshot
{
public:
    static constexpr int CodesPerRange = 1000;
    // A range that holds this many times more products than codes is left
    // to IN lists.
    static constexpr int RangeSpread = 4;
    static constexpr int CodesPerList = 100;

    static QHash<QString, TProductBefore> Read(TSQLConnection& connection, const QString& column,
                                               const QStringList& codes);
    // The journal's rows of a write-back: each listed row as it is now, with
    // the value the write-back gives it, in list order.
    static std::vector<TJournalRow> JournalRows(TSQLConnection& connection, const QString& column,
                                                const std::vector<TWriteBackRow>& rows);
    // A column value as text, as Read() gives it.
    static TSQLParamValue ValueText(const TSQLCursor& cursor, int index);
};
