#include "ChildProgram.h"
#include "MassAmendFixture.h"
#include "TWriteBackUndo.h"
#include "TestBackends.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <signal.h>

// A program killed or signalled in the middle of a write-back (the window's
// own write-back in a process of its own, writebackchild): a termination
// signal ends it within a second even while a row waits for another user,
// with its journal's notes flushed; after kill -9 at any moment, 復原 brings
// every listed product back, whatever the journal could note.
class tst_WriteBackInterrupted : public QObject
{
    Q_OBJECT

private slots:
    void signalWhileARowWaitsEndsTheProgramAtOnce_data();
    void signalWhileARowWaitsEndsTheProgramAtOnce();
    void killedAtAnyMomentUndoRestoresEveryRow_data() { AddBackendRows(); }
    void killedAtAnyMomentUndoRestoresEveryRow();
};

namespace
{

QList<int> JournalStates(const QString& journalFile)
{
    TDbOptions options;
    options.Database = journalFile;
    SecondConnection journal(TestBackend{TestBackend::SQLite}, options);
    QList<int> states;
    for (const QVariantList& row : journal.QueryRows(
             QStringLiteral("select STATE from WRITEBACK_ROW where WRITEBACK_ID = (select max(ID) "
                            "from WRITEBACK) order by SEQ")))
        states << row.value(0).toInt();
    return states;
}

QMap<QString, QVariant> ColumnOf(const TestDatabase& database, const QString& column)
{
    SecondConnection check(database);
    QMap<QString, QVariant> values;
    for (const QVariantList& row :
         check.QueryRows(QStringLiteral("select PROD_ID, %1 from PRODUCT").arg(column)))
        values.insert(row.value(0).toString(), row.value(1));
    return values;
}

quint32 Seed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("MASSAMEND_FUZZ_SEED").toUInt(&ok);
    return ok ? seed : QRandomGenerator::global()->generate();
}

} // namespace

void tst_WriteBackInterrupted::signalWhileARowWaitsEndsTheProgramAtOnce_data()
{
    AddBackendColumn();
    QTest::addColumn<int>("signal");
    for (const TestBackend& backend : ConfiguredBackends()) {
        // The embedded engine of another process can't share the file.
        if (backend.Type == TestBackend::Firebird) continue;
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:SIGTERM", b.data()) << backend << int(SIGTERM);
        QTest::addRow("%s:SIGHUP", b.data()) << backend << int(SIGHUP);
    }
}

// Another user holds a listed product and never lets go: the signal cancels
// the waiting row, the program ends as a closed window does, and the journal
// notes every row it wrote and every row it did not.
void tst_WriteBackInterrupted::signalWhileARowWaitsEndsTheProgramAtOnce()
{
    QFETCH(TestBackend, backend);
    QFETCH(int, signal);
    TestDatabase database(backend);
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    const QStringList listed = MassAmendFixture::Codes({0, 1, 2, 3, 4});
    SecondConnection other(database);
    if (!backend.IsFirebird()) other.QueryValue(QStringLiteral("PRAGMA journal_mode = WAL"));
    QVERIFY(other.StartTransaction());
    QVERIFY(
        other.Execute(QStringLiteral("update PRODUCT set PROD_NAME = 'held' where PROD_ID = '%1'")
                          .arg(listed.at(2))));
    const QString journal = QDir(database.Dir()).filePath(QStringLiteral("journal.sqlite"));
    ChildProgram child(database, listed, QStringLiteral("PROD_SNAME"), QStringLiteral("SIGNALLED"),
                       journal);
    QVERIFY2(child.WaitFor("waiting"), child.Rest());

    QElapsedTimer sinceSignal;
    sinceSignal.start();
    ::kill(pid_t(child.Process.processId()), signal);
    const bool ended = child.Process.waitForFinished(20000);
    const qint64 ms = sinceSignal.elapsed();

    const QByteArray output = child.Rest();
    QVERIFY(other.Rollback());
    QVERIFY2(ended, "still running after the signal\n" + output);
    qInfo("ended %lld ms after the signal", ms);
    QVERIFY2(ms < 5000, output);
    QVERIFY2(child.Process.exitStatus() == QProcess::NormalExit, output);
    QCOMPARE(child.Process.exitCode(), 0);
    QVERIFY2(!output.contains("box:"), output);
    const int written = backend.IsFirebird() ? 2 : 0;
    QList<int> expected;
    for (int i = 0; i < listed.size(); ++i)
        expected << (i < written ? 1 : 3);
    QCOMPARE(JournalStates(journal), expected);
    const QMap<QString, QVariant> names = ColumnOf(database, QStringLiteral("PROD_SNAME"));
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(names.value(listed.at(i)).toString() == QLatin1String("SIGNALLED"), i < written);
}

// kill -9 at random rows of a 5,000-product write-back (and before the
// first): the journal never notes a row written that the database does not
// hold, and 復原 then brings every listed product back to its value from
// before. MASSAMEND_KILL_MOMENTS sets the number of moments (5),
// MASSAMEND_FUZZ_SEED replays one run.
void tst_WriteBackInterrupted::killedAtAnyMomentUndoRestoresEveryRow()
{
    QFETCH(TestBackend, backend);
    constexpr int Products = 5000;
    const int trials = qEnvironmentVariableIsSet("MASSAMEND_KILL_MOMENTS")
                           ? qMax(1, qEnvironmentVariableIntValue("MASSAMEND_KILL_MOMENTS"))
                           : 5;
    const quint32 seed = Seed();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    TestDatabaseOptions options;
    options.Products = Products;
    TestDatabase database(backend, options);
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    QStringList listed;
    for (int i = 0; i < Products; ++i)
        listed << MassAmendFixture::Code(i);
    const QString column = QStringLiteral("PSALE_PRICE");
    const QString value = QStringLiteral("123.45");
    const QMap<QString, QVariant> original = ColumnOf(database, column);
    const QString journal = QDir(database.Dir()).filePath(QStringLiteral("journal.sqlite"));

    for (int trial = 0; trial < trials; ++trial) {
        // The first moment comes before any row; the others at random rows.
        const int killAt = trial == 0 ? 0 : 1 + int(random.bounded(Products - 1));
        {
            ChildProgram child(database, listed, column, value, journal);
            QVERIFY2(child.WaitFor("start"), child.Rest());
            if (killAt > 0)
                QVERIFY2(child.WaitFor(QByteArray("step ") + QByteArray::number(killAt)),
                         child.Rest());
            ::kill(pid_t(child.Process.processId()), SIGKILL);
            QVERIFY(child.Process.waitForFinished(20000));
            qInfo("trial %d: killed after row %d", trial, child.Steps);
        }
        const QMap<QString, QVariant> killed = ColumnOf(database, column);
        const QList<int> states = JournalStates(journal);
        // Killed before its journal had it, a run has written nothing.
        QCOMPARE(states.size(), killAt == 0 && states.isEmpty() ? 0 : Products);
        if (states.isEmpty())
            for (const QString& code : listed)
                QCOMPARE(killed.value(code), original.value(code));
        int changed = 0;
        for (int i = 0; i < states.size(); ++i) {
            const bool holds = killed.value(listed.at(i)).toDouble() == 123.45;
            changed += holds;
            if (states.at(i) == int(TJournalRowState::Written))
                QVERIFY2(holds, qPrintable(listed.at(i)));
        }
        qInfo("trial %d: %d rows in the database, %lld noted written", trial, changed,
              qlonglong(states.count(int(TJournalRowState::Written))));

        {
            TRecordingMessages boxes;
            TMessageService* previous = SetMessageService(&boxes);
            TFormMassAmend form;
            form.Journal().SetFileName(journal);
            form.SetProgress(std::make_unique<RecordingProgress>());
            form.MenuItemUndo->trigger();
            SetMessageService(previous);
            QVERIFY2(boxes.Texts().size() <= 2, qPrintable(boxes.Texts().join(u'\n')));
            if (boxes.Texts().size() == 2)
                QVERIFY2(boxes.Texts().at(1).startsWith(QStringLiteral("復原完成")),
                         qPrintable(boxes.Texts().at(1)));
        }
        const QMap<QString, QVariant> restored = ColumnOf(database, column);
        for (const QString& code : listed)
            QCOMPARE(restored.value(code), original.value(code));
    }
}

QTEST_MAIN(tst_WriteBackInterrupted)
#include "tst_writebackinterrupted.moc"
