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
    FSinceUpdate.start();
}

bool TProgressDialogSink::Step(int done)
{
    if (!FDialog) return true;
    if (done < FTotal && FSinceUpdate.elapsed() < FUpdateInterval) return !FDialog->wasCanceled();
    FSinceUpdate.start();
    // Once the dialog shows, setValue() also lets the window system run, so
    // that the stop button can be pressed.
    FDialog->setLabelText(LabelText(done, FTotal));
    FDialog->setValue(done);
    return !FDialog->wasCanceled();
}

void TProgressDialogSink::Finish()
{
    delete FDialog.data();
}
