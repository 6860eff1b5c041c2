#pragma once

#include "TProgressSink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

class QWidget;

// Progress in a window-modal dialog that appears once the run has gone on for
// MinimumDuration() (half a second), showing rows done of the total, with a
// button that asks the run to stop after the current row, or at once when
// that row waits for another user. Its text is brought up to date at most
// every UpdateInterval() (50 ms) and at the last row: redrawing it for every
// row would cost more than a row's statement. A press closes the dialog; it
// comes back only if what the run still does after the stop (the name
// refresh, the journal's notes) waits, so that the operator can stop that too.
class TProgressDialogSink : public TProgressSink
{
public:
    explicit TProgressDialogSink(QWidget* parent);
    ~TProgressDialogSink() override;

    int MinimumDuration() const { return FMinimumDuration; }
    void SetMinimumDuration(int milliseconds) { FMinimumDuration = milliseconds; }
    int UpdateInterval() const { return FUpdateInterval; }
    void SetUpdateInterval(int milliseconds) { FUpdateInterval = milliseconds; }

    void Start(int total) override;
    bool Step(int done) override;
    bool Update(int done, bool waiting) override;
    bool TakesInput() const override;
    void Finish() override;

    // The dialog of the run in progress, null outside a run and after a stop.
    QProgressDialog* Dialog() const { return FDialog; }
    static QString LabelText(int done, int total);
    // The text while the row under way waits for another user's lock.
    static QString WaitingText(int done, int total);

private:
    void ShowDialog(const QString& text, int minimumDuration);
    bool Pressed();

    QWidget* FParent;
    bool FRunning = false;
    QPointer<QProgressDialog> FDialog;
    int FMinimumDuration = 500;
    int FUpdateInterval = 50;
    int FTotal = 0;
    QElapsedTimer FSinceUpdate;
    QString FShown;
};
