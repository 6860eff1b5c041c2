#pragma once

// Where a long run over rows reports how far it got and learns whether the
// operator asked it to stop. Start() and Finish() bracket one run.
class TProgressSink
{
public:
    virtual ~TProgressSink() = default;

    virtual void Start(int total) = 0;
    // done rows of the total are finished; false when the operator asked to
    // stop, so that the run ends before the next row.
    virtual bool Step(int done) = 0;
    virtual void Finish() = 0;
};
