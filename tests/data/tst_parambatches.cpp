#include "Exceptions.h"
#include "SQLTestConnection.h"
#include "SecondConnection.h"
#include "TClientDataSet.h"
#include "TDataSetProvider.h"
#include "TField.h"
#include "TSQLDataSet.h"
#include "TestBackends.h"
#include "TestDatabase.h"
#include "tools/DemoData.h"

#include <QTest>

// One SELECT prepared once and run per batch of parameter values: the rows of
// every run as one cursor, one provider call and one client dataset open.
class tst_ParamBatches : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void cursorGivesTheRowsOfEveryRunInTurn_data();
    void cursorGivesTheRowsOfEveryRunInTurn();
    void clientDataSetOpensOnceOverEveryBatch_data() { AddBackendRows(); }
    void clientDataSetOpensOnceOverEveryBatch();
    void emptyTextRunsTheLastStatementWithItsBatches_data() { AddBackendRows(); }
    void emptyTextRunsTheLastStatementWithItsBatches();
    void newTextDropsTheBatches_data() { AddBackendRows(); }
    void newTextDropsTheBatches();
    void failingLaterRunLeavesTheDataSetClosed_data() { AddBackendRows(); }
    void failingLaterRunLeavesTheDataSetClosed();
};

namespace
{

const QString ById = QStringLiteral("SELECT PROD_ID FROM PRODUCT WHERE PROD_ID = ?");
const QString ByTwoIds =
    QStringLiteral("SELECT PROD_ID, PROD_NAME FROM PRODUCT WHERE PROD_ID IN (?, ?)");
// A character that the connection's Big5 can't hold: its run is refused.
const QString Unholdable = QStringLiteral("\U0001F600");

QString Code(int index)
{
    return TDemoData::ProductCode(index);
}

TSQLParamBatches Batches(const QList<QStringList>& lists)
{
    TSQLParamBatches batches;
    for (const QStringList& list : lists) {
        QList<TSQLParamValue> values;
        for (const QString& value : list)
            values.append(value);
        batches.append(values);
    }
    return batches;
}

QStringList Ids(TSQLCursor& cursor)
{
    QStringList ids;
    while (cursor.Next())
        ids.append(QString::fromUtf8(cursor.GetText(0)));
    return ids;
}

QStringList Ids(TDataSet& dataSet)
{
    QStringList ids;
    TField* id = dataSet.FieldByName(QStringLiteral("PROD_ID"));
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
        ids.append(id->AsString());
    return ids;
}

// A client dataset over a provider over a SQL dataset, as the windows hold them.
struct TProductList {
    explicit TProductList(TSQLConnection& connection)
    {
        Query.SetSQLConnection(&connection);
        Provider.SetDataSet(&Query);
        Provider.SetOptions({TProviderOption::poAllowCommandText});
        Products.setObjectName(QStringLiteral("CDS_PRODUCT"));
        Products.SetProvider(&Provider);
        Products.AfterOpen = [this](TDataSet*) { ++AfterOpenCount; };
    }

    void Open(const QString& text, const TSQLParamBatches& batches)
    {
        Products.Close();
        Products.SetCommandText(text);
        Products.SetParamBatches(batches);
        Products.Open();
    }

    TSQLDataSet Query;
    TDataSetProvider Provider;
    TClientDataSet Products;
    int AfterOpenCount = 0;
};

} // namespace

void tst_ParamBatches::cursorGivesTheRowsOfEveryRunInTurn_data()
{
    AddBackendColumn();
    QTest::addColumn<QList<QStringList>>("batches");
    QTest::addColumn<QStringList>("ids");
    const QString missing = QStringLiteral("no such code");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:one run", b.data())
            << backend << QList<QStringList>({{Code(4)}}) << QStringList({Code(4)});
        QTest::addRow("%s:runs in the order given", b.data())
            << backend << QList<QStringList>({{Code(7)}, {Code(2)}, {Code(9)}})
            << QStringList({Code(7), Code(2), Code(9)});
        QTest::addRow("%s:runs without rows, first, inside and last", b.data())
            << backend
            << QList<QStringList>({{missing}, {Code(3)}, {missing}, {Code(1)}, {missing}})
            << QStringList({Code(3), Code(1)});
        QTest::addRow("%s:no run finds a row", b.data())
            << backend << QList<QStringList>({{missing}, {missing}}) << QStringList();
    }
}

void tst_ParamBatches::cursorGivesTheRowsOfEveryRunInTurn()
{
    QFETCH(TestBackend, backend);
    QFETCH(QList<QStringList>, batches);
    QFETCH(QStringList, ids);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    auto cursor = c->OpenBatches(ById, Batches(batches));
    QCOMPARE(cursor->ColumnCount(), 1);
    QCOMPARE(cursor->Column(0).Name.toUpper(), QStringLiteral("PROD_ID"));
    QCOMPARE(Ids(*cursor), ids);
    QVERIFY(!cursor->Next());
}

void tst_ParamBatches::clientDataSetOpensOnceOverEveryBatch()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    TProductList list(*c);

    // The last batch repeats a code to fill its places: the row comes once.
    list.Open(ByTwoIds, Batches({{Code(0), Code(5)}, {Code(11), Code(2)}, {Code(19), Code(19)}}));

    QCOMPARE(list.AfterOpenCount, 1);
    QVERIFY(list.Products.Active());
    QCOMPARE(list.Products.RecordCount(), 5);
    QStringList ids = Ids(list.Products);
    ids.sort();
    QCOMPARE(ids, QStringList({Code(0), Code(2), Code(5), Code(11), Code(19)}));
    list.Products.Locate(QStringLiteral("PROD_ID"), Code(11), {});
    QCOMPARE(
        list.Products.FieldByName(QStringLiteral("PROD_NAME"))->AsString(),
        second
            .QueryValue(
                QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(Code(11)))
            .toString());
}

void tst_ParamBatches::emptyTextRunsTheLastStatementWithItsBatches()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TProductList list(*c);
    list.Open(ById, Batches({{Code(3)}, {Code(6)}}));
    list.Products.Close();

    list.Products.SetCommandText(QString());
    QVERIFY(list.Products.ParamBatches().isEmpty());
    list.Products.Open();

    QCOMPARE(Ids(list.Products), QStringList({Code(3), Code(6)}));
    QCOMPARE(list.Query.CommandText(), ById);
    QCOMPARE(list.Query.ParamBatches(), Batches({{Code(3)}, {Code(6)}}));
}

void tst_ParamBatches::newTextDropsTheBatches()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TProductList list(*c);
    list.Open(ById, Batches({{Code(3)}, {Code(6)}}));
    list.Products.Close();

    list.Products.SetCommandText(
        QStringLiteral("SELECT PROD_ID FROM PRODUCT WHERE PROD_ID = '%1'").arg(Code(8)));
    QVERIFY(list.Products.ParamBatches().isEmpty());
    list.Products.Open();

    QCOMPARE(Ids(list.Products), QStringList({Code(8)}));
    QVERIFY(list.Query.ParamBatches().isEmpty());
}

// The rows of the runs before the failing one are not kept: the open fails as
// a refused statement does.
void tst_ParamBatches::failingLaterRunLeavesTheDataSetClosed()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TProductList list(*c);

    try {
        list.Open(ById, Batches({{Code(1)}, {Code(2)}, {Unholdable}, {Code(4)}}));
        QFAIL("the third run must fail");
    } catch (const Exception& e) {
        QVERIFY2(!e.Message().isEmpty(), "the error says why");
    }

    QVERIFY(!list.Products.Active());
    QCOMPARE(list.AfterOpenCount, 0);
    QCOMPARE(list.Products.FieldCount(), 0);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, list.Products.First());
    // The connection goes on working.
    list.Open(ById, Batches({{Code(1)}, {Code(2)}}));
    QCOMPARE(Ids(list.Products), QStringList({Code(1), Code(2)}));
}

QTEST_GUILESS_MAIN(tst_ParamBatches)
#include "tst_parambatches.moc"
