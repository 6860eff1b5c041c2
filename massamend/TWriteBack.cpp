#include "TWriteBack.h"

#include "Exceptions.h"
#include "TChangeStamp.h"
#include "TProgressSink.h"
#include "TSQLQuery.h"
#include "TWriteBackSnapshot.h"

#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

namespace
{

// The loop's exit code when the watch asks to look again.
constexpr int LookAgain = 1;

qint64 SteadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One run of a progress sink, finished however the run ends.
class TProgressRun
{
public:
    TProgressRun(TProgressSink& sink, int total) : FSink(sink) { FSink.Start(total); }
    ~TProgressRun() { FSink.Finish(); }
    TProgressRun(const TProgressRun&) = delete;
    TProgressRun& operator=(const TProgressRun&) = delete;

private:
    TProgressSink& FSink;
};

} // namespace

TWriteBack::TWriteBack(TSQLQuery& query, const TChangeStamp& stamp)
    : FQuery(query), FStamp(stamp), FRandom(std::random_device()())
{
}

TWriteBackResult TWriteBack::Run(const std::vector<TWriteBackRow>& rows, TProgressSink& progress)
{
    FWritten = 0;
    FSkipped = 0;
    FStop = false;
    FEnding = false;
    FDone = false;
    FWaitStarted = -1;
    FWaitCount = FWaitId = FCancelledId = 0;
    FStopAt = -1;
    FError = nullptr;
    FCancelled = false;
    FNamesRefreshed = false;
    FRowInDoubt = false;
    FRetries = 0;
    FJournalId = 0;
    const int total = int(rows.size());
    std::exception_ptr watchError;
    {
        TProgressRun run(progress, total);
        // The code goes in as a parameter, so every row's statement has the
        // same text and is prepared once for the whole list.
        TStatementReuse reuse(*FQuery.SQLConnection());
        // Only a guard asks whether a row changed: on a server the count
        // would add a round trip to every row.
        const bool counted = FQuery.CountRows();
        FQuery.SetCountRows(Guarded);
        const auto restore = qScopeGuard([&] { FQuery.SetCountRows(counted); });
        std::thread writer([&] {
            Write(rows, progress);
            FDone = true;
        });
        try {
            Watch(progress);
        } catch (...) {
            // The writing thread must end before its rows and this object go.
            watchError = std::current_exception();
            RequestStop();
            Drain();
        }
        writer.join();
    }
    if (watchError && !FError) FError = watchError;

    TWriteBackResult result;
    result.Total = total;
    result.Written = FWritten;
    result.Skipped = FSkipped;
    result.Error = FError;
    result.Retries = FRetries;
    result.NamesStale =
        !NameRefreshStatement(Column).isEmpty() && result.Written > 0 && !FNamesRefreshed;
    if (FEnding)
        result.Outcome = TWriteBackOutcome::Ending;
    else if (FError)
        result.Outcome = TWriteBackOutcome::Failed;
    else if (result.Written < total || result.NamesStale || FCancelled)
        result.Outcome = TWriteBackOutcome::Stopped;
    else
        result.Outcome = TWriteBackOutcome::Complete;
    return result;
}

template <typename F> void TWriteBack::Await(TWaitTarget target, bool stoppedBefore, F&& f)
{
    int id = 0;
    {
        const std::lock_guard lock(FWaitMutex);
        id = FWaitId = ++FWaitCount;
        FWaitTarget = target;
        FWaitStoppedBefore = stoppedBefore;
        FWaitStarted = SteadyMs();
    }
    const auto leave = [&] {
        const std::lock_guard lock(FWaitMutex);
        FWaitId = 0;
        FWaitStarted = -1;
        return FCancelledId == id;
    };
    try {
        std::forward<F>(f)();
    } catch (...) {
        // A cancelled statement changed nothing; any other error stands.
        if (leave()) throw TCancelled();
        throw;
    }
    leave();
}

template <typename F> void TWriteBack::Retried(F&& f)
{
    for (int attempt = 1;; ++attempt) {
        try {
            f();
            return;
        } catch (const ESQLConflict&) {
            // Another workstation's change of the same row won: the
            // statement rolled back, and it runs again after a pause that
            // keeps two retrying workstations from meeting again, unless the
            // operator stopped it meanwhile.
            if (attempt >= ConflictTries || WaitCancelled()) throw;
        }
        ++FRetries;
        const int pauseMs = std::uniform_int_distribution<int>(
            RetryPauseMs, RetryPauseMs * (1 << std::min(attempt, 4)))(FRandom);
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        if (WaitCancelled()) throw TCancelled();
    }
}

bool TWriteBack::WaitCancelled()
{
    const std::lock_guard lock(FWaitMutex);
    return FWaitId != 0 && FCancelledId == FWaitId;
}

void TWriteBack::KeepError(std::exception_ptr error)
{
    if (!FError) FError = error;
}

void TWriteBack::Write(const std::vector<TWriteBackRow>& rows, TProgressSink& progress)
{
    try {
        WriteRows(rows, progress);
    } catch (const TCancelled&) {
        FCancelled = true;
    } catch (...) {
        KeepError(std::current_exception());
    }
    // Codes written without their names would disagree with them: the
    // refresh follows any run that wrote a row, and the operator's earlier
    // stop does not cancel it.
    const bool whole = !FError && !FCancelled && FWritten == int(rows.size());
    if ((whole || FWritten > 0) && !NameRefreshStatement(Column).isEmpty()) {
        try {
            Await(TWaitTarget::Database, false, [this] { Retried([this] { RefreshNames(); }); });
            FNamesRefreshed = true;
        } catch (const TCancelled&) {
            FCancelled = true;
        } catch (...) {
            KeepError(std::current_exception());
        }
    }
    FinishJournal(int(rows.size()));
}

void TWriteBack::WriteRows(const std::vector<TWriteBackRow>& rows, TProgressSink& progress)
{
    const int total = int(rows.size());
    if (Journal) {
        std::vector<TJournalRow> before;
        Await(TWaitTarget::Database, true, [&] {
            before = TWriteBackSnapshot::JournalRows(*FQuery.SQLConnection(), Column, rows);
        });
        // The entry's time is when the values from before were read: two
        // workstations' write-backs of the same products are taken back in
        // the order of these times, newest first.
        JournalEntry.When = FStamp.Clock ? FStamp.Clock() : QDateTime::currentDateTime();
        Await(TWaitTarget::Journal, true,
              [&] { FJournalId = Journal->Begin(JournalEntry, before); });
    }
    // Every row runs the same text: only its values change.
    SetStatement();
    for (int index = 0; index < total && !FStop; ++index) {
        try {
            Await(TWaitTarget::Database, true, [&] {
                // Each try is stamped anew: the row gets the stamps of the
                // one that commits.
                Retried([&] {
                    SetRowValues(rows[std::size_t(index)]);
                    ExecuteRow();
                });
            });
        } catch (const ESQLConnectionLost&) {
            // Its commit may have gone through before the answer was lost.
            FRowInDoubt = true;
            throw;
        }
        // Committed: counted before anything else can fail.
        FWritten = index + 1;
        if (FJournalId)
            Await(TWaitTarget::Journal, true, [&] {
                Journal->Mark(FJournalId, index,
                              FLastRowChanged ? TJournalRowState::Written
                                              : TJournalRowState::Skipped);
            });
        if (OnRowWritten) OnRowWritten(index);
        if (!progress.Step(index + 1)) RequestStop();
    }
}

void TWriteBack::FinishJournal(int total)
{
    if (!FJournalId) return;
    try {
        // Rows never started, refused or cancelled are known unwritten. A row
        // whose connection was lost stays pending: its statement may have
        // committed before the answer was lost, and an undo's guard decides.
        const int started = FWritten + (FRowInDoubt ? 1 : 0);
        Await(TWaitTarget::Journal, false, [&] {
            Journal->MarkRange(FJournalId, std::min(started, total), total,
                               TJournalRowState::NotWritten);
            Journal->Flush();
        });
    } catch (const TCancelled&) {
        // Left pending, the rows are still taken back by an undo.
    } catch (...) {
        KeepError(std::current_exception());
    }
}

void TWriteBack::RequestStop()
{
    const std::lock_guard lock(FWaitMutex);
    FStopAt = FWaitCount;
    FStop = true;
}

bool TWriteBack::Waiting() const
{
    const qint64 started = FWaitStarted;
    return started >= 0 && SteadyMs() - started > WaitThresholdMs;
}

void TWriteBack::CancelIfDue()
{
    const std::lock_guard lock(FWaitMutex);
    if (FWaitId == 0 || FCancelledId == FWaitId || !Waiting()) return;
    const bool stopped = FStop && (FWaitStoppedBefore || FStopAt >= FWaitId);
    if (!FEnding && !stopped) return;
    FCancelledId = FWaitId;
    if (FWaitTarget == TWaitTarget::Journal)
        Journal->Cancel();
    else
        FQuery.SQLConnection()->Cancel();
}

void TWriteBack::Look(TProgressSink* progress)
{
    CancelIfDue();
    if (!progress) return;
    bool waiting = false;
    {
        // A wait already cancelled is no longer the operator's to stop.
        const std::lock_guard lock(FWaitMutex);
        waiting = FWaitId != 0 && FCancelledId != FWaitId && Waiting();
    }
    if (progress->Update(FWritten, waiting)) return;
    RequestStop();
    CancelIfDue();
}

void TWriteBack::Watch(TProgressSink& progress)
{
    QEventLoop loop;
    bool takesInput = false;
    bool inside = false;
    // Nothing may cross into Qt: what the look throws ends the watch.
    std::exception_ptr failure;
    const auto look = [&] {
        // A modal progress dialog lets events run while it updates.
        if (inside || failure) return;
        inside = true;
        const auto outside = qScopeGuard([&] { inside = false; });
        try {
            Look(&progress);
        } catch (...) {
            failure = std::current_exception();
        }
        if (FDone || failure || progress.TakesInput() != takesInput) loop.exit(LookAgain);
    };
    QTimer watch;
    watch.setInterval(WatchIntervalMs);
    QObject::connect(&watch, &QTimer::timeout, look);
    watch.start();
    while (!FDone) {
        takesInput = progress.TakesInput();
        // Until the progress takes the operator's input, clicks wait, so
        // that no other handler starts on the connection in use.
        const QEventLoop::ProcessEventsFlags flags =
            takesInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        // Any other end is the application's, which ends every loop at once
        // from now on: the window closed or a termination signal came.
        if (loop.exec(flags) != LookAgain) {
            FEnding = true;
            RequestStop();
            watch.stop();
            Drain();
            return;
        }
        if (failure) std::rethrow_exception(failure);
    }
    look();
    if (failure) std::rethrow_exception(failure);
}

void TWriteBack::Drain()
{
    while (!FDone) {
        Look(nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(WatchIntervalMs));
    }
}

void TWriteBack::SetStatement()
{
    FQuery.Close();
    FQuery.SQL().Clear();
    FQuery.SQL().Add(
        QStringLiteral("UPDATE PRODUCT SET CHG_DATE = :chg_date, chg_time=:chg_time , "));
    FQuery.SQL().Add(Column + QStringLiteral(" = :V "));
    FQuery.SQL().Add(QStringLiteral(" where PROD_ID = :PROD_ID"));
    if (Guarded)
        FQuery.SQL().Add(QStringLiteral(" and ") + Column +
                         QStringLiteral(" IS NOT DISTINCT FROM :W"));
}

void TWriteBack::SetRowValues(const TWriteBackRow& row)
{
    FQuery.ParamByName(QStringLiteral("chg_date")).SetAsString(FStamp.ChangeDate());
    FQuery.ParamByName(QStringLiteral("chg_time")).SetAsString(FStamp.ChangeTime());
    TParam& v = FQuery.ParamByName(QStringLiteral("V"));
    if (row.Value)
        v.SetAsString(*row.Value);
    else
        v.Clear();
    FQuery.ParamByName(QStringLiteral("PROD_ID")).SetAsString(row.Code);
    if (!Guarded) return;
    TParam& w = FQuery.ParamByName(QStringLiteral("W"));
    if (row.Expected)
        w.SetAsString(*row.Expected);
    else
        w.Clear();
}

void TWriteBack::ExecuteRow()
{
    FQuery.ExecSQL();
    FLastRowChanged = !Guarded || FQuery.RowsAffected() > 0;
    if (!FLastRowChanged) ++FSkipped;
}

QString TWriteBack::NameRefreshStatement(const QString& column)
{
    if (column == QLatin1String("PROVIDER_ID"))
        return QStringLiteral("UPDATE PRODUCT SET PROVIDER_NAME = (SELECT PROVIDER_NAME FROM "
                              "PROVIDER WHERE PROVIDER_ID = PRODUCT.PROVIDER_ID) ");
    if (column == QLatin1String("PD_ITEMID"))
        return QStringLiteral("UPDATE PRODUCT SET PD_ITEMNAME = (SELECT PD_ITEMNAME FROM "
                              "PROD_ITEM WHERE PD_ITEMID = PRODUCT.PD_ITEMID) ");
    if (column == QLatin1String("PD_CLASSID"))
        return QStringLiteral("UPDATE PRODUCT SET PD_CLASSNAME = (SELECT PD_CLASSNAME FROM "
                              "PROD_CLASS WHERE PD_CLASSID = PRODUCT.PD_CLASSID) ");
    return {};
}

QString TWriteBack::NameColumn(const QString& column)
{
    if (column == QLatin1String("PROVIDER_ID")) return QStringLiteral("PROVIDER_NAME");
    if (column == QLatin1String("PD_ITEMID")) return QStringLiteral("PD_ITEMNAME");
    if (column == QLatin1String("PD_CLASSID")) return QStringLiteral("PD_CLASSNAME");
    return {};
}

void TWriteBack::RefreshNames()
{
    FQuery.Close();
    FQuery.SQL().SetText(NameRefreshStatement(Column));
    FQuery.ExecSQL();
}
