#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// A timer that raises OnTimer every Interval() ms while enabled. It is
// created disabled. The clock is virtual so that a test can drive it by hand.
class TTimer : public QObject
{
public:
    explicit TTimer(QObject* owner = nullptr);

    int Interval() const { return FInterval; }
    // A running timer starts counting the new interval afresh.
    void SetInterval(int interval);
    bool Enabled() const { return FEnabled; }
    // Enabling a running timer again does not restart its count.
    void SetEnabled(bool enabled);

    std::function<void()> OnTimer;

protected:
    virtual void StartClock(int interval);
    virtual void StopClock();
    // Raises OnTimer; an exception ends up in the application's error box.
    void Expired();

private:
    QTimer FClock;
    int FInterval = 1000;
    bool FEnabled = false;
};
