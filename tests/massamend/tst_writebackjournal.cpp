#include "MassAmendFixture.h"
#include "TWriteBackSnapshot.h"
#include "TWriteBackUndo.h"
#include "TestBackends.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The write-back journal: every "回存" recorded before its first UPDATE with
// the rows' values from before, the rows it wrote, and its undo, row by row,
// guarded against later changes; checked through a second connection.
class tst_WriteBackJournal : public QObject
{
    Q_OBJECT

private slots:
    void undoRestoresTheWrittenRows_data();
    void undoRestoresTheWrittenRows();
    void rowChangedSinceIsSkippedAndCounted_data() { AddBackendRows(); }
    void rowChangedSinceIsSkippedAndCounted();
    void undoOfAnUndo_data() { AddBackendRows(); }
    void undoOfAnUndo();
    void refusedConfirmationWritesNothing_data() { AddBackendRows(); }
    void refusedConfirmationWritesNothing();
    void unusableJournalBlocksTheWriteBack_data();
    void unusableJournalBlocksTheWriteBack();
    void keepsTheLatestWriteBacksPerDatabase();
    void snapshotReadsListedProductsOnly_data();
    void snapshotReadsListedProductsOnly();
};

namespace
{

const QStringList Stamp = {QStringLiteral("2024/03/05"), QStringLiteral("21:07:05")};

enum class Ending { Complete, Stopped, Failed };

struct Case {
    QString Column;
    QString Value;
    // Values before, as SQL literals, one per listed product.
    QStringList Before;
};

// Makes the listed product at `position` refuse every UPDATE.
bool RefuseUpdates(MassAmendFixture& f, const TestBackend& backend, const QString& code)
{
    if (backend.IsFirebird()) {
        if (!f.Check->Execute(QStringLiteral("create exception E_REFUSED 'product is locked'")))
            return false;
        if (!f.Check->Execute(
                QStringLiteral("create trigger T_REFUSE for PRODUCT before update as begin "
                               "if (old.PROD_ID = '%1') then exception E_REFUSED; end")
                    .arg(code)))
            return false;
    } else if (!f.Check->Execute(
                   QStringLiteral("create trigger T_REFUSE before update on PRODUCT when "
                                  "old.PROD_ID = '%1' begin select raise(abort, 'product is "
                                  "locked'); end")
                       .arg(code))) {
        return false;
    }
    // The window's connection sees the trigger from its next attachment.
    f.Form->SQLConnection1->Close();
    return true;
}

TJournalEntry Latest(MassAmendFixture& f)
{
    const QList<TJournalEntry> entries = f.Form->Journal().Entries(f.Form->DatabaseName());
    return entries.isEmpty() ? TJournalEntry() : entries.first();
}

// Gives the listed products the case's values of its column.
void SetBefore(MassAmendFixture& f, const QStringList& listed, const Case& c)
{
    for (int i = 0; i < listed.size(); ++i)
        QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set %1 = %2 where PROD_ID = '%3'")
                                     .arg(c.Column, c.Before.at(i), listed.at(i))));
}

// Loads the listed products and writes the case's value back.
void RunWriteBack(MassAmendFixture& f, const QStringList& listed, const Case& c)
{
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    f.Choose(c.Column, c.Value);
    f.Form->Button2Click(f.Form->Button2);
}

void WriteBack(MassAmendFixture& f, const QStringList& listed, const Case& c)
{
    SetBefore(f, listed, c);
    RunWriteBack(f, listed, c);
}

} // namespace

Q_DECLARE_METATYPE(Ending)

void tst_WriteBackJournal::undoRestoresTheWrittenRows_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("beforeValues");
    QTest::addColumn<Ending>("ending");
    const QStringList floats = {QStringLiteral("0.1"), QStringLiteral("NULL"),
                                QStringLiteral("2.0E0 / 3"), QStringLiteral("1.0E-300"),
                                QStringLiteral("-123456789.125")};
    const QStringList texts = {QStringLiteral("'舊簡稱'"), QStringLiteral("NULL"),
                               QStringLiteral("''"), QStringLiteral("'O''NEIL'"),
                               QStringLiteral("'  空白  '")};
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        for (const auto& [ending, name] :
             {std::pair{Ending::Complete, "complete"}, std::pair{Ending::Stopped, "stopped"},
              std::pair{Ending::Failed, "failed"}}) {
            QTest::addRow("%s:float:%s", b.data(), name)
                << backend << QStringLiteral("NOW_QTY") << QStringLiteral("7.77") << floats
                << ending;
            QTest::addRow("%s:text:%s", b.data(), name)
                << backend << QStringLiteral("PROD_SNAME") << QStringLiteral("7.77") << texts
                << ending;
        }
        QTest::addRow("%s:integer over nulls:complete", b.data())
            << backend << QStringLiteral("SAFE_DAY") << QStringLiteral("5")
            << QStringList{QStringLiteral("1"), QStringLiteral("NULL"), QStringLiteral("-3"),
                           QStringLiteral("2147483647"), QStringLiteral("0")}
            << Ending::Complete;
    }
}

void tst_WriteBackJournal::undoRestoresTheWrittenRows()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QStringList, beforeValues);
    QFETCH(Ending, ending);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 3, 4, 6, 8});
    const Case c{column, value, beforeValues};
    SetBefore(f, listed, c);
    const QMap<QString, QVariantList> original = f.Rows();
    int written = int(listed.size());
    if (ending == Ending::Stopped) {
        f.Progress->StopAfter = 2;
        written = 2;
    } else if (ending == Ending::Failed) {
        QVERIFY(RefuseUpdates(f, backend, listed.at(3)));
        written = 3;
    }
    RunWriteBack(f, listed, c);
    const int changed = f.ColumnIndex(column);
    const QMap<QString, QVariantList> afterWriteBack = f.Rows();
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(afterWriteBack.value(listed.at(i)) != original.value(listed.at(i)), i < written);
    // The plain statement of "回存" is the one it always was.
    QCOMPARE(f.Form->SQLQuery1->SQL().Count(), 3);
    QCOMPARE(f.Form->SQLQuery1->SQL().Strings(2), QStringLiteral(" where PROD_ID = :PROD_ID"));

    const TJournalEntry entry = Latest(f);
    QCOMPARE(entry.Listed, int(listed.size()));
    QCOMPARE(entry.Written, written);
    QCOMPARE(entry.Column, column);
    QCOMPARE(entry.Value, value.isEmpty() ? TSQLParamValue() : TSQLParamValue(value));
    f.Boxes.Boxes.clear();
    f.Form->ChangeStamp().Clock = [] { return QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)); };

    f.Form->UndoWriteBack(entry.Id);

    QCOMPARE(f.Boxes.Boxes.size(), 2);
    QCOMPARE(f.Boxes.Boxes.at(0).Kind, QStringLiteral("dialog"));
    QCOMPARE(f.Boxes.Boxes.at(0).Type, TMsgDlgType::mtConfirmation);
    QCOMPARE(f.Boxes.Texts().at(0), TWriteBackUndo::ConfirmText(entry, written));
    QVERIFY(f.Boxes.Texts().at(0).contains(TWriteBackUndo::ColumnName(column)));
    QCOMPARE(f.Boxes.Texts().at(1), TWriteBackUndo::DoneText(written, 0, 0));
    // The written rows hold their values from before, nulls and the last
    // digit of a float included, stamped anew; everything else is untouched.
    const int chgDate = f.ColumnIndex(QStringLiteral("CHG_DATE"));
    const int chgTime = f.ColumnIndex(QStringLiteral("CHG_TIME"));
    QMap<QString, QVariantList> expected = original;
    for (int i = 0; i < written; ++i) {
        expected[listed.at(i)][chgDate] = QStringLiteral("2025/01/02");
        expected[listed.at(i)][chgTime] = QStringLiteral("03:04:05");
    }
    const QMap<QString, QVariantList> after = f.Rows();
    QCOMPARE(after.keys(), expected.keys());
    for (auto it = after.begin(); it != after.end(); ++it)
        QCOMPARE(it.value(), expected.value(it.key()));
    QVERIFY(original.value(listed.at(1)).at(changed).isNull());

    const TJournalEntry undo = Latest(f);
    QCOMPARE(undo.Undoes, entry.Id);
    QCOMPARE(undo.Listed, written);
    QCOMPARE(undo.Written, written);
    QVERIFY(f.Form->Journal().Entry(entry.Id)->Undone);
}

void tst_WriteBackJournal::rowChangedSinceIsSkippedAndCounted()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({0, 2, 5, 7});
    WriteBack(f, listed,
              {QStringLiteral("PROD_SNAME"),
               QStringLiteral("新簡稱"),
               {QStringLiteral("'A'"), QStringLiteral("'B'"), QStringLiteral("NULL"),
                QStringLiteral("'D'")}});
    // Another workstation changes two of the rows after the write-back.
    QVERIFY(f.Check->Execute(
        QStringLiteral("update PRODUCT set PROD_SNAME = 'OTHER' where PROD_ID = '%1'")
            .arg(listed.at(1))));
    QVERIFY(
        f.Check->Execute(QStringLiteral("update PRODUCT set PROD_SNAME = NULL where PROD_ID = '%1'")
                             .arg(listed.at(3))));
    f.Boxes.Boxes.clear();

    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Texts().value(1), TWriteBackUndo::DoneText(2, 2, 0));
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    QCOMPARE(names.value(listed.at(0)).toString(), QStringLiteral("A"));
    QCOMPARE(names.value(listed.at(1)).toString(), QStringLiteral("OTHER"));
    QVERIFY(names.value(listed.at(2)).isNull());
    QVERIFY(names.value(listed.at(3)).isNull());
    const TJournalEntry undo = Latest(f);
    QCOMPARE(undo.Written, 2);
    QCOMPARE(undo.Skipped, 2);
}

void tst_WriteBackJournal::undoOfAnUndo()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 2, 3});
    WriteBack(f, listed,
              {QStringLiteral("NOW_QTY"),
               QStringLiteral("0.3"),
               {QStringLiteral("0.1"), QStringLiteral("NULL"), QStringLiteral("5")}});
    const QMap<QString, QVariant> written = f.Column(QStringLiteral("NOW_QTY"));
    const qint64 first = Latest(f).Id;
    f.Form->MenuItemUndo->trigger();
    const QMap<QString, QVariant> undone = f.Column(QStringLiteral("NOW_QTY"));
    QCOMPARE(undone.value(listed.at(0)), QVariant(0.1));
    QVERIFY(undone.value(listed.at(1)).isNull());
    // Someone else sets one row back to the value of the write-back: the undo
    // of the undo leaves it, as it is no longer what the undo wrote.
    QVERIFY(f.Check->Execute(
        QStringLiteral("update PRODUCT set NOW_QTY = 9 where PROD_ID = '%1'").arg(listed.at(2))));
    f.Boxes.Boxes.clear();

    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Texts().value(1), TWriteBackUndo::DoneText(2, 1, 0));
    const QMap<QString, QVariant> redone = f.Column(QStringLiteral("NOW_QTY"));
    QCOMPARE(redone.value(listed.at(0)), written.value(listed.at(0)));
    QCOMPARE(redone.value(listed.at(1)), written.value(listed.at(1)));
    QCOMPARE(redone.value(listed.at(2)), QVariant(9.0));
    const QList<TJournalEntry> entries = f.Form->Journal().Entries(f.Form->DatabaseName());
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries.at(1).Undoes, first);
    QCOMPARE(entries.at(0).Undoes, entries.at(1).Id);
    QVERIFY(entries.at(1).Undone && entries.at(2).Undone && !entries.at(0).Undone);
}

void tst_WriteBackJournal::refusedConfirmationWritesNothing()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    WriteBack(f, f.Codes({1, 2}),
              {QStringLiteral("PROD_SNAME"),
               QStringLiteral("X"),
               {QStringLiteral("'A'"), QStringLiteral("'B'")}});
    const QMap<QString, QVariantList> before = f.Rows();
    f.Boxes.Answers = {mrNo};

    f.Form->MenuItemUndo->trigger();

    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Rows(), before);
    QCOMPARE(f.Form->Journal().Entries(f.Form->DatabaseName()).size(), 1);
}

void tst_WriteBackJournal::unusableJournalBlocksTheWriteBack_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("kind");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        for (const char* kind : {"folder in the way", "file in the way"})
            QTest::addRow("%s:%s", b.data(), kind) << backend << QString::fromLatin1(kind);
    }
}

void tst_WriteBackJournal::unusableJournalBlocksTheWriteBack()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, kind);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QString file = f.JournalFile();
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    if (kind == QLatin1String("folder in the way")) {
        QVERIFY(QDir().mkpath(file));
    } else {
        // The journal's folder can't be made where a file is.
        QVERIFY(QDir(QFileInfo(file).absolutePath()).removeRecursively());
        QFile blocker(QFileInfo(file).absolutePath());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(f.Codes({1, 2, 3}));
    f.Choose(QStringLiteral("PROVIDER_ID"),
             TDemoData::LookupRows(QStringLiteral("PROVIDER")).at(1).Code);

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    QVERIFY2(f.Boxes.Texts().first().startsWith(
                 QStringLiteral("回存記錄無法寫入，資料庫未作任何變更。")),
             qPrintable(f.Boxes.Texts().first()));
    QVERIFY2(f.Boxes.Texts().first().contains(QDir::toNativeSeparators(file)),
             qPrintable(f.Boxes.Texts().first()));
    QCOMPARE(f.Rows(), before);
    QVERIFY(f.Progress->Starts.isEmpty());
}

// Beyond the kept number, a new write-back drops the database's oldest,
// rows and all; other databases keep theirs.
void tst_WriteBackJournal::keepsTheLatestWriteBacksPerDatabase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TWriteBackJournal journal(dir.filePath(QStringLiteral("journal.sqlite")));
    const auto begin = [&](const QString& database, int serial) {
        TJournalEntry entry;
        entry.Database = database;
        entry.Column = QStringLiteral("PROD_NAME");
        entry.Value = QString::number(serial);
        TJournalRow row;
        row.Code = QStringLiteral("P%1").arg(serial);
        row.Found = true;
        row.Written = entry.Value;
        const qint64 id = journal.Begin(entry, {row, row});
        journal.Mark(id, 0, TJournalRowState::Written);
        journal.Flush();
        return id;
    };
    const qint64 other = begin(QStringLiteral("other.fdb"), 0);
    QList<qint64> ids;
    for (int i = 1; i <= TWriteBackJournal::KeptPerDatabase + 2; ++i)
        ids.append(begin(QStringLiteral("shop.fdb"), i));

    const QList<TJournalEntry> kept = journal.Entries(QStringLiteral("shop.fdb"));
    QCOMPARE(kept.size(), TWriteBackJournal::KeptPerDatabase);
    QCOMPARE(kept.first().Id, ids.last());
    QCOMPARE(kept.last().Id, ids.at(2));
    QCOMPARE(kept.last().Written, 1);
    QVERIFY(!journal.Entry(ids.at(1)));
    QVERIFY(journal.Rows(ids.at(1)).empty());
    QCOMPARE(journal.Rows(ids.at(2)).size(), std::size_t(2));
    QCOMPARE(journal.Entries(QStringLiteral("other.fdb")).size(), 1);
    QCOMPARE(journal.Entry(other)->Written, 1);
}

void tst_WriteBackJournal::snapshotReadsListedProductsOnly_data()
{
    AddBackendColumn();
    QTest::addColumn<QList<int>>("listed");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:close together", b.data()) << backend << QList<int>{4, 5, 7};
        // The range of the two holds ten times more products: IN lists.
        QTest::addRow("%s:far apart", b.data()) << backend << QList<int>{0, 19};
        QTest::addRow("%s:every product", b.data()) << backend << [] {
            QList<int> all;
            for (int i = 0; i < 20; ++i)
                all << i;
            return all;
        }();
    }
}

// Whichever way the rows come, the result holds the listed products that
// exist, with their values as the database has them, and nothing else.
void tst_WriteBackJournal::snapshotReadsListedProductsOnly()
{
    QFETCH(TestBackend, backend);
    QFETCH(QList<int>, listed);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set NOW_QTY = 1.0E0 / 7")));
    QVERIFY(f.Check->Execute(
        QStringLiteral("update PRODUCT set NOW_QTY = NULL where PROD_ID = '%1'").arg(f.Code(4))));
    QStringList codes = f.Codes(listed);
    codes << QStringLiteral("NO SUCH CODE") << QStringLiteral("O'NEIL") << codes.first();

    const QHash<QString, TProductBefore> before =
        TWriteBackSnapshot::Read(*f.Form->SQLConnection1, QStringLiteral("NOW_QTY"), codes);

    QCOMPARE(before.size(), listed.size());
    const QMap<QString, QVariantList> rows = f.Rows();
    const int qty = f.ColumnIndex(QStringLiteral("NOW_QTY"));
    const int chgDate = f.ColumnIndex(QStringLiteral("CHG_DATE"));
    for (const QString& code : f.Codes(listed)) {
        QVERIFY2(before.contains(code), qPrintable(code));
        const QVariant stored = rows.value(code).at(qty);
        const TSQLParamValue text = before.value(code).Value;
        QCOMPARE(text.has_value(), !stored.isNull());
        if (text) QCOMPARE(text->toDouble(), stored.toDouble());
        QCOMPARE(before.value(code).ChgDate.value_or(QString()),
                 rows.value(code).at(chgDate).toString());
    }
}

QTEST_MAIN(tst_WriteBackJournal)
#include "tst_writebackjournal.moc"
