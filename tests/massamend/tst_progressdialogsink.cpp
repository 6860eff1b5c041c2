#include "TProgressDialogSink.h"

#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>

class tst_ProgressDialogSink : public QObject
{
    Q_OBJECT

private slots:
    void startsHiddenAndWindowModal();
    void longRunShowsRowsOfTotal();
    void stopButtonEndsRunAfterCurrentRow();
    void finishRemovesTheDialog();
    void betweenUpdatesOnlyTheLastRowAndTheStopButtonCount();
    void waitingRowShowsAtOnce();
    void writingThreadIsNeverStopped();
    void afterAStopTheDialogComesBackOnlyForAWait();
};

void tst_ProgressDialogSink::startsHiddenAndWindowModal()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    QCOMPARE(sink.MinimumDuration(), 500);
    QCOMPARE(sink.UpdateInterval(), 50);
    sink.Start(1000);
    QProgressDialog* dialog = sink.Dialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->minimumDuration(), 500);
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->parentWidget(), &window);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->labelText(), QStringLiteral("已寫入 0 / 1000 筆"));
    sink.Finish();
}

void tst_ProgressDialogSink::longRunShowsRowsOfTotal()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(0);
    sink.Start(40);
    QVERIFY(sink.Update(3, false));
    QProgressDialog* dialog = sink.Dialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->labelText(), QStringLiteral("已寫入 3 / 40 筆"));
    QCOMPARE(dialog->value(), 3);
    QCOMPARE(dialog->maximum(), 40);
    QVERIFY(sink.Update(40, false));
    QCOMPARE(dialog->labelText(), TProgressDialogSink::LabelText(40, 40));
    // Still up at the end: the run closes it.
    QVERIFY(dialog->isVisible());
    sink.Finish();
}

void tst_ProgressDialogSink::stopButtonEndsRunAfterCurrentRow()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(0);
    sink.Start(10);
    QVERIFY(sink.Update(1, false));
    QPushButton* stop = sink.Dialog()->findChild<QPushButton*>();
    QVERIFY(stop);
    QCOMPARE(stop->text(), QStringLiteral("停止"));
    QTest::mouseClick(stop, Qt::LeftButton);
    QVERIFY(!sink.Update(2, false));
    sink.Finish();
}

void tst_ProgressDialogSink::finishRemovesTheDialog()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(0);
    sink.Start(2);
    QVERIFY(sink.Update(1, false));
    QPointer<QProgressDialog> dialog = sink.Dialog();
    sink.Finish();
    QVERIFY(dialog.isNull());
    QVERIFY(!sink.Dialog());
    // A new run starts fresh, not stopped.
    sink.Start(2);
    QVERIFY(sink.Update(1, false));
    sink.Finish();
}

void tst_ProgressDialogSink::betweenUpdatesOnlyTheLastRowAndTheStopButtonCount()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(24 * 60 * 60 * 1000);
    sink.Start(5);
    QProgressDialog* dialog = sink.Dialog();
    QVERIFY(sink.Update(1, false));
    QCOMPARE(dialog->labelText(), TProgressDialogSink::LabelText(0, 5));
    QVERIFY(sink.Update(4, false));
    QCOMPARE(dialog->value(), 0);
    QVERIFY(sink.Update(5, false));
    QCOMPARE(dialog->labelText(), TProgressDialogSink::LabelText(5, 5));
    QCOMPARE(dialog->value(), 5);
    dialog->cancel();
    QVERIFY(!sink.Update(5, false));
    sink.Finish();
}

void tst_ProgressDialogSink::waitingRowShowsAtOnce()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(24 * 60 * 60 * 1000);
    sink.Start(5);
    QProgressDialog* dialog = sink.Dialog();
    QVERIFY(sink.Update(2, true));
    QCOMPARE(dialog->labelText(), QStringLiteral("已寫入 2 / 5 筆\n等待其他使用者…"));
    QCOMPARE(dialog->value(), 2);
    QVERIFY(sink.Update(5, false));
    QCOMPARE(dialog->labelText(), TProgressDialogSink::LabelText(5, 5));
    sink.Finish();
}

// The stop button reaches the run through Update() on the window's thread;
// the writing thread's Step() never touches the dialog.
void tst_ProgressDialogSink::writingThreadIsNeverStopped()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(0);
    sink.Start(5);
    QVERIFY(!sink.TakesInput());
    QVERIFY(sink.Update(1, false));
    QVERIFY(sink.TakesInput());
    sink.Dialog()->cancel();
    QVERIFY(sink.Step(2));
    QVERIFY(!sink.Update(2, false));
    sink.Finish();
    QVERIFY(!sink.TakesInput());
}

// A press asks once: the dialog goes, later rows do not show it again, and
// only what still waits after the stop brings the stop button back.
void tst_ProgressDialogSink::afterAStopTheDialogComesBackOnlyForAWait()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(0);
    sink.Start(10);
    QVERIFY(sink.Update(3, false));
    QTest::mouseClick(sink.Dialog()->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(!sink.Update(4, false));
    QVERIFY(!sink.Dialog());
    QVERIFY(sink.Update(5, false));
    QVERIFY(!sink.Dialog());
    QVERIFY(!sink.TakesInput());

    QVERIFY(sink.Update(5, true));
    QProgressDialog* dialog = sink.Dialog();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->labelText(), TProgressDialogSink::WaitingText(5, 10));
    QVERIFY(sink.TakesInput());
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(!sink.Update(5, true));
    QVERIFY(!sink.Dialog());
    sink.Finish();
    // Outside a run nothing comes back.
    QVERIFY(sink.Update(5, true));
    QVERIFY(!sink.Dialog());
}

QTEST_MAIN(tst_ProgressDialogSink)
#include "tst_progressdialogsink.moc"
