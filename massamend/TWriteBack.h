#pragma once

#include "TSQLDriver.h"
#include "TWriteBackJournal.h"

#include <QString>
#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <random>
#include <vector>

class TChangeStamp;
class TProgressSink;
class TSQLConnection;
class TSQLQuery;

// One listed product of a write-back: its code and the value its column gets;
// for a guarded write-back also the value its column must still hold, and
// whether the write-back it takes back is known to have written it.
struct TWriteBackRow {
    QString Code;
    TSQLParamValue Value;
    TSQLParamValue Expected;
    bool Unproven = false;
};

// How a run ended, decided in one place from what was committed.
enum class TWriteBackOutcome {
    // Every row written, and the names of a code column refreshed.
    Complete,
    // The operator stopped it: rows were left unwritten, or the name refresh
    // was cancelled.
    Stopped,
    // A statement, the journal or the run's own watch failed: Error says why.
    Failed,
    // The application is ending (its window closed, a termination signal):
    // the run stopped as for the operator, and there is no one left to tell.
    Ending,
};

struct TWriteBackResult {
    TWriteBackOutcome Outcome = TWriteBackOutcome::Complete;
    int Total = 0;
    // Rows committed: always the first Written rows of the list.
    int Written = 0;
    // Of those, the rows that their guard kept as they were.
    int Skipped = 0;
    // Statements run again after an update conflict or a deadlock with
    // another workstation.
    int Retries = 0;
    // True when rows were written to a code column whose names were then not
    // refreshed (stopped, failed or ending before the refresh finished).
    bool NamesStale = false;
    std::exception_ptr Error;

    int Changed() const { return Written - Skipped; }
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
// leaves the query, the connection, the journal and the stamp alone. Every
// wait of the writing thread (the journal's read and record, each row, the
// name refresh, the journal's notes) can be cancelled from the window's
// thread once it has lasted WaitThresholdMs.
class TWriteBack
{
public:
    TWriteBack(TSQLQuery& query, const TChangeStamp& stamp);

    // A wait that lasts longer than this is taken to wait for another user's
    // lock: a row's own work takes a few milliseconds.
    static constexpr int WaitThresholdMs = 250;
    // How often the window's thread looks at the run.
    static constexpr int WatchIntervalMs = 20;
    // A row or the name refresh that meets another workstation's concurrent
    // change of the same product (an update conflict, a deadlock, a database
    // busy past its wait) is rolled back and run again in a new transaction
    // after a random pause of RetryPauseMs up to 16 times that, at most this
    // many times in all; then it fails as any other error.
    static constexpr int ConflictTries = 10;
    static constexpr int RetryPauseMs = 10;

    QString Column;
    // Guarded, a row changes only while its column still holds the row's
    // Expected value (nulls compare equal); a row holding another value is
    // left as it is and counted as skipped.
    bool Guarded = false;
    // With a journal, the run reads the listed products' values and records
    // them with this entry, timed when they were read, before its first row;
    // marks every committed row, and at the end marks the rows it never
    // started as not written. A journal that can't record the run fails it
    // with no row written.
    TWriteBackJournal* Journal = nullptr;
    TJournalEntry JournalEntry;
    // Called on the writing thread right after row `index` of the list is
    // committed, counted and noted: what it throws fails the run there.
    std::function<void(int index)> OnRowWritten;
    // Whether the row last committed changed: false when its guard kept it.
    bool LastRowChanged() const { return FLastRowChanged; }

    // Writes the rows until the end, until the operator stops, until a row
    // fails or until the application ends; then, when the list was written
    // whole or any row was written, refreshes the names of a code column.
    // Never throws: the result tells what happened.
    TWriteBackResult Run(const std::vector<TWriteBackRow>& rows, TProgressSink& progress);
    // The journal entry of the last run; 0 when it journaled nothing.
    qint64 JournalId() const { return FJournalId; }

    // The refresh statement for a code column, empty for any other column.
    static QString NameRefreshStatement(const QString& column);
    // The name column that refresh sets, empty for any other column.
    static QString NameColumn(const QString& column);

private:
    // What the writing thread waits on, and so what a cancel reaches.
    enum class TWaitTarget { Database, Journal };
    // Thrown on the writing thread when a wait was cancelled.
    struct TCancelled {
    };

    // The rows' statement, the same text for every row.
    void SetStatement();
    // The row's values in the statement's parameters.
    void SetRowValues(const TWriteBackRow& row);
    void ExecuteRow();
    // The name refresh of the column, when it has one; nothing otherwise.
    void RefreshNames();

    // The writing thread: the journal's record, the rows, the refresh, the
    // notes. A failure is kept in FError.
    void Write(const std::vector<TWriteBackRow>& rows, TProgressSink& progress);
    void WriteRows(const std::vector<TWriteBackRow>& rows, TProgressSink& progress);
    void FinishJournal(int total);
    // Runs f as one wait on target. An operator's stop cancels it only when
    // stoppedBefore is true or the stop came while it ran.
    template <typename F> void Await(TWaitTarget target, bool stoppedBefore, F&& f);
    // Runs f until it succeeds, fails otherwise than by a conflict, or has
    // used its tries.
    template <typename F> void Retried(F&& f);
    // Whether the wait under way was cancelled.
    bool WaitCancelled();
    void KeepError(std::exception_ptr error);

    // The window's thread until the writing thread is done.
    void Watch(TProgressSink& progress);
    // Until the writing thread is done, without an event loop: the
    // application ends, or the watch failed.
    void Drain();
    // One look: asks the progress (when given) whether to go on, and cancels
    // a wait that is due.
    void Look(TProgressSink* progress);
    bool Waiting() const;
    void RequestStop();
    void CancelIfDue();

    TSQLQuery& FQuery;
    const TChangeStamp& FStamp;
    std::atomic<int> FWritten{0};
    std::atomic<int> FSkipped{0};
    std::atomic<bool> FStop{false};
    std::atomic<bool> FEnding{false};
    std::atomic<bool> FDone{false};
    // When the wait under way started, in ms of a steady clock; -1 between
    // waits.
    std::atomic<qint64> FWaitStarted{-1};

    // Held while a wait begins or ends and while a cancel is sent, so that a
    // cancel reaches the wait it was meant for or nothing.
    std::mutex FWaitMutex;
    int FWaitCount = 0;
    // The wait under way, 0 between waits.
    int FWaitId = 0;
    TWaitTarget FWaitTarget = TWaitTarget::Database;
    bool FWaitStoppedBefore = true;
    int FCancelledId = 0;
    // The number of waits begun when the operator last asked to stop; -1
    // before.
    int FStopAt = -1;

    // Written by the writing thread; read there or once it has ended.
    std::exception_ptr FError;
    bool FCancelled = false;
    bool FNamesRefreshed = false;
    bool FRowInDoubt = false;
    int FRetries = 0;
    std::minstd_rand FRandom;
    bool FLastRowChanged = false;
    qint64 FJournalId = 0;
};
