#include "ChildProgram.h"
#include "MassAmendFixture.h"
#include "OtherClient.h"
#include "TWriteBack.h"
#include "TestBackends.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <memory>

// Five workstations write back the same products at the same moment on one
// Firebird server, a sixth client searching all the while: every run ends
// complete (conflicts with a colleague's write are run again, not failures),
// names follow codes, every journal notes all its rows, and 復原 of every
// run, newest first, brings every product back.
class tst_Workstations : public QObject
{
    Q_OBJECT

private slots:
    void overlappingWriteBacksAllFinish_data();
    void overlappingWriteBacksAllFinish();
};

namespace
{

struct Workstation {
    QString Column;
    QString Value;
};

// One journaled run: the workstation's journal file and the entry.
struct Run {
    QString Journal;
    TJournalEntry Entry;
};

QMap<QString, QVariantList> Columns(SecondConnection& check, const QStringList& columns)
{
    QMap<QString, QVariantList> rows;
    for (const QVariantList& row :
         check.QueryRows(QStringLiteral("select PROD_ID, %1 from PRODUCT").arg(columns.join(u','))))
        rows.insert(row.value(0).toString(), row.mid(1));
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(QList<Workstation>)

void tst_Workstations::overlappingWriteBacksAllFinish_data()
{
    AddBackendColumn();
    QTest::addColumn<QList<Workstation>>("workstations");
    const QString price = QStringLiteral("PSALE_PRICE");
    const QString item = QStringLiteral("PD_ITEMID");
    QList<Workstation> prices;
    for (int i = 1; i <= 5; ++i)
        prices.append({price, QStringLiteral("%1.5").arg(100 + i)});
    QList<Workstation> codes;
    for (int i = 0; i < 3; ++i)
        codes.append({item, TDemoData::LookupRows(QStringLiteral("PROD_ITEM")).at(i).Code});
    codes.append({price, QStringLiteral("201.25")});
    codes.append({price, QStringLiteral("202.25")});
    const QList<TestBackend> backends = ConfiguredBackends();
    if (std::none_of(backends.begin(), backends.end(),
                     [](const TestBackend& b) { return b.Type == TestBackend::Server; }))
        QSKIP("workstations share a database through the server only");
    for (const TestBackend& backend : backends) {
        if (backend.Type != TestBackend::Server) continue;
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:plain column", b.data()) << backend << prices;
        QTest::addRow("%s:code column beside a plain one", b.data()) << backend << codes;
    }
}

void tst_Workstations::overlappingWriteBacksAllFinish()
{
    QFETCH(TestBackend, backend);
    QFETCH(QList<Workstation>, workstations);
    const int products = qEnvironmentVariableIsSet("MASSAMEND_WORKSTATION_PRODUCTS")
                             ? qEnvironmentVariableIntValue("MASSAMEND_WORKSTATION_PRODUCTS")
                             : 300;
    TestDatabaseOptions options;
    options.Products = products;
    TestDatabase database(backend, options);
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    SecondConnection searcher(database);
    const QStringList columns = {QStringLiteral("PSALE_PRICE"), QStringLiteral("PD_ITEMID"),
                                 QStringLiteral("PD_ITEMNAME")};
    const QMap<QString, QVariantList> original = Columns(searcher, columns);
    QCOMPARE(StaleItemNames(searcher), 0);
    QStringList listed;
    for (int i = 0; i < products; ++i)
        listed << MassAmendFixture::Code(i);

    const QString goFile = QDir(database.Dir()).filePath(QStringLiteral("go"));
    std::vector<std::unique_ptr<ChildProgram>> children;
    QStringList journals;
    for (int i = 0; i < workstations.size(); ++i) {
        journals << QDir(database.Dir()).filePath(QStringLiteral("journal-%1.sqlite").arg(i));
        children.push_back(
            std::make_unique<ChildProgram>(database, listed, workstations.at(i).Column,
                                           workstations.at(i).Value, journals.last(), goFile));
    }
    for (const auto& child : children)
        QVERIFY2(child->WaitFor("ready"), child->Rest());
    QFile go(goFile);
    QVERIFY(go.open(QIODevice::WriteOnly));
    go.close();

    // The sixth client searches until every workstation is done.
    qint64 longestSearch = 0;
    int searches = 0;
    const auto running = [&] {
        return std::any_of(children.begin(), children.end(), [](const auto& child) {
            return child->Process.state() != QProcess::NotRunning;
        });
    };
    QElapsedTimer overall;
    overall.start();
    while (running() && overall.elapsed() < 240000) {
        QElapsedTimer search;
        search.start();
        QVERIFY(!searcher
                     .QueryRows(QStringLiteral("select * from PRODUCT where PROD_NAME like '%1%' "
                                               "order by PROD_ID")
                                    .arg(QStringLiteral("%")))
                     .isEmpty());
        longestSearch = std::max(longestSearch, search.elapsed());
        ++searches;
        for (const auto& child : children)
            child->Process.waitForFinished(10);
    }
    int retries = 0;
    for (const auto& child : children) {
        QVERIFY(child->Process.state() == QProcess::NotRunning ||
                child->Process.waitForFinished(60000));
        const QByteArray output = child->Rest();
        QCOMPARE(child->Process.exitCode(), 0);
        // A complete write-back shows no box: a failed or stopped one would.
        QVERIFY2(!output.contains("box:"), output);
        const int at = int(output.indexOf("retries "));
        QVERIFY2(at >= 0, output);
        retries += output.mid(at + 8, output.indexOf('\n', at) - at - 8).toInt();
    }
    qInfo("%d workstations, %d products: all done in %lld ms, %d statements run again after a "
          "conflict; %d searches, the longest %lld ms",
          int(workstations.size()), products, overall.elapsed(), retries, searches, longestSearch);

    // Every run noted every row written, and every product holds the value
    // of one of them.
    QList<Run> runs;
    for (const QString& journal : journals) {
        TWriteBackJournal reader(journal);
        const QList<TJournalEntry> entries = reader.Entries(database.Database());
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().Written, products);
        QCOMPARE(entries.first().Listed, products);
        runs.append({journal, entries.first()});
    }
    const QMap<QString, QVariantList> written = Columns(searcher, columns);
    for (const QString& code : listed)
        for (int c = 0; c < 2; ++c) {
            const QString value = written.value(code).at(c).toString();
            const bool byRun =
                std::any_of(workstations.begin(), workstations.end(), [&](const Workstation& w) {
                    return w.Column == columns.at(c) && w.Value.toDouble() == value.toDouble() &&
                           (c == 0 || w.Value == value);
                });
            QVERIFY2(byRun || written.value(code).at(c) == original.value(code).at(c),
                     qPrintable(code + QLatin1Char(' ') + value));
        }
    QCOMPARE(StaleItemNames(searcher), 0);

    // Taken back newest first, by when each read the values it replaced.
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.Entry.When > b.Entry.When; });
    for (const Run& run : std::as_const(runs)) {
        TRecordingMessages boxes;
        TMessageService* previous = SetMessageService(&boxes);
        {
            TFormMassAmend form;
            form.Journal().SetFileName(run.Journal);
            form.SetProgress(std::make_unique<RecordingProgress>());
            form.UndoWriteBack(run.Entry.Id);
        }
        SetMessageService(previous);
        QCOMPARE(boxes.Texts().size(), 2);
        QVERIFY2(boxes.Texts().at(1).startsWith(QStringLiteral("復原完成")),
                 qPrintable(boxes.Texts().at(1)));
    }
    QCOMPARE(Columns(searcher, columns), original);
    QCOMPARE(StaleItemNames(searcher), 0);
}

QTEST_MAIN(tst_Workstations)
#include "tst_workstations.moc"
