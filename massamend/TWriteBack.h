#pragma once

#include "TSQLDriver.h"

#include <QString>
#include <functional>
#include <vector>

class TChangeStamp;
class TProgressSink;
class TSQLQuery;

// One listed product of a write-back: its code and the value its column gets;
// for a guarded write-back also the value its column must still hold.
struct TWriteBackRow {
    QString Code;
    TSQLParamValue Value;
    TSQLParamValue Expected;
};

// The write-back of one column: one UPDATE per listed product, in list order,
// each committed on its own and stamped with the change date and time; then,
// for a supplier, category or class code, the refresh of the matching name of
// every product. The statements run through the given query, on its
// connection.
class TWriteBack
{
public:
    TWriteBack(TSQLQuery& query, const TChangeStamp& stamp);

    QString Column;
    // Guarded, a row changes only while its column still holds the row's
    // Expected value (nulls compare equal); a row holding another value is
    // left as it is and counted as skipped.
    bool Guarded = false;
    // Called once row `index` of the list is committed.
    std::function<void(int index)> OnRowWritten;
    // Whether the row last committed changed: false when its guard kept it.
    bool LastRowChanged() const { return FLastRowChanged; }
    // Rows of the last run that their guard kept.
    int Skipped() const { return FSkipped; }

    // Writes the rows until the end, until the progress sink asks to stop or
    // until a row fails: the failure is thrown, and the rows before it stay
    // written. Returns the number of rows written.
    int Run(const std::vector<TWriteBackRow>& rows, TProgressSink& progress);
    // The name refresh of the column, when it has one; nothing otherwise.
    void RefreshNames();

    // The refresh statement for a code column, empty for any other column.
    static QString NameRefreshStatement(const QString& column);

private:
    // The row's statement and its parameters, ready to execute.
    void SetRowStatement(const TWriteBackRow& row);
    void ExecuteRow();

    TSQLQuery& FQuery;
    const TChangeStamp& FStamp;
    bool FLastRowChanged = false;
    int FSkipped = 0;
};
