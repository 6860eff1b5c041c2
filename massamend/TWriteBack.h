#pragma once

#include "TSQLDriver.h"

#include <QString>
#include <atomic>
#include <exception>
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
//
// Run() writes the rows on a thread of its own, so that the window keeps
// painting and its progress keeps answering while a row waits for another
// user's lock; the window's thread meanwhile only runs its event loop and
// leaves the query, the connection and the stamp alone.
class TWriteBack
{
public:
    TWriteBack(TSQLQuery& query, const TChangeStamp& stamp);

    // A row that runs longer than this is taken to wait for another user's
    // lock: a row's own work takes a few milliseconds.
    static constexpr int WaitThresholdMs = 250;
    // How often the window's thread looks at the run.
    static constexpr int WatchIntervalMs = 20;

    QString Column;
    // Guarded, a row changes only while its column still holds the row's
    // Expected value (nulls compare equal); a row holding another value is
    // left as it is and counted as skipped.
    bool Guarded = false;
    // Called on the writing thread before the first row, the progress
    // already under way: work that must precede every row (the journal's)
    // without holding up the window. What it throws fails the run with no
    // row written.
    std::function<void()> OnStart;
    // Called on the writing thread right after row `index` of the list is
    // committed, before the next row starts.
    std::function<void(int index)> OnRowWritten;
    // Whether the row last committed changed: false when its guard kept it.
    bool LastRowChanged() const { return FLastRowChanged; }
    // Rows of the last run that their guard kept.
    int Skipped() const { return FSkipped; }

    // Writes the rows until the end, until the progress sink asks to stop or
    // until a row fails: the failure is thrown, and the rows before it stay
    // written. Then, unless a row failed, refreshes the names of a code
    // column. A statement cancelled because the operator stopped while it
    // waited changes nothing and is no failure. Returns the number of rows
    // written; Written() tells it after a failure too.
    int Run(const std::vector<TWriteBackRow>& rows, TProgressSink& progress);
    int Written() const { return FWritten; }
    // True when the operator's stop left rows unwritten or cancelled the
    // name refresh.
    bool Stopped() const { return FStopped; }
    // True when the application was asked to end while the run went (its
    // window closed, a termination signal): the run stopped as for the
    // operator, and there is no one left to tell.
    bool ApplicationEnding() const { return FApplicationEnding; }

    // The refresh statement for a code column, empty for any other column.
    static QString NameRefreshStatement(const QString& column);

private:
    // The rows' statement, the same text for every row.
    void SetStatement();
    // The row's values in the statement's parameters.
    void SetRowValues(const TWriteBackRow& row);
    // The name refresh of the column, when it has one; nothing otherwise.
    void RefreshNames();
    // The writing thread's loop; a failure is kept in FError.
    void Write(const std::vector<TWriteBackRow>& rows, TProgressSink& progress);
    // The window's thread until the writing thread is done.
    void Watch(TProgressSink& progress);
    bool Waiting() const;
    void ExecuteRow();

    TSQLQuery& FQuery;
    const TChangeStamp& FStamp;
    std::atomic<int> FWritten{0};
    // When the row under way started, in ms of a steady clock; -1 between rows.
    std::atomic<qint64> FRowStarted{-1};
    std::atomic<bool> FStop{false};
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FDone{false};
    // Set by the writing thread, read once it has ended.
    bool FStopped = false;
    bool FApplicationEnding = false;
    std::exception_ptr FError;
    // Written by the writing thread; read there or once it has ended.
    bool FLastRowChanged = false;
    int FSkipped = 0;
};
