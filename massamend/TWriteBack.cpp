#include "TWriteBack.h"

#include "TChangeStamp.h"
#include "TProgressSink.h"
#include "TSQLQuery.h"

namespace
{

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
    const int total = int(rows.size());
    int written = 0;
    FSkipped = 0;
    TProgressRun run(progress, total);
    // The code goes in as a parameter, so every row's statement has the same
    // text and is prepared once for the whole list.
    TStatementReuse reuse(*FQuery.SQLConnection());
    bool go = true;
    while (go && written < total) {
        SetRowStatement(rows[std::size_t(written)]);
        ExecuteRow();
        if (OnRowWritten) OnRowWritten(written);
        ++written;
        go = run.Step(written);
    }
    return written;
}

void TWriteBack::SetRowStatement(const TWriteBackRow& row)
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
