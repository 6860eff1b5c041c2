#include "MassAmendFixture.h"
#include "TApplication.h"
#include "TProgressDialogSink.h"
#include "TWriteBack.h"
#include "TestBackends.h"

#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <future>

using namespace std::chrono_literals;

// Several workstations on one database: another client's uncommitted change
// neither delays a read nor freezes a write-back that waits for it.
class tst_SharedUse : public QObject
{
    Q_OBJECT

private slots:
    void readsShowTheCommittedValueWithoutWaiting_data();
    void readsShowTheCommittedValueWithoutWaiting();
    void writeBackWaitsForALockedRowThenFinishes_data() { AddBackendRows(); }
    void writeBackWaitsForALockedRowThenFinishes();
    void stopWhileARowWaitsCancelsIt_data() { AddBackendRows(); }
    void stopWhileARowWaitsCancelsIt();
    void stopButtonWhileARowWaits_data() { AddBackendRows(); }
    void stopButtonWhileARowWaits();
    void windowKeepsRunningWhileARowWaits_data() { AddBackendRows(); }
    void windowKeepsRunningWhileARowWaits();
};

namespace
{

const QString Holder = QStringLiteral("held by another client");

// Another client changes the product and keeps its transaction open. SQLite
// locks the whole file, the servers only the row. The SQLite file is in the
// WAL journal, as the program's connection leaves it, where readers go on
// beside a writer.
bool Hold(SecondConnection& other, const TestBackend& backend, const QString& code)
{
    if (!backend.IsFirebird()) other.QueryValue(QStringLiteral("PRAGMA journal_mode = WAL"));
    return other.StartTransaction() &&
           other.Execute(QStringLiteral("update PRODUCT set PROD_NAME = '%1' where PROD_ID = '%2'")
                             .arg(Holder, code));
}

// The first row that waits: the locked one, or the first one on SQLite.
int FirstWaiting(const TestBackend& backend, int locked)
{
    return backend.IsFirebird() ? locked : 0;
}

} // namespace

void tst_SharedUse::readsShowTheCommittedValueWithoutWaiting_data()
{
    AddBackendColumn();
    QTest::addColumn<bool>("startUp");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:opening the window", b.data()) << backend << true;
        QTest::addRow("%s:selecting products", b.data()) << backend << false;
    }
}

void tst_SharedUse::readsShowTheCommittedValueWithoutWaiting()
{
    QFETCH(TestBackend, backend);
    QFETCH(bool, startUp);
    TestDatabase database(backend);
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    TRecordingMessages boxes;
    SecondConnection other(database);
    const QString code = startUp ? QStringLiteral("-1") : TDemoData::ProductCode(3);
    if (startUp)
        QVERIFY(other.Execute(
            QStringLiteral("insert into PRODUCT (PROD_ID, PROD_NAME, PSALE_PRICE, VIP_PRICE) "
                           "values ('-1', 'committed', 1, 1)")));
    const QString committed =
        other
            .QueryValue(
                QStringLiteral("select PROD_NAME from PRODUCT where PROD_ID = '%1'").arg(code))
            .toString();
    QVERIFY(Hold(other, backend, code));
    // Released only long after the reads below would have been done.
    std::future<QString> released = other.RollbackLater(3s);

    auto form = std::make_unique<TFormMassAmend>();
    if (!startUp) {
        form->CDS_PRODUCT->Close();
        form->CDS_PRODUCT->SetCommandText(
            QStringLiteral("select * from PRODUCT where PROD_ID = '%1'").arg(code));
        form->CDS_PRODUCT->Open();
    }

    QVERIFY2(!other.Releasing(), "the read waited for the other client");
    QCOMPARE(form->CDS_PRODUCT->RecordCount(), 1);
    QCOMPARE(form->CDS_PRODUCTPROD_NAME->AsString(), committed);
    QCOMPARE(boxes.Texts(), QStringList());
    QCOMPARE(released.get(), QString());
}

void tst_SharedUse::writeBackWaitsForALockedRowThenFinishes()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1, 2, 3});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("WAITED"));
    SecondConnection other(f.Database);
    QVERIFY(Hold(other, backend, listed.at(2)));
    std::future<QString> committed = other.CommitLater(1500ms);

    f.Form->Button2Click(f.Form->Button2);

    QVERIFY2(other.Releasing(), "the write-back did not wait for the lock");
    QCOMPARE(committed.get(), QString());
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(f.Progress->Waits > 0);
    QCOMPARE(f.Progress->Steps, QList<int>({1, 2, 3, 4}));
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (const QString& code : listed)
        QCOMPARE(names.value(code).toString(), QStringLiteral("WAITED"));
    // Both changes of the locked row stand.
    QCOMPARE(f.Column(QStringLiteral("PROD_NAME")).value(listed.at(2)).toString(), Holder);
    QVERIFY(f.Form->CDS_PRODUCT->Eof());
}

void tst_SharedUse::stopWhileARowWaitsCancelsIt()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set PD_ITEMNAME = 'OLD'")));
    const QStringList listed = f.Codes({0, 1, 2, 3, 4});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    const QString item = TDemoData::LookupRows(QStringLiteral("PROD_ITEM")).at(2).Code;
    f.Choose(QStringLiteral("PD_ITEMID"), item);
    f.Progress->StopWhenWaiting = true;
    const int locked = 2;
    const int written = FirstWaiting(backend, locked);
    const QMap<QString, QVariant> before = f.Column(QStringLiteral("PD_ITEMID"));
    SecondConnection other(f.Database);
    QVERIFY(Hold(other, backend, listed.at(locked)));
    // Never released while the write-back runs: only the stop can end it.

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList({TFormMassAmend::StoppedMessage(written, 5)}));
    QCOMPARE(f.Progress->Finishes, 1);
    QCOMPARE(f.Form->CDS_PRODUCT->RecNo(), written + 1);
    QVERIFY(other.Rollback());
    const QMap<QString, QVariant> after = f.Column(QStringLiteral("PD_ITEMID"));
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(after.value(listed.at(i)),
                 i < written ? QVariant(item) : before.value(listed.at(i)));
}

void tst_SharedUse::stopButtonWhileARowWaits()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    auto sink = std::make_unique<TProgressDialogSink>(f.Form.get());
    sink->SetMinimumDuration(0);
    TProgressDialogSink* dialogSink = sink.get();
    f.Form->SetProgress(std::move(sink));
    const QStringList listed = f.Codes({0, 1, 2, 3, 4, 5});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("STOPPED"));
    const int written = FirstWaiting(backend, 2);
    SecondConnection other(f.Database);
    QVERIFY(Hold(other, backend, listed.at(2)));
    QString shown;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, [&] {
        QProgressDialog* dialog = dialogSink->Dialog();
        if (!dialog || !dialog->isVisible() ||
            !dialog->labelText().contains(QStringLiteral("等待其他使用者")))
            return;
        poll.stop();
        shown = dialog->labelText();
        QPushButton* stop = dialog->findChild<QPushButton*>();
        QVERIFY(stop);
        QTest::mouseClick(stop, Qt::LeftButton);
    });
    poll.start();

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(shown, TProgressDialogSink::WaitingText(written, 6));
    QCOMPARE(f.Boxes.Texts(), QStringList({TFormMassAmend::StoppedMessage(written, 6)}));
    QVERIFY(!dialogSink->Dialog());
    QVERIFY(other.Rollback());
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(names.value(listed.at(i)).toString() == QLatin1String("STOPPED"), i < written);
}

// The window's own timers run while a row waits: the event loop is not held.
void tst_SharedUse::windowKeepsRunningWhileARowWaits()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1});
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("LATER"));
    SecondConnection other(f.Database);
    QVERIFY(Hold(other, backend, listed.at(0)));
    std::future<QString> committed = other.CommitLater(1s);
    int ticksWhileWaiting = 0;
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, [&] {
        if (!other.Releasing()) ++ticksWhileWaiting;
    });
    tick.start();

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(committed.get(), QString());
    QVERIFY(ticksWhileWaiting > 0);
    QCOMPARE(f.Boxes.Texts(), QStringList());
}

QTEST_MAIN(tst_SharedUse)
#include "tst_shareduse.moc"
