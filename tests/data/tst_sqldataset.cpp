#include "Exceptions.h"
#include "SQLTestConnection.h"
#include "SecondConnection.h"
#include "TDataSetProvider.h"
#include "TSQLDataSet.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QTest>

// The SQL dataset and the provider: which statement runs, and what its
// cursor gives for each kind of column.
class tst_SQLDataSet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void providerTakesCommandTextAndKeepsItWhenEmpty_data() { AddBackendRows(); }
    void providerTakesCommandTextAndKeepsItWhenEmpty();
    void providerWithoutCommandTextChanges_data() { AddBackendRows(); }
    void providerWithoutCommandTextChanges();
    void missingPieces();
    void columnKinds_data();
    void columnKinds();
    void nullsReadAsNull_data() { AddBackendRows(); }
    void nullsReadAsNull();
    void everyProductColumnIsRead_data() { AddBackendRows(); }
    void everyProductColumnIsRead();
    void refusedSelectFails_data() { AddBackendRows(); }
    void refusedSelectFails();
    void emptyResultHasColumns_data() { AddBackendRows(); }
    void emptyResultHasColumns();
};

namespace
{

QStringList Ids(TSQLCursor& cursor)
{
    QStringList ids;
    while (cursor.Next())
        ids.append(QString::fromUtf8(cursor.GetText(0)));
    return ids;
}

} // namespace

void tst_SQLDataSet::providerTakesCommandTextAndKeepsItWhenEmpty()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QList<QVariantList> all =
        second.QueryRows(QStringLiteral("SELECT PROD_ID FROM PRODUCT ORDER BY PROD_ID"));

    TSQLDataSet ds;
    ds.SetSQLConnection(c.get());
    ds.SetCommandText(QStringLiteral("SELECT PROD_ID FROM PRODUCT WHERE 1 = 0"));
    TDataSetProvider provider;
    provider.SetDataSet(&ds);
    provider.SetOptions({TProviderOption::poAllowCommandText});

    QCOMPARE(Ids(*provider.OpenCursor(QString())), QStringList());
    const QString text = QStringLiteral("SELECT PROD_ID FROM PRODUCT WHERE PROD_ID IN ('%1', '%2') "
                                        "ORDER BY PROD_ID")
                             .arg(all[0][0].toString(), all[1][0].toString());
    QCOMPARE(Ids(*provider.OpenCursor(text)),
             (QStringList{all[0][0].toString(), all[1][0].toString()}));
    QCOMPARE(ds.CommandText(), text);
    // An empty text runs the previous statement again.
    QCOMPARE(Ids(*provider.OpenCursor(QString())).size(), 2);
}

void tst_SQLDataSet::providerWithoutCommandTextChanges()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TSQLDataSet ds;
    ds.SetSQLConnection(c.get());
    ds.SetCommandText(QStringLiteral("SELECT PROD_ID FROM PRODUCT"));
    TDataSetProvider provider;
    provider.setObjectName(QStringLiteral("DSP_Query"));
    provider.SetDataSet(&ds);
    try {
        provider.OpenCursor(QStringLiteral("DELETE FROM PRODUCT"));
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("DSP_Query: CommandText changes are not allowed"));
    }
    QCOMPARE(Ids(*provider.OpenCursor(QString())).size(), 20);
}

void tst_SQLDataSet::missingPieces()
{
    TDataSetProvider provider;
    provider.setObjectName(QStringLiteral("DSP_Query"));
    try {
        provider.OpenCursor(QString());
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("DSP_Query: Missing DataSet property"));
    }
    TSQLDataSet ds;
    ds.setObjectName(QStringLiteral("SQLDataSet1"));
    provider.SetDataSet(&ds);
    provider.SetOptions({TProviderOption::poAllowCommandText});
    try {
        provider.OpenCursor(QStringLiteral("SELECT 1 FROM PRODUCT"));
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SQLDataSet1: Missing SQLConnection property"));
    }
    {
        TSQLConnection c;
        ds.SetSQLConnection(&c);
        ds.SetCommandText(QString());
        try {
            ds.OpenCursor();
            QFAIL("no error");
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QStringLiteral("SQLDataSet1: No SQL statement available"));
        }
    }
    // The connection is gone: the dataset knows it has none.
    QCOMPARE(ds.SQLConnection(), nullptr);
}

void tst_SQLDataSet::columnKinds_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("declared");
    QTest::addColumn<QString>("literal");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size"); // -1: not checked
    QTest::addColumn<QString>("value");

    const int S = int(TFieldType::ftString), I = int(TFieldType::ftInteger),
              F = int(TFieldType::ftFloat);
    for (const TestBackend& b : ConfiguredBackends()) {
        const QByteArray name = b.Name().toUtf8();
        const char* n = name.constData();
        const bool fb = b.IsFirebird();
        // Firebird counts a VARCHAR's bytes in the connection's set: two per BIG_5 character.
        QTest::addRow("%s:varchar", n) << b << "VARCHAR(10)"
                                       << "'茶abc'" << S << (fb ? 20 : 10) << "茶abc";
        QTest::addRow("%s:integer", n) << b << "INTEGER"
                                       << "-123456" << I << -1 << "-123456";
        QTest::addRow("%s:smallint", n) << b << "SMALLINT"
                                        << "12" << I << -1 << "12";
        QTest::addRow("%s:bigint", n) << b << "BIGINT"
                                      << "9007199254740993" << F << -1 << "9007199254740992";
        QTest::addRow("%s:double", n) << b << "DOUBLE PRECISION"
                                      << "1234.5" << F << -1 << "1234.5";
        QTest::addRow("%s:float", n) << b << "FLOAT"
                                     << "0.5" << F << -1 << "0.5";
        QTest::addRow("%s:numeric", n) << b << "NUMERIC(9,2)"
                                       << "12.34" << F << -1 << "12.34";
        QTest::addRow("%s:date", n) << b << "DATE"
                                    << "'2024-03-05'" << S << -1 << "2024-03-05";
    }
}

void tst_SQLDataSet::columnKinds()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, declared);
    QFETCH(QString, literal);
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(QString, value);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    QVERIFY(second.Execute(QStringLiteral("CREATE TABLE KINDS (V %1)").arg(declared)));
    QVERIFY(second.Execute(QStringLiteral("INSERT INTO KINDS (V) VALUES (%1)").arg(literal)));

    auto c = OpenTestConnection();
    TSQLDataSet ds;
    ds.SetSQLConnection(c.get());
    ds.SetCommandText(QStringLiteral("SELECT V FROM KINDS"));
    auto cursor = ds.OpenCursor();
    QCOMPARE(cursor->ColumnCount(), 1);
    QCOMPARE(cursor->Column(0).Name.toUpper(), QStringLiteral("V"));
    QCOMPARE(int(cursor->Column(0).DataType), kind);
    if (size >= 0) QCOMPARE(cursor->Column(0).Size, size);
    QVERIFY(cursor->Next());
    QVERIFY(!cursor->IsNull(0));
    switch (TFieldType(kind)) {
    case TFieldType::ftString:
        QCOMPARE(QString::fromUtf8(cursor->GetText(0)), value);
        break;
    case TFieldType::ftInteger:
        QCOMPARE(cursor->GetInteger(0), value.toInt());
        break;
    default:
        QCOMPARE(cursor->GetFloat(0), value.toDouble());
        break;
    }
    QVERIFY(!cursor->Next());
    QVERIFY(!cursor->Next());
}

void tst_SQLDataSet::nullsReadAsNull()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    QVERIFY(second.Execute(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = NULL, SAL_TAG = NULL")));
    auto c = OpenTestConnection();
    auto cursor =
        c->OpenCursor(QStringLiteral("SELECT PROD_NAME, SAL_TAG, PSALE_PRICE FROM PRODUCT"), {});
    int rows = 0;
    while (cursor->Next()) {
        ++rows;
        QVERIFY(cursor->IsNull(0));
        QVERIFY(cursor->IsNull(1));
        QVERIFY(!cursor->IsNull(2));
    }
    QCOMPARE(rows, 20);
}

void tst_SQLDataSet::everyProductColumnIsRead()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    const QList<QVariantList> expected =
        second.QueryRows(QStringLiteral("SELECT * FROM PRODUCT ORDER BY PROD_ID"));
    auto c = OpenTestConnection();
    auto cursor = c->OpenCursor(QStringLiteral("SELECT * FROM PRODUCT ORDER BY PROD_ID"), {});
    QCOMPARE(cursor->ColumnCount(), 105);
    for (const QVariantList& row : expected) {
        QVERIFY(cursor->Next());
        for (int i = 0; i < cursor->ColumnCount(); ++i) {
            const TSQLColumn& column = cursor->Column(i);
            QVERIFY2(column.DataType != TFieldType::ftUnknown, qPrintable(column.Name));
            if (cursor->IsNull(i)) {
                QVERIFY2(row[i].isNull(), qPrintable(column.Name));
                continue;
            }
            QVariant got;
            if (column.DataType == TFieldType::ftString)
                got = QString::fromUtf8(cursor->GetText(i));
            else if (column.DataType == TFieldType::ftInteger)
                got = cursor->GetInteger(i);
            else
                got = cursor->GetFloat(i);
            QVERIFY2(got.toString() == row[i].toString(),
                     qPrintable(column.Name + ": " + got.toString() + " <> " + row[i].toString()));
        }
    }
    QVERIFY(!cursor->Next());
}

void tst_SQLDataSet::refusedSelectFails()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TSQLDataSet ds;
    ds.SetSQLConnection(c.get());
    ds.SetCommandText(QStringLiteral("SELECT NO_SUCH_COLUMN FROM PRODUCT"));
    try {
        ds.OpenCursor();
        QFAIL("no error");
    } catch (const ESQLError& e) {
        QVERIFY2(e.Message().contains(QStringLiteral("NO_SUCH_COLUMN"), Qt::CaseInsensitive),
                 qPrintable(e.Message()));
    }
    // The connection is still good.
    ds.SetCommandText(QStringLiteral("SELECT PROD_ID FROM PRODUCT"));
    QCOMPARE(Ids(*ds.OpenCursor()).size(), 20);
}

void tst_SQLDataSet::emptyResultHasColumns()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    // The product list's first opening: no rows, all the columns.
    auto cursor = c->OpenCursor(QStringLiteral("SELECT * FROM PRODUCT WHERE 1 = 0"), {});
    QCOMPARE(cursor->ColumnCount(), 105);
    QCOMPARE(cursor->Column(0).Name, QStringLiteral("PROD_ID"));
    QCOMPARE(cursor->Column(0).DataType, TFieldType::ftString);
    QVERIFY(!cursor->Next());
}

QTEST_GUILESS_MAIN(tst_SQLDataSet)
#include "tst_sqldataset.moc"
