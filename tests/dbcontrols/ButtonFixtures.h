#pragma once

#include "../data/MemoryTable.h"
#include "DBSBtn.h"
#include "TDataSource.h"
#include "TTimer.h"

#include <QPointer>

// A timer driven by hand: Advance(ms) fires it as often as a real one would
// have fired in that time.
class ManualTimer : public TTimer
{
public:
    using TTimer::TTimer;

    void Advance(int ms)
    {
        while (FRunning && ms >= FLeft) {
            ms -= FLeft;
            FLeft = Interval();
            Expired(); // may restart, stop or delete-later this timer
        }
        if (FRunning) FLeft -= ms;
    }
    bool Running() const { return FRunning; }

protected:
    void StartClock(int interval) override
    {
        FRunning = true;
        FLeft = interval;
    }
    void StopClock() override { FRunning = false; }

private:
    bool FRunning = false;
    int FLeft = 0;
};

// A button whose repeat timer is a ManualTimer.
class TestButton : public TDBSpeedButton
{
public:
    using TDBSpeedButton::TDBSpeedButton;
    ManualTimer* Timer() const { return static_cast<ManualTimer*>(RepeatTimer()); }
    int TimersMade = 0;

protected:
    TTimer* CreateRepeatTimer() override
    {
        ++TimersMade;
        return new ManualTimer(this);
    }
};

inline QList<QVariantList> Rows(int count)
{
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i)
        rows.append({QStringLiteral("r%1").arg(i), i, 0.0});
    return rows;
}

// A table of rows r0.. with a data source over it.
struct Table {
    TClientDataSet DataSet;
    TDataSource Source;
    explicit Table(int rows)
    {
        DataSet.setObjectName(QStringLiteral("CDS_Table"));
        Source.setObjectName(QStringLiteral("DS_Table"));
        MakeMemoryTable(DataSet, Rows(rows));
        Source.SetDataSet(&DataSet);
    }
    QString Current() { return DataSet.FieldByName(QStringLiteral("NAME"))->AsString(); }
};
