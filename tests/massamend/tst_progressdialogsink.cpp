#include "TProgressDialogSink.h"

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
    QVERIFY(sink.Step(3));
    QProgressDialog* dialog = sink.Dialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->labelText(), QStringLiteral("已寫入 3 / 40 筆"));
    QCOMPARE(dialog->value(), 3);
    QCOMPARE(dialog->maximum(), 40);
    QVERIFY(sink.Step(40));
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
    QVERIFY(sink.Step(1));
    QPushButton* stop = sink.Dialog()->findChild<QPushButton*>();
    QVERIFY(stop);
    QCOMPARE(stop->text(), QStringLiteral("停止"));
    QTest::mouseClick(stop, Qt::LeftButton);
    QVERIFY(!sink.Step(2));
    sink.Finish();
}

void tst_ProgressDialogSink::finishRemovesTheDialog()
{
    QWidget window;
    TProgressDialogSink sink(&window);
    sink.SetMinimumDuration(0);
    sink.SetUpdateInterval(0);
    sink.Start(2);
    QVERIFY(sink.Step(1));
    QPointer<QProgressDialog> dialog = sink.Dialog();
    sink.Finish();
    QVERIFY(dialog.isNull());
    QVERIFY(!sink.Dialog());
    // A new run starts fresh, not stopped.
    sink.Start(2);
    QVERIFY(sink.Step(1));
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
    QVERIFY(sink.Step(1));
    QCOMPARE(dialog->labelText(), TProgressDialogSink::LabelText(0, 5));
    QVERIFY(sink.Step(4));
    QCOMPARE(dialog->value(), 0);
    QVERIFY(sink.Step(5));
    QCOMPARE(dialog->labelText(), TProgressDialogSink::LabelText(5, 5));
    QCOMPARE(dialog->value(), 5);
    dialog->cancel();
    QVERIFY(!sink.Step(5));
    sink.Finish();
}

QTEST_MAIN(tst_ProgressDialogSink)
#include "tst_progressdialogsink.moc"
