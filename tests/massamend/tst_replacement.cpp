#include "MassAmendFixture.h"
#include "TestBackends.h"

#include <QTest>

// "更動": the value goes into every listed row in memory, never to the
// database.
class tst_Replacement : public QObject
{
    Q_OBJECT

private slots:
    void everyRowGetsTheValue_data();
    void everyRowGetsTheValue();
    void listOrderedByTheChosenColumnGivesEveryRowTheValueOnce_data();
    void listOrderedByTheChosenColumnGivesEveryRowTheValueOnce();
    void refusedValue_data();
    void refusedValue();
    void requiredColumnStopsAtFirstRow_data();
    void requiredColumnStopsAtFirstRow();
    void emptyListDoesNothing_data();
    void emptyListDoesNothing();
};

namespace
{

QStringList ColumnValues(TDataSet& ds, const QString& field)
{
    QStringList values;
    for (ds.First(); !ds.Eof(); ds.Next())
        values << ds.FieldByName(field)->DisplayText();
    return values;
}

} // namespace

void tst_Replacement::everyRowGetsTheValue_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:text", b.data()) << backend << QStringLiteral("PROD_NAME")
                                           << QStringLiteral("新品名") << QStringLiteral("新品名");
        QTest::addRow("%s:cut to size", b.data())
            << backend << QStringLiteral("PD_CLASSID") << QStringLiteral("類別XY")
            << QStringLiteral("類別X");
        QTest::addRow("%s:integer", b.data()) << backend << QStringLiteral("SAL_TAG")
                                              << QStringLiteral(" 42 ") << QStringLiteral("42");
        QTest::addRow("%s:display format", b.data())
            << backend << QStringLiteral("AVG_COST") << QStringLiteral("3.14159")
            << QStringLiteral("3.14");
        QTest::addRow("%s:edit mask", b.data())
            << backend << QStringLiteral("PUT_ID") << QStringLiteral("12345")
            << QStringLiteral("12-34-5");
        QTest::addRow("%s:empty number is null", b.data())
            << backend << QStringLiteral("NOW_QTY") << QString() << QString();
    }
}

void tst_Replacement::everyRowGetsTheValue()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(f.Codes({1, 4, 7, 11}));
    f.Choose(column, value);

    f.Form->Button1Click(f.Form->Button1);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    QVERIFY(products.Eof());
    QCOMPARE(products.RecNo(), 4);
    QCOMPARE(products.State(), TDataSetState::dsBrowse);
    QCOMPARE(ColumnValues(products, column), QStringList(4, shown));
    if (value.isEmpty()) {
        for (products.First(); !products.Eof(); products.Next())
            QVERIFY(products.FieldByName(column)->IsNull());
    }
    QCOMPARE(f.Rows(), before);
}

void tst_Replacement::listOrderedByTheChosenColumnGivesEveryRowTheValueOnce_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        // Each posted row moves past the rows still to come, or before them.
        QTest::addRow("%s:moves to the end", b.data())
            << backend << QStringLiteral("PROD_ID") << QStringLiteral("999999");
        QTest::addRow("%s:moves to the start", b.data())
            << backend << QStringLiteral("NOW_QTY") << QStringLiteral("-1");
        QTest::addRow("%s:text moves to the end", b.data())
            << backend << QStringLiteral("PROD_BARCODE") << QStringLiteral("ZZZ");
    }
}

void tst_Replacement::listOrderedByTheChosenColumnGivesEveryRowTheValueOnce()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, value);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    products.SetIndexFieldNames(column);
    const QStringList codes = f.Codes({0, 1, 2, 3, 4, 5, 6, 7});
    f.Load(codes);
    QStringList names = ColumnValues(products, QStringLiteral("PROD_NAME"));
    f.Choose(column, value);

    f.Form->Button1Click(f.Form->Button1);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(products.RecordCount(), codes.size());
    QCOMPARE(ColumnValues(products, column), QStringList(codes.size(), value));
    QStringList namesAfter = ColumnValues(products, QStringLiteral("PROD_NAME"));
    names.sort();
    namesAfter.sort();
    QCOMPARE(namesAfter, names);
}

void tst_Replacement::refusedValue_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:text in number", b.data())
            << backend << QStringLiteral("NOW_QTY") << QStringLiteral("many")
            << QStringLiteral("Invalid value for field '現有數量'");
        QTest::addRow("%s:no column chosen", b.data())
            << backend << QString() << QStringLiteral("1")
            << QStringLiteral("CDS_PRODUCT: Field '' not found.");
    }
}

void tst_Replacement::refusedValue()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, message);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    products.SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(f.Codes({1, 2, 3}));
    const QStringList before = ColumnValues(products, QStringLiteral("NOW_QTY"));
    f.Choose(column, value);

    f.Form->Button1Click(f.Form->Button1);

    QCOMPARE(f.Boxes.Texts(), QStringList({message}));
    // The first row is left in edit mode, unchanged; moving on cancels it.
    QCOMPARE(products.State(), TDataSetState::dsEdit);
    QCOMPARE(products.RecNo(), 1);
    QCOMPARE(ColumnValues(products, QStringLiteral("NOW_QTY")), before);
}

void tst_Replacement::requiredColumnStopsAtFirstRow_data()
{
    AddBackendRows();
}

void tst_Replacement::requiredColumnStopsAtFirstRow()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    products.SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(f.Codes({1, 2, 3}));
    f.Choose(QStringLiteral("VIP_PRICE"), QString());

    f.Form->Button1Click(f.Form->Button1);

    QCOMPARE(f.Boxes.Texts(), QStringList({QStringLiteral("Field '會員售價' must have a value.")}));
    QCOMPARE(products.RecNo(), 1);
    products.Cancel();
    for (products.First(); !products.Eof(); products.Next())
        QVERIFY(!products.FieldByName(QStringLiteral("VIP_PRICE"))->IsNull());
}

void tst_Replacement::emptyListDoesNothing_data()
{
    AddBackendRows();
}

void tst_Replacement::emptyListDoesNothing()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    QCOMPARE(products.RecordCount(), 0);
    f.Choose(QStringLiteral("PROD_NAME"), QStringLiteral("X"));

    f.Form->Button1Click(f.Form->Button1);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(products.RecordCount(), 0);
    QCOMPARE(products.State(), TDataSetState::dsBrowse);
}

QTEST_MAIN(tst_Replacement)
#include "tst_replacement.moc"
