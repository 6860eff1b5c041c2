#include "TWriteBack.h"

#include "TChangeStamp.h"
#include "TProgressSink.h"
#include "TSQLQuery.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
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
    bool Step(int done) { return FSink.Step(done); }

private:
    TProgressSink& FSink;
};

} // namespace

TWriteBack::TWriteBack(TSQLQuery& query, const TChangeStamp& stamp) : FQuery(query), FStamp(stamp)
{
}

int TWriteBack::Run(const std::vector<TWriteBackRow>& rows, TProgressSink& progress)
{
    FWritten = 0;
    FRowStarted = -1;
    FStop = false;
    FCancelled = false;
    FDone = false;
    FStopped = false;
    FApplicationEnding = false;
    FError = nullptr;
    FSkipped = 0;
    TProgressRun run(progress, int(rows.size()));
    // The code goes in as a parameter, so every row's statement has the same
    // text and is prepared once for the whole list.
    TStatementReuse reuse(*FQuery.SQLConnection());
    // Only a guard asks whether a row changed: on a server the count would
    // add a round trip to every row.
    const bool counted = FQuery.CountRows();
    FQuery.SetCountRows(Guarded);
    const auto restore = qScopeGuard([&] { FQuery.SetCountRows(counted); });
    // The watch sees the end at its next look.
    std::thread writer([&] {
        Write(rows, progress);
        FDone = true;
    });
    Watch(progress);
    writer.join();
    if (FError) std::rethrow_exception(FError);
    return FWritten;
}

void TWriteBack::Write(const std::vector<TWriteBackRow>& rows, TProgressSink& progress)
{
    const int total = int(rows.size());
    int written = 0;
    try {
        if (OnStart) OnStart();
        // Every row runs the same text: only its values change.
        SetStatement();
        while (written < total && !FStop) {
            FRowStarted = SteadyMs();
            SetRowValues(rows[std::size_t(written)]);
            ExecuteRow();
            FRowStarted = -1;
            if (OnRowWritten) OnRowWritten(written);
            FWritten = ++written;
            if (!progress.Step(written)) break;
        }
        FStopped = written < total;
        // Stopped by the operator: the rows written so far keep names that
        // match them.
        FRowStarted = SteadyMs();
        RefreshNames();
        FRowStarted = -1;
    } catch (...) {
        FRowStarted = -1;
        // The operator's stop cancelled the statement: it changed nothing,
        // and the run ends as stopped.
        if (FCancelled)
            FStopped = true;
        else
            FError = std::current_exception();
    }
}

bool TWriteBack::Waiting() const
{
    const qint64 started = FRowStarted;
    return started >= 0 && SteadyMs() - started > WaitThresholdMs;
}

void TWriteBack::Watch(TProgressSink& progress)
{
    QEventLoop loop;
    bool takesInput = false;
    bool inside = false;
    const auto look = [&] {
        // A modal progress dialog lets events run while it updates.
        if (inside) return;
        inside = true;
        const bool waiting = Waiting();
        if (!progress.Update(FWritten, waiting)) FStop = true;
        // Only a row that waits is cancelled: one that is about to commit
        // is left to finish, and a cancel must not outlive its row.
        if (FStop && waiting) {
            FCancelled = true;
            FQuery.SQLConnection()->Cancel();
        }
        if (FDone || progress.TakesInput() != takesInput) loop.exit(LookAgain);
        inside = false;
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
        // Any other end is the application's, which ends every loop: the
        // window closed or a termination signal came.
        if (loop.exec(flags) != LookAgain) {
            FStop = true;
            FApplicationEnding = true;
        }
    }
    look();
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

void TWriteBack::RefreshNames()
{
    const QString statement = NameRefreshStatement(Column);
    if (statement.isEmpty()) return;
    FQuery.Close();
    FQuery.SQL().SetText(statement);
    FQuery.ExecSQL();
}
