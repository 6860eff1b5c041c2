#pragma once

// Where a write-back that runs on a thread of its own shows how far it got
// and learns whether the operator asked it to stop. Start(), Update() and
// Finish() are called on the window's thread and bracket one run; Step() on
// the thread that writes.
class TProgressSink
{
public:
    virtual ~TProgressSink() = default;

    virtual void Start(int total) = 0;
    // On the writing thread, once done rows are written: false stops the run
    // before the next row.
    virtual bool Step(int done) = 0;
    // On the window's thread, several times a second while the run goes:
    // done rows are written, and waiting is true while the statement under
    // way has been waiting, most likely for another user's lock. False each
    // time the operator asks to stop: no row starts after it, and what waits
    // is cancelled and stays unwritten. A stop does not cancel the name
    // refresh or the journal's last notes that follow it unless it is asked
    // again while they wait.
    virtual bool Update(int done, bool waiting) = 0;
    // True while the operator can act on the progress (a dialog on screen);
    // until then the window's mouse and keys wait, so that nothing else
    // starts while the run goes.
    virtual bool TakesInput() const { return false; }
    virtual void Finish() = 0;
};
