#include "FrmWriteBackJournal.h"
#include "MassAmendFixture.h"
#include "OtherClient.h"
#include "TApplication.h"
#include "TWriteBack.h"
#include "TWriteBackUndo.h"
#include "TestBackends.h"

#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTest>
#include <chrono>
#include <future>
#include <stdexcept>

using namespace std::chrono_literals;

// How a write-back or an undo ends when it is stopped, fails or meets a
// failing journal: the counts in its box follow what was committed, the
// names follow the codes written, the journal lets every committed row be
// taken back, and nothing else starts before it has ended. Checked through
// second connections to the database and the journal.
class tst_WriteBackEnd : public QObject
{
    Q_OBJECT

private slots:
    void stopBeforeTheRefreshKeepsNamesRight_data();
    void stopBeforeTheRefreshKeepsNamesRight();
    void failureAfterAStopIsShownAsTheFailure_data() { AddBackendRows(); }
    void failureAfterAStopIsShownAsTheFailure();
    void journalFailingAfterCommitsCountsThemAndUndoTakesThem_data() { AddBackendRows(); }
    void journalFailingAfterCommitsCountsThemAndUndoTakesThem();
    void undoWhoseJournalFailsShowsItsCounts_data() { AddBackendRows(); }
    void undoWhoseJournalFailsShowsItsCounts();
    void hookFailingAfterACommitCountsTheRow_data() { AddBackendRows(); }
    void hookFailingAfterACommitCountsTheRow();
    void progressThatFailsEndsTheRunCleanly_data() { AddBackendRows(); }
    void progressThatFailsEndsTheRunCleanly();
    void nothingElseStartsUntilTheRunHasEnded_data() { AddBackendRows(); }
    void nothingElseStartsUntilTheRunHasEnded();
    void stopWhileTheJournalWaits_data() { AddBackendRows(); }
    void stopWhileTheJournalWaits();
    void damagedJournalIsSetAsideBeforeANewWriteBack_data();
    void damagedJournalIsSetAsideBeforeANewWriteBack();
    void rowThatFindsTheDatabaseBusyRunsAgain_data() { AddBackendRows(); }
    void rowThatFindsTheDatabaseBusyRunsAgain();
    void undoCountsRowsThatKeptTheirValueApart_data() { AddBackendRows(); }
    void undoCountsRowsThatKeptTheirValueApart();
};

namespace
{

// The journal file as another program of the same user sees it.
std::unique_ptr<SecondConnection> JournalConnection(MassAmendFixture& f)
{
    TDbOptions options;
    options.Database = f.JournalFile();
    return std::make_unique<SecondConnection>(TestBackend{TestBackend::SQLite}, options);
}

// Makes the journal refuse every note on its rows.
bool RefuseJournalNotes(MassAmendFixture& f)
{
    f.Form->Journal().Prepare();
    return JournalConnection(f)->Execute(
        QStringLiteral("create trigger T_READ_ONLY before update on WRITEBACK_ROW begin select "
                       "raise(abort, 'journal is read only'); end"));
}

QString StaleLine(bool stale, const QString& column)
{
    TWriteBackResult result;
    result.NamesStale = stale;
    return TFormMassAmend::StaleNamesLine(result, column);
}

qint64 Latest(MassAmendFixture& f)
{
    const QList<TJournalEntry> entries = f.Form->Journal().Entries(f.Form->DatabaseName());
    return entries.isEmpty() ? 0 : entries.first().Id;
}

QList<int> JournalStates(SecondConnection& journal, qint64 id)
{
    QList<int> states;
    for (const QVariantList& row : journal.QueryRows(
             QStringLiteral("select STATE from WRITEBACK_ROW where WRITEBACK_ID = %1 order by SEQ")
                 .arg(id)))
        states << row.value(0).toInt();
    return states;
}

// Five products sorted by code with stale item names, the item code chosen.
QStringList PrepareItemRun(MassAmendFixture& f, QString& item)
{
    if (!f.Check->Execute(QStringLiteral("update PRODUCT set PD_ITEMNAME = 'OLD'"))) return {};
    const QStringList listed = f.Codes({0, 1, 2, 3, 4});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    item = TDemoData::LookupRows(QStringLiteral("PROD_ITEM")).at(2).Code;
    f.Choose(QStringLiteral("PD_ITEMID"), item);
    return listed;
}

class ThrowingProgress : public RecordingProgress
{
public:
    bool Update(int done, bool waiting) override
    {
        throw std::runtime_error("the progress window failed");
    }
};

} // namespace

void tst_WriteBackEnd::stopBeforeTheRefreshKeepsNamesRight_data()
{
    AddBackendColumn();
    QTest::addColumn<bool>("atLastRow");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:stop while a row waits", b.data()) << backend << false;
        QTest::addRow("%s:stop at the last row", b.data()) << backend << true;
    }
}

// 停止 pressed once, while a row waits or as the last row is written: the
// name refresh that follows waits for the other client as long as it takes
// and is not cancelled by that earlier stop, so written codes never keep the
// old names.
void tst_WriteBackEnd::stopBeforeTheRefreshKeepsNamesRight()
{
    QFETCH(TestBackend, backend);
    QFETCH(bool, atLastRow);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QString item;
    const QStringList listed = PrepareItemRun(f, item);
    QCOMPARE(listed.size(), 5);
    const int written = atLastRow ? 5 : 2;
    SecondConnection other(f.Database);
    std::future<QString> released;
    // The other client comes in once `written` rows are done and lets go
    // well after the stop: the refresh that follows waits for it.
    f.Progress->OnStep = [&](int done) {
        if (done != written) return;
        QVERIFY(Hold(other, backend, listed.at(atLastRow ? 4 : 2)));
        if (atLastRow) released = other.RollbackLater(900ms);
    };
    if (atLastRow) {
        f.Progress->StopAfter = 5;
    } else {
        f.Progress->StopWhenWaiting = true;
        f.Progress->StopOnce = true;
        f.Progress->OnStop = [&] { released = other.RollbackLater(700ms); };
    }

    f.Form->Button2Click(f.Form->Button2);

    QVERIFY(released.valid());
    QCOMPARE(released.get(), QString());
    QCOMPARE(f.Boxes.Texts(),
             written < 5 ? QStringList{TFormMassAmend::StoppedMessage(written, 5)} : QStringList());
    const QMap<QString, QVariant> codes = f.Column(QStringLiteral("PD_ITEMID"));
    for (int i = 0; i < written; ++i)
        QCOMPARE(codes.value(listed.at(i)).toString(), item);
    QCOMPARE(StaleItemNames(*f.Check), 0);
}

// A stop cancelled the waiting row; then the name refresh fails on its own:
// its error is what the box shows, with the rows written and the names left
// stale, not a stop.
void tst_WriteBackEnd::failureAfterAStopIsShownAsTheFailure()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QString item;
    const QStringList listed = PrepareItemRun(f, item);
    if (backend.IsFirebird()) {
        QVERIFY(f.Check->Execute(QStringLiteral("create exception E_NAMES 'names are locked'")));
        QVERIFY(f.Check->Execute(
            QStringLiteral("create trigger T_NAMES for PRODUCT before update as begin if "
                           "(new.PD_ITEMNAME is distinct from old.PD_ITEMNAME) then exception "
                           "E_NAMES; end")));
    } else {
        QVERIFY(f.Check->Execute(QStringLiteral(
            "create trigger T_NAMES before update of PD_ITEMNAME on PRODUCT begin select "
            "raise(abort, 'names are locked'); end")));
    }
    // The window's connection sees the trigger from its next attachment.
    f.Form->SQLConnection1->Close();
    SecondConnection other(f.Database);
    f.Progress->OnStep = [&](int done) {
        if (done == 2) QVERIFY(Hold(other, backend, listed.at(2)));
    };
    f.Progress->StopWhenWaiting = true;
    f.Progress->StopOnce = true;
    // Released after the stop has cancelled the row: the refresh gets it.
    std::future<QString> released;
    f.Progress->OnStop = [&] { released = other.RollbackLater(300ms); };

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(released.get(), QString());
    QCOMPARE(f.Progress->Stops, 1);
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    const QString text = f.Boxes.Texts().first();
    QVERIFY2(text.contains(QStringLiteral("names are locked")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("5 筆中已寫入 2 筆，其餘 3 筆未寫入。") +
                           StaleLine(true, QStringLiteral("PD_ITEMID"))),
             qPrintable(text));
    const QMap<QString, QVariant> codes = f.Column(QStringLiteral("PD_ITEMID"));
    QCOMPARE(codes.value(listed.at(1)).toString(), item);
    QVERIFY(codes.value(listed.at(2)).toString() != item);
}

// The journal refuses its notes: every row is committed all the same, the
// box counts them all in one failure box, the rows stay pending in the
// journal, and 復原 takes every one of them back.
void tst_WriteBackEnd::journalFailingAfterCommitsCountsThemAndUndoTakesThem()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 2, 3, 4, 5});
    const QMap<QString, QVariant> before = f.Column(QStringLiteral("NOW_QTY"));
    QVERIFY(RefuseJournalNotes(f));
    f.Load(listed);
    f.Choose(QStringLiteral("NOW_QTY"), QStringLiteral("42.5"));

    f.Form->Button2Click(f.Form->Button2);

    // The notes fail at their first flush: at the end, or a second into a
    // slow run, which then stops there.
    const QMap<QString, QVariant> changed = f.Column(QStringLiteral("NOW_QTY"));
    int written = 0;
    while (written < listed.size() && changed.value(listed.at(written)).toDouble() == 42.5)
        ++written;
    QVERIFY(written > 0);
    for (int i = int(written); i < listed.size(); ++i)
        QCOMPARE(changed.value(listed.at(i)), before.value(listed.at(i)));
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    const QString text = f.Boxes.Texts().first();
    QVERIFY2(text.contains(QStringLiteral("journal is read only")), qPrintable(text));
    QVERIFY2(text.endsWith(TFormMassAmend::CountSentence(written, 5)), qPrintable(text));
    const std::unique_ptr<SecondConnection> journal = JournalConnection(f);
    const qint64 id =
        journal->QueryValue(QStringLiteral("select max(ID) from WRITEBACK")).toLongLong();
    QCOMPARE(JournalStates(*journal, id), QList<int>({0, 0, 0, 0, 0}));

    QVERIFY(journal->Execute(QStringLiteral("drop trigger T_READ_ONLY")));
    f.Boxes.Boxes.clear();
    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Texts().value(1), TWriteBackUndo::DoneText(written, 0, 0, 5 - written));
    const QMap<QString, QVariant> after = f.Column(QStringLiteral("NOW_QTY"));
    for (const QString& code : listed)
        QCOMPARE(after.value(code), before.value(code));
}

// The undo's own journal fails at its end: the undo's result still shows,
// as a failure that counts the rows it restored.
void tst_WriteBackEnd::undoWhoseJournalFailsShowsItsCounts()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 2, 3});
    const QMap<QString, QVariant> before = f.Column(QStringLiteral("PROD_SNAME"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("NEW"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(RefuseJournalNotes(f));

    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Boxes.size(), 2);
    QCOMPARE(f.Boxes.Boxes.at(1).Kind, QStringLiteral("error"));
    const QString text = f.Boxes.Texts().at(1);
    QVERIFY2(text.contains(QStringLiteral("journal is read only")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("3 筆中已寫入 3 筆，其餘 0 筆未寫入。")),
             qPrintable(text));
    const QMap<QString, QVariant> after = f.Column(QStringLiteral("PROD_SNAME"));
    for (const QString& code : listed)
        QCOMPARE(after.value(code), before.value(code));
}

// A hook that fails right after a commit: the row is counted and noted as
// written, the rows never started are noted as not written, and the error is
// the hook's.
void tst_WriteBackEnd::hookFailingAfterACommitCountsTheRow()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 2, 3, 4, 5});
    TWriteBack writeBack(*f.Form->SQLQuery1, f.Form->ChangeStamp());
    writeBack.Column = QStringLiteral("PROD_SNAME");
    writeBack.Journal = &f.Form->Journal();
    writeBack.JournalEntry.Database = f.Form->DatabaseName();
    writeBack.JournalEntry.Column = writeBack.Column;
    writeBack.OnRowWritten = [](int index) {
        if (index == 2) throw std::runtime_error("hook failed");
    };
    std::vector<TWriteBackRow> rows;
    for (const QString& code : listed)
        rows.push_back({code, QStringLiteral("HOOKED"), {}});
    f.Form->Journal().Prepare();

    const TWriteBackResult result = writeBack.Run(rows, *f.Progress);

    QCOMPARE(result.Outcome, TWriteBackOutcome::Failed);
    QCOMPARE(result.Written, 3);
    QCOMPARE(TApplication::ExceptionMessage(result.Error), QStringLiteral("hook failed"));
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(names.value(listed.at(i)).toString() == QLatin1String("HOOKED"), i < 3);
    QCOMPARE(JournalStates(*JournalConnection(f), writeBack.JournalId()),
             QList<int>({1, 1, 1, 3, 3}));
}

// The run's watch fails (its progress window throws): the writing thread is
// stopped and waited for, the waiting row cancelled, and the failure shown
// with the rows that were written; the program goes on.
void tst_WriteBackEnd::progressThatFailsEndsTheRunCleanly()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1, 2, 3, 4});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("WATCHED"));
    f.Form->SetProgress(std::make_unique<ThrowingProgress>());
    SecondConnection other(f.Database);
    // Held until the run has ended: only the run's own cancel ends the wait.
    QVERIFY(Hold(other, backend, listed.at(2)));

    f.Form->Button2Click(f.Form->Button2);

    QVERIFY(other.Rollback());
    // The stop comes at the first look: as many rows as got in before it,
    // never the held one.
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    int written = 0;
    while (written < listed.size() &&
           names.value(listed.at(written)).toString() == QLatin1String("WATCHED"))
        ++written;
    QVERIFY(written <= (backend.IsFirebird() ? 2 : 0));
    for (int i = written; i < listed.size(); ++i)
        QVERIFY(names.value(listed.at(i)).toString() != QLatin1String("WATCHED"));
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    const QString text = f.Boxes.Texts().first();
    QVERIFY2(text.startsWith(QStringLiteral("the progress window failed")), qPrintable(text));
    QVERIFY2(text.endsWith(TFormMassAmend::CountSentence(written, 5)), qPrintable(text));
    QVERIFY(!f.Form->Running());
}

// Clicks that come in while a run goes or ends (回存, 復原, 更動, the journal
// window) start nothing; closing the journal window during the undo it
// started leaves the window to the undo until it ends.
void tst_WriteBackEnd::nothingElseStartsUntilTheRunHasEnded()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1, 2});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("ONCE"));
    f.Form->Button2Click(f.Form->Button2);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("TWICE"));
    SecondConnection other(f.Database);
    QVERIFY(Hold(other, backend, listed.at(1)));
    std::future<QString> released = other.RollbackLater(600ms);
    int tries = 0;
    f.Progress->OnUpdate = [&](int, bool) {
        QVERIFY(f.Form->Running());
        ++tries;
        f.Form->Button2Click(f.Form->Button2);
        f.Form->Button1Click(f.Form->Button1);
        f.Form->MenuItemUndoClick(f.Form->MenuItemUndo);
        f.Form->MenuItemJournalClick(f.Form->MenuItemJournal);
    };

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(released.get(), QString());
    QVERIFY(tries > 0);
    QVERIFY(!f.Form->Running());
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(!f.Form->JournalWindow());
    QCOMPARE(f.Form->Journal().Entries(f.Form->DatabaseName()).size(), 2);
    for (f.Form->CDS_PRODUCT->First(); !f.Form->CDS_PRODUCT->Eof(); f.Form->CDS_PRODUCT->Next())
        QVERIFY(f.Form->CDS_PRODUCT->FieldByName(QStringLiteral("PROD_SNAME"))->AsString() !=
                QLatin1String("TWICE"));

    f.Form->MenuItemJournalClick(f.Form->MenuItemJournal);
    QPointer<TFrmWriteBackJournal> window = f.Form->JournalWindow();
    QVERIFY(window);
    window->ListJournal->selectRow(0);
    f.Boxes.Answers = {mrYes};
    f.Progress->OnUpdate = [&](int, bool) { window->close(); };
    QVERIFY(Hold(other, backend, listed.at(1)));
    released = other.RollbackLater(400ms);

    window->ButtonUndoClick();

    QCOMPARE(released.get(), QString());
    QVERIFY(window);
    QVERIFY(!window->isVisible());
    QCOMPARE(f.Boxes.Boxes.size(), 2);
    QCOMPARE(f.Column(QStringLiteral("PROD_SNAME")).value(listed.at(0)).toString(),
             QStringLiteral("ONCE"));
}

// The journal is held by another program while the write-back records
// itself: 停止 cancels that wait, and nothing is written.
void tst_WriteBackEnd::stopWhileTheJournalWaits()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1});
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("JOURNALED"));
    f.Form->Journal().Prepare();
    const std::unique_ptr<SecondConnection> journal = JournalConnection(f);
    QVERIFY(journal->StartTransaction());
    f.Progress->StopWhenWaiting = true;

    f.Form->Button2Click(f.Form->Button2);

    QVERIFY(journal->Rollback());
    QCOMPARE(f.Progress->Stops, 1);
    QCOMPARE(f.Boxes.Texts(), QStringList{TFormMassAmend::StoppedMessage(0, 2)});
    QCOMPARE(f.Rows(), before);
}

void tst_WriteBackEnd::damagedJournalIsSetAsideBeforeANewWriteBack_data()
{
    AddBackendColumn();
    QTest::addColumn<int>("page");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        // Page 1 holds the schema; the tables and their indexes follow.
        for (const int page : {0, 1, 2, 3, 4, 5})
            QTest::addRow("%s:page %d", b.data(), page + 1) << backend << page;
        QTest::addRow("%s:not a database", b.data()) << backend << -1;
    }
}

// A journal that no longer reads whole is moved aside, named in a message,
// and a new one takes the write-back, which can be undone as usual.
void tst_WriteBackEnd::damagedJournalIsSetAsideBeforeANewWriteBack()
{
    QFETCH(TestBackend, backend);
    QFETCH(int, page);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1, 2});
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("FIRST"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    // Closed, the journal is whole in its file; then part of it is damaged.
    f.Form->Journal().SetFileName(f.JournalFile());
    {
        QFile file(f.JournalFile());
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (page < 0) {
            QVERIFY(file.resize(0));
            file.write(QByteArray(8192, 'Z'));
        } else {
            QVERIFY(file.size() >= (page + 1) * 4096);
            QVERIFY(file.seek(page * 4096 + (page == 0 ? 100 : 0)));
            file.write(QByteArray(12, '\xa5'));
        }
    }
    const QMap<QString, QVariant> before = f.Column(QStringLiteral("PROD_SNAME"));
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("SECOND"));

    f.Form->Button2Click(f.Form->Button2);

    const QStringList aside = QDir(QFileInfo(f.JournalFile()).absolutePath())
                                  .entryList({QStringLiteral("*.damaged-*")}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    const QString asideFile = QFileInfo(f.JournalFile()).absoluteDir().filePath(aside.first());
    QCOMPARE(f.Boxes.Texts(), QStringList{TFormMassAmend::SetAsideMessage(asideFile)});
    for (const QString& code : listed)
        QCOMPARE(f.Column(QStringLiteral("PROD_SNAME")).value(code).toString(),
                 QStringLiteral("SECOND"));
    QCOMPARE(f.Form->Journal().Entries(f.Form->DatabaseName()).size(), 1);

    f.Boxes.Boxes.clear();
    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Texts().value(1), TWriteBackUndo::DoneText(3, 0, 0));
    const QMap<QString, QVariant> after = f.Column(QStringLiteral("PROD_SNAME"));
    for (const QString& code : listed)
        QCOMPARE(after.value(code), before.value(code));
}

// Without waiting for locks, a SQLite row that finds another client writing
// is refused busy at once: it runs again after a pause until the other
// client is done, stamped by the try that commits and journaled once.
void tst_WriteBackEnd::rowThatFindsTheDatabaseBusyRunsAgain()
{
    QFETCH(TestBackend, backend);
    if (backend.IsFirebird()) QSKIP("a Firebird server's conflicts come from several clients");
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    f.Form->SQLConnection1->Close();
    f.Form->SQLConnection1->Params().SetValue(QStringLiteral("WaitOnLocks"),
                                              QStringLiteral("False"));
    const QStringList listed = f.Codes({0, 1, 2});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("AGAIN"));
    int clock = 0;
    f.Form->ChangeStamp().Clock = [&clock] { return MassAmendFixture::Now().addSecs(clock++); };
    SecondConnection other(f.Database);
    std::future<QString> released;
    f.Progress->OnStep = [&](int done) {
        if (done != 1) return;
        QVERIFY(Hold(other, backend, listed.at(1)));
        // Well within the tries' pauses.
        released = other.RollbackLater(150ms);
    };

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(released.get(), QString());
    QCOMPARE(f.Boxes.Texts(), QStringList());
    const QMap<QString, QVariantList> rows = f.Rows();
    const int name = f.ColumnIndex(QStringLiteral("PROD_SNAME"));
    const int time = f.ColumnIndex(QStringLiteral("CHG_TIME"));
    for (const QString& code : listed)
        QCOMPARE(rows.value(code).at(name).toString(), QStringLiteral("AGAIN"));
    // Two readings per try: the first row took one try, the second several.
    QVERIFY2(clock > 6, qPrintable(QString::number(clock)));
    QCOMPARE(rows.value(listed.at(2)).at(time).toString(),
             MassAmendFixture::Now().addSecs(clock - 1).toString(QStringLiteral("hh:mm:ss")));
    const std::unique_ptr<SecondConnection> journal = JournalConnection(f);
    QCOMPARE(JournalStates(*journal, Latest(f)), QList<int>({1, 1, 1}));
}

// 復原 of a write-back that gave some products the value they already had:
// those are counted apart, not as restored.
void tst_WriteBackEnd::undoCountsRowsThatKeptTheirValueApart()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 1, 2, 3});
    QVERIFY(f.Check->Execute(
        QStringLiteral("update PRODUCT set PSALE_PRICE = 35 where PROD_ID in ('%1', '%2')")
            .arg(listed.at(1), listed.at(3))));
    const QMap<QString, QVariant> before = f.Column(QStringLiteral("PSALE_PRICE"));
    f.Load(listed);
    f.Choose(QStringLiteral("PSALE_PRICE"), QStringLiteral("35.0"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Boxes.Texts(), QStringList());

    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Texts().value(1), TWriteBackUndo::DoneText(2, 0, 0, 0, 2));
    const QMap<QString, QVariant> after = f.Column(QStringLiteral("PSALE_PRICE"));
    for (const QString& code : listed)
        QCOMPARE(after.value(code), before.value(code));
}

QTEST_MAIN(tst_WriteBackEnd)
#include "tst_writebackend.moc"
