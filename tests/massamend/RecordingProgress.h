#pragma once

#include "TProgressSink.h"

#include <QList>
#include <atomic>
#include <functional>

// A progress sink that records the run and plays the operator who presses
// the stop button once StopAfter rows are done, or, with StopWhenWaiting, as
// soon as something waits for another user's lock: every time, or with
// StopOnce only the first time. Steps is written by the writing thread and
// read once the run is over.
class RecordingProgress : public TProgressSink
{
public:
    void Start(int total) override { Starts.append(total); }
    bool Step(int done) override
    {
        Steps.append(done);
        if (OnStep) OnStep(done);
        return done != StopAfter;
    }
    bool Update(int done, bool waiting) override
    {
        if (OnUpdate) OnUpdate(done, waiting);
        if (waiting) ++Waits;
        if (!waiting || !StopWhenWaiting || (StopOnce && Stops > 0)) return true;
        ++Stops;
        if (OnStop) OnStop();
        return false;
    }
    void Finish() override { ++Finishes; }

    int StopAfter = -1;
    bool StopWhenWaiting = false;
    bool StopOnce = false;
    // On the writing thread, after each row's step.
    std::function<void(int done)> OnStep;
    // On the window's thread, at every update and right after a press.
    std::function<void(int done, bool waiting)> OnUpdate;
    std::function<void()> OnStop;
    QList<int> Starts;
    QList<int> Steps;
    int Waits = 0;
    int Stops = 0;
    int Finishes = 0;
};
