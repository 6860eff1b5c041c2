#include "Getdata.h"
#include "TMessageService.h"
#include "TRecordingMessages.h"
#include "TTerminationSignals.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <atomic>

namespace
{

std::atomic<int> EarlierHandlerCalls{0};

void EarlierHandler(int)
{
    ++EarlierHandlerCalls;
}

// Runs the message loop, raising signal once it runs; false when the loop
// did not end within a few seconds.
bool LoopEndsOn(int signal)
{
    QTimer::singleShot(0, [signal] { ::raise(signal); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(5000);
    return QCoreApplication::exec() == 0 && !timedOut;
}

} // namespace

// A logout or a kill ends the message loop as a normal close does, also
// where a library had put handlers of its own that keep the process running.
class tst_TerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    void endsTheMessageLoop_data();
    void endsTheMessageLoop();
    void earlierHandlersComeBackAfterwards();
    void openQueryDialogAcceptsNothing();
};

void tst_TerminationSignals::endsTheMessageLoop_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void tst_TerminationSignals::endsTheMessageLoop()
{
    QFETCH(int, signal);
    // As the database engine does when it loads: the signal is caught and
    // the process goes on.
    struct sigaction engine = {};
    engine.sa_handler = &EarlierHandler;
    sigemptyset(&engine.sa_mask);
    struct sigaction before = {};
    ::sigaction(signal, &engine, &before);
    EarlierHandlerCalls = 0;
    {
        const TTerminationSignals terminationSignals;
        QVERIFY(LoopEndsOn(signal));
    }
    QCOMPARE(EarlierHandlerCalls.load(), 0);
    ::sigaction(signal, &before, nullptr);
}

void tst_TerminationSignals::earlierHandlersComeBackAfterwards()
{
    struct sigaction engine = {};
    engine.sa_handler = &EarlierHandler;
    sigemptyset(&engine.sa_mask);
    struct sigaction before = {};
    ::sigaction(SIGTERM, &engine, &before);
    {
        const TTerminationSignals terminationSignals;
    }
    EarlierHandlerCalls = 0;
    ::raise(SIGTERM);
    QCOMPARE(EarlierHandlerCalls.load(), 1);
    ::sigaction(SIGTERM, &before, nullptr);
}

// A signal while the operator is in the query dialog: the product list must
// not be reloaded on the way out, even after an earlier dialog was accepted.
void tst_TerminationSignals::openQueryDialogAcceptsNothing()
{
    TRecordingMessages boxes;
    TMessageService* previous = SetMessageService(&boxes);
    DialogAccepted = true;
    CreateDialog();
    QPointer<TFrmgetdata> dialog = Frmgetdata;
    const TTerminationSignals terminationSignals;
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { dialog->reject(); });
    watchdog.start(5000);

    const bool accepted = dialog->Execute();

    QVERIFY(watchdog.isActive());
    QVERIFY(!accepted);
    delete dialog.data();
    SetMessageService(previous);
}

QTEST_MAIN(tst_TerminationSignals)
#include "tst_terminationsignals.moc"
