#include "MassAmendFixture.h"
#include "OtherClient.h"
#include "TApplication.h"
#include "TProgressDialogSink.h"
#include "TWriteBack.h"
#include "TestBackends.h"

#include <QFile>
#include <QProgressDialog>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <functional>
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
    void windowKeepsRunningWhileTheJournalWaits_data() { AddBackendRows(); }
    void windowKeepsRunningWhileTheJournalWaits();
    void serverBackBetweenTwoWriteBacks_data() { AddBackendRows(); }
    void serverBackBetweenTwoWriteBacks();
    void serverLostInTheMiddleStopsAtTheLostRow_data() { AddBackendRows(); }
    void serverLostInTheMiddleStopsAtTheLostRow();
    void readsAttachAgainAfterTheServerCameBack_data() { AddBackendRows(); }
    void readsAttachAgainAfterTheServerCameBack();
};

namespace
{

// The first row that waits: the locked one, or the first one on SQLite.
int FirstWaiting(const TestBackend& backend, int locked)
{
    return backend.IsFirebird() ? locked : 0;
}

// The server as the window's connection reaches it: a relay on a port of its
// own to the shared server, on a thread of its own, so that it relays also
// while the test's thread waits for the engine. Dropping its sockets is a
// server that went away under the connection; closing it one that stays
// away; listening again on the same port one that came back. The shared
// server itself is never touched.
class TcpRelay : public QObject
{
public:
    TcpRelay()
    {
        moveToThread(&FThread);
        FThread.start();
    }
    ~TcpRelay()
    {
        Call([this] { Stop(); });
        FThread.quit();
        FThread.wait();
    }

    bool Listen()
    {
        bool listening = false;
        Call([&] { listening = Start(); });
        return listening;
    }
    void Drop()
    {
        Call([this] { DropAll(); });
    }
    void Close()
    {
        Call([this] { Stop(); });
    }
    quint16 Port() const { return FPort; }

private:
    void Call(const std::function<void()>& f)
    {
        QMetaObject::invokeMethod(this, f, Qt::BlockingQueuedConnection);
    }

    bool Start()
    {
        FServer = new QTcpServer(this);
        if (!FServer->listen(QHostAddress::LocalHost, FPort)) return false;
        FPort = FServer->serverPort();
        connect(FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = FServer->nextPendingConnection()) {
                auto* server = new QTcpSocket(this);
                FSockets << client << server;
                connect(client, &QTcpSocket::readyRead, server,
                        [client, server] { server->write(client->readAll()); });
                connect(server, &QTcpSocket::readyRead, client,
                        [client, server] { client->write(server->readAll()); });
                connect(client, &QTcpSocket::disconnected, server, &QTcpSocket::close);
                connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::close);
                server->connectToHost(QHostAddress::LocalHost, 3050);
            }
        });
        return true;
    }
    void DropAll()
    {
        for (QTcpSocket* socket : std::as_const(FSockets)) {
            socket->abort();
            socket->deleteLater();
        }
        FSockets.clear();
    }
    void Stop()
    {
        DropAll();
        delete FServer;
        FServer = nullptr;
    }

    QThread FThread;
    QTcpServer* FServer = nullptr;
    QList<QTcpSocket*> FSockets;
    quint16 FPort = 0;
};

// The window's connection goes through the relay.
bool ThroughRelay(const TestDatabase& database, const TcpRelay& relay)
{
    QFile file(database.ConnectionsFile());
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray text = file.readAll();
    file.close();
    const QByteArray direct = database.Database().toLatin1();
    const QByteArray path = direct.mid(direct.indexOf(':') + 1);
    const QByteArray relayed = "127.0.0.1/" + QByteArray::number(relay.Port()) + ':' + path;
    if (!text.contains("=" + direct)) return false;
    text.replace("=" + direct, "=" + relayed);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// The window made again, its connection through the relay; the progress is
// the fixture's recording one.
bool ReopenThroughRelay(MassAmendFixture& f, const TcpRelay& relay)
{
    if (!f.Database.IsValid() || !ThroughRelay(f.Database, relay)) return false;
    f.Form.reset();
    f.Form = std::make_unique<TFormMassAmend>();
    auto progress = std::make_unique<RecordingProgress>();
    f.Progress = progress.get();
    f.Form->SetProgress(std::move(progress));
    return true;
}

// Runs the write-back with a 10 ms timer on the window's thread; returns the
// turns the timer got before the other client let go.
int WriteBackTicks(TFormMassAmend& form, const SecondConnection& other)
{
    int ticks = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!other.Releasing()) ++ticks;
    });
    tick.start();
    form.Button2Click(form.Button2);
    return ticks;
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
    // Never released while the write-back runs: only the stop can end it,
    // and the name refresh of the rows written waits until stopped again.

    f.Form->Button2Click(f.Form->Button2);

    TWriteBackResult stale;
    stale.NamesStale = written > 0;
    QCOMPARE(f.Boxes.Texts(),
             QStringList({TFormMassAmend::StoppedMessage(written, 5) +
                          TFormMassAmend::StaleNamesLine(stale, QStringLiteral("PD_ITEMID"))}));
    QCOMPARE(f.Progress->Stops, written > 0 ? 2 : 1);
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
    const int ticksWhileWaiting = WriteBackTicks(*f.Form, other);

    QCOMPARE(committed.get(), QString());
    QVERIFY(ticksWhileWaiting > 0);
    QCOMPARE(f.Boxes.Texts(), QStringList());
}

// The same user's other program holds the journal while it records its own
// write-back: this one's journal waits on the writing thread, the window's
// timers running, and the rows follow once the journal has them.
void tst_SharedUse::windowKeepsRunningWhileTheJournalWaits()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1});
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("JOURNALED"));
    f.Form->Journal().Prepare();
    TDbOptions journalFile;
    journalFile.Database = f.JournalFile();
    SecondConnection other(TestBackend{TestBackend::SQLite}, journalFile);
    QVERIFY(other.StartTransaction());
    std::future<QString> released = other.RollbackLater(1s);
    const int ticksWhileWaiting = WriteBackTicks(*f.Form, other);

    QCOMPARE(released.get(), QString());
    QVERIFY(ticksWhileWaiting > 0);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (const QString& code : listed)
        QCOMPARE(names.value(code).toString(), QStringLiteral("JOURNALED"));
    QCOMPARE(other.QueryValue(QStringLiteral("SELECT COUNT(*) FROM WRITEBACK_ROW WHERE STATE = 1"))
                 .toInt(),
             listed.size());
}

// The server stopped and started again between two write-backs: the second
// attaches again and writes, without a restart of the program. While the
// server stays away, a write-back says so and writes nothing.
void tst_SharedUse::serverBackBetweenTwoWriteBacks()
{
    QFETCH(TestBackend, backend);
    if (backend.Type != TestBackend::Server) QSKIP("only a server can go away");
    TcpRelay relay;
    QVERIFY(relay.Listen());
    MassAmendFixture f(backend);
    QVERIFY(ReopenThroughRelay(f, relay));
    const QStringList listed = f.Codes({0, 1, 2});
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("FIRST"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Texts(), QStringList());

    relay.Close();
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("AWAY"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    const QString away = f.Boxes.Texts().first();
    QVERIFY2(away.startsWith(QStringLiteral(
                 "The connection to the database was lost and can't be made again: ")),
             qPrintable(away));
    QVERIFY2(away.endsWith(QStringLiteral("\n3 筆中已寫入 0 筆，其餘 3 筆未寫入。")),
             qPrintable(away));

    QVERIFY(relay.Listen());
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("SECOND"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    // Once more after the server restarted under an open connection.
    relay.Drop();
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("THIRD"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (const QString& code : listed)
        QCOMPARE(names.value(code).toString(), QStringLiteral("THIRD"));
}

// The product list and the dialog's searches read through the batch path:
// after the server dropped the connection, or went away and came back, the
// next read attaches again and gets its rows.
void tst_SharedUse::readsAttachAgainAfterTheServerCameBack()
{
    QFETCH(TestBackend, backend);
    if (backend.Type != TestBackend::Server) QSKIP("only a server can go away");
    TcpRelay relay;
    QVERIFY(relay.Listen());
    MassAmendFixture f(backend);
    QVERIFY(ReopenThroughRelay(f, relay));
    f.Load(f.Codes({0, 1, 2}));
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(), 3);

    relay.Drop();
    f.Load(f.Codes({3, 4}));
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(), 2);

    relay.Close();
    QVERIFY_THROWS_EXCEPTION(ESQLConnectionLost, f.Load(f.Codes({5})));
    QVERIFY(relay.Listen());
    f.Load(f.Codes({5, 6, 7, 8}));
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(), 4);
}

// Lost while the write-back goes: nothing is sent again, it stops at the row
// that was lost and says how far it got.
void tst_SharedUse::serverLostInTheMiddleStopsAtTheLostRow()
{
    QFETCH(TestBackend, backend);
    if (backend.Type != TestBackend::Server) QSKIP("only a server can go away");
    TcpRelay relay;
    QVERIFY(relay.Listen());
    MassAmendFixture f(backend);
    QVERIFY(ReopenThroughRelay(f, relay));
    RecordingProgress* recording = f.Progress;
    const QStringList listed = f.Codes({0, 1, 2, 3, 4});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("LOST"));
    SecondConnection other(f.Database);
    QVERIFY(Hold(other, backend, listed.at(2)));
    // The server goes while the third row waits for the other client.
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, [&] {
        if (recording->Waits == 0) return;
        poll.stop();
        relay.Drop();
    });
    poll.start();

    f.Form->Button2Click(f.Form->Button2);

    QVERIFY(other.Rollback());
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    const QString lost = f.Boxes.Texts().first();
    QVERIFY2(lost.startsWith(QStringLiteral("The connection to the database was lost: ")),
             qPrintable(lost));
    QVERIFY2(lost.endsWith(QStringLiteral("\n5 筆中已寫入 2 筆，其餘 3 筆未寫入。")),
             qPrintable(lost));
    QCOMPARE(f.Form->CDS_PRODUCT->RecNo(), 3);
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(names.value(listed.at(i)).toString() == QLatin1String("LOST"), i < 2);
}

QTEST_MAIN(tst_SharedUse)
#include "tst_shareduse.moc"
