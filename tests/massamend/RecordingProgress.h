#pragma once

#include "TProgressSink.h"

#include <QList>
#include <atomic>

// A progress sink that records the run and plays the operator who presses
// the stop button once StopAfter rows are done, or, with StopWhenWaiting, as
// soon as a row waits for another user's lock. Steps is written by the
// writing thread and read once the run is over.
class RecordingProgress : public TProgressSink
{
public:
    void Start(int total) override { Starts.append(total); }
    bool Step(int done) override
    {
        Steps.append(done);
        return done != StopAfter;
    }
    bool Update(int done, bool waiting) override
    {
        if (waiting) ++Waits;
        return !(waiting && StopWhenWaiting);
    }
    void Finish() override { ++Finishes; }

    int StopAfter = -1;
    bool StopWhenWaiting = false;
    QList<int> Starts;
    QList<int> Steps;
    int Waits = 0;
    int Finishes = 0;
};
