#include "TProgressDialogSink.h"

#include "TApplication.h"

#include <QProgressDialog>

TProgressDialogSink::TProgressDialogSink(QWidget* parent) : FParent(parent) {}

TProgressDialogSink::~TProgressDialogSink()
{
    Finish();
}

QString TProgressDialogSink::LabelText(int done, int total)
{
    return QStringLiteral("已寫入 %1 / %2 筆").arg(done).arg(total);
}

QString TProgressDialogSink::WaitingText(int done, int total)
{
    return LabelText(done, total) + QStringLiteral("\n等待其他使用者…");
}

void TProgressDialogSink::Start(int total)
{
    Finish();
    FTotal = total;
    FRunning = true;
    ShowDialog(LabelText(0, total), FMinimumDuration);
}

void TProgressDialogSink::ShowDialog(const QString& text, int minimumDuration)
{
    FDialog = new QProgressDialog(text, QStringLiteral("停止"), 0, FTotal, FParent);
    FDialog->setWindowTitle(Application()->Title());
    FDialog->setWindowModality(Qt::WindowModal);
    // Closing the box would otherwise leave the run going unseen.
    FDialog->setAutoClose(false);
    FDialog->setAutoReset(false);
    FDialog->setMinimumDuration(minimumDuration);
    FDialog->setValue(0);
    FShown = FDialog->labelText();
    FSinceUpdate.start();
}

bool TProgressDialogSink::Step(int done)
{
    // The writing thread never touches the dialog: Update() shows the rows.
    return true;
}

bool TProgressDialogSink::Update(int done, bool waiting)
{
    if (!FDialog) {
        // After a stop the run only finishes, unseen, unless what finishes
        // it waits: then the operator gets the stop button back.
        if (!FRunning || !waiting) return true;
        ShowDialog(WaitingText(done, FTotal), 0);
    }
    if (Pressed()) return false;
    if (done < FTotal && !waiting && FSinceUpdate.elapsed() < FUpdateInterval) return true;
    FSinceUpdate.start();
    const QString text = waiting ? WaitingText(done, FTotal) : LabelText(done, FTotal);
    if (text != FShown) {
        FShown = text;
        FDialog->setLabelText(text);
    }
    // A modal dialog takes the operator's clicks while it updates.
    if (FDialog->value() != done) FDialog->setValue(done);
    return !Pressed();
}

bool TProgressDialogSink::Pressed()
{
    // A press is one request to stop; the dialog goes with it.
    if (!FDialog->wasCanceled()) return false;
    delete FDialog.data();
    return true;
}

bool TProgressDialogSink::TakesInput() const
{
    return FDialog && FDialog->isVisible();
}

void TProgressDialogSink::Finish()
{
    FRunning = false;
    delete FDialog.data();
}
