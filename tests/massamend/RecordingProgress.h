#pragma once

#include "TProgressSink.h"

#include <QList>

// A progress sink that records the run and plays the operator who presses
// the stop button once StopAfter rows are done.
class RecordingProgress : public TProgressSink
{
public:
    void Start(int total) override { Starts.append(total); }
    bool Step(int done) override
    {
        Steps.append(done);
        return done != StopAfter;
    }
    void Finish() override { ++Finishes; }

    int StopAfter = -1;
    QList<int> Starts;
    QList<int> Steps;
    int Finishes = 0;
};
