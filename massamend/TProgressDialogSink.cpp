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
    FDialog = new QProgressDialog(LabelText(0, total), QStringLiteral("停止"), 0, total, FParent);
    FDialog->setWindowTitle(Application()->Title());
    FDialog->setWindowModality(Qt::WindowModal);
    // Closing the box would otherwise leave the run going unseen.
    FDialog->setAutoClose(false);
    FDialog->setAutoReset(false);
    FDialog->setMinimumDuration(FMinimumDuration);
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
    if (!FDialog) return true;
    if (done < FTotal && !waiting && FSinceUpdate.elapsed() < FUpdateInterval)
        return !FDialog->wasCanceled();
    FSinceUpdate.start();
    const QString text = waiting ? WaitingText(done, FTotal) : LabelText(done, FTotal);
    if (text != FShown) {
        FShown = text;
        FDialog->setLabelText(text);
    }
    if (FDialog->value() != done) FDialog->setValue(done);
    return !FDialog->wasCanceled();
}

bool TProgressDialogSink::TakesInput() const
{
    return FDialog && FDialog->isVisible();
}

void TProgressDialogSink::Finish()
{
    delete FDialog.data();
}
