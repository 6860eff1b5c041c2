#include "Getdata.h"
#include "SecondConnection.h"
#include "TMessageService.h"
#include "TRecordingMessages.h"
#include "TTerminationSignals.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <signal.h>

namespace
{

std::atomic<int> EarlierHandlerCalls{0};

void EarlierHandler(int)
{
    ++EarlierHandlerCalls;
}

// Runs the message loop, raising signal once it runs; false when the loop
// did not end within a few seconds.
// True once the process has a handler of its own for signal.
bool Catches(qint64 pid, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

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
    void pendingSignalIsSeenBeforeTheLoopRuns();
    void programEndsCleanlyAtAnyMomentOfStartUp_data();
    void programEndsCleanlyAtAnyMomentOfStartUp();
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

void tst_TerminationSignals::pendingSignalIsSeenBeforeTheLoopRuns()
{
    const TTerminationSignals terminationSignals;
    QVERIFY(!terminationSignals.Pending());
    ::raise(SIGTERM);
    QVERIFY(terminationSignals.Pending());
    QVERIFY(LoopEndsOn(SIGTERM));
    QVERIFY(!terminationSignals.Pending());
}

void tst_TerminationSignals::programEndsCleanlyAtAnyMomentOfStartUp_data()
{
    AddBackendColumn();
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("delay");
    for (const TestBackend& backend : ConfiguredBackends()) {
        // The embedded engine of another process can't share the file.
        if (backend.Type == TestBackend::Firebird) continue;
        const QByteArray b = backend.Name().toLatin1();
        for (const bool locked : {true, false})
            for (const int delay : {0, 30, 100, 200, 350, 500, 800, 1200, 2000})
                QTest::addRow("%s:%s,%d ms", b.data(), locked ? "locked" : "free", delay)
                    << backend << locked << delay;
    }
}

// The program itself, sent SIGTERM while it starts: as it makes its
// application object, while its first read meets a product another client
// holds changed, right after that client commits, while the window is made
// and once it shows. It always ends as a closed window does: exit code 0, no
// box left waiting, no crash.
void tst_TerminationSignals::programEndsCleanlyAtAnyMomentOfStartUp()
{
    using namespace std::chrono_literals;
    QFETCH(TestBackend, backend);
    QFETCH(bool, locked);
    QFETCH(int, delay);
    TestDatabase database(backend);
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    SecondConnection other(database);
    QVERIFY(other.Execute(
        QStringLiteral("insert into PRODUCT (PROD_ID, PROD_NAME, PSALE_PRICE, VIP_PRICE) "
                       "values ('-1', 'committed', 1, 1)")));
    // The program's per-user settings name the test's files.
    QTemporaryDir config;
    {
        QSettings settings(config.filePath(QStringLiteral("MassAmend/SQLDriver.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("Connection Registry File"), database.ConnectionsFile());
        settings.setValue(QStringLiteral("Driver Registry File"), database.DriversFile());
    }
    std::future<QString> committed;
    if (locked) {
        if (!backend.IsFirebird()) other.QueryValue(QStringLiteral("PRAGMA journal_mode = WAL"));
        QVERIFY(other.StartTransaction());
        QVERIFY(other.Execute(
            QStringLiteral("update PRODUCT set PROD_NAME = 'held' where PROD_ID = '-1'")));
        committed = other.CommitLater(300ms);
    }

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("massamend")), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    // Before its first instruction a program can't catch anything: the
    // moments count from there.
    QTRY_VERIFY_WITH_TIMEOUT(Catches(program.processId(), SIGTERM), 30000);
    QThread::msleep(ulong(delay));
    QVERIFY(program.state() == QProcess::Running);
    ::kill(pid_t(program.processId()), SIGTERM);
    const bool ended = program.waitForFinished(30000);
    if (!ended) program.kill();
    if (committed.valid()) QCOMPARE(committed.get(), QString());

    const QByteArray output = program.readAll();
    QVERIFY2(ended, "still running: a box waits for an answer\n" + output);
    QVERIFY2(program.exitStatus() == QProcess::NormalExit, output);
    QVERIFY2(program.exitCode() == 0, QByteArray::number(program.exitCode()) + "\n" + output);
}

QTEST_MAIN(tst_TerminationSignals)
#include "tst_terminationsignals.moc"
