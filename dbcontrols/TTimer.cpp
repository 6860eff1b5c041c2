#include "TTimer.h"

#include "TApplication.h"

TTimer::TTimer(QObject* owner) : QObject(owner)
{
    connect(&FClock, &QTimer::timeout, this, [this] { Expired(); });
}

void TTimer::SetInterval(int interval)
{
    if (interval == FInterval) return;
    FInterval = interval;
    if (FEnabled) {
        StopClock();
        StartClock(FInterval);
    }
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    if (enabled)
        StartClock(FInterval);
    else
        StopClock();
}

void TTimer::StartClock(int interval)
{
    FClock.start(interval);
}

void TTimer::StopClock()
{
    FClock.stop();
}

void TTimer::Expired()
{
    Application()->Guard([&] {
        // The handler may replace OnTimer or have the timer deleted later.
        const auto handler = OnTimer;
        if (handler) handler();
    });
}
