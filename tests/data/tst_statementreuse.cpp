#include "Exceptions.h"
#include "SQLTestConnection.h"
#include "SecondConnection.h"
#include "TSQLQuery.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QTest>

// A batch of like statements on one prepared statement: each run still
// commits on its own, a failed run leaves the others alone, and the
// statement is let go when the batch ends.
class tst_StatementReuse : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void eachRunCommitsOnItsOwn_data() { AddBackendRows(); }
    void eachRunCommitsOnItsOwn();
    void failedRunLeavesTheOthersWritten_data() { AddBackendRows(); }
    void failedRunLeavesTheOthersWritten();
    void otherTextInBetweenRunsItsOwnStatement_data() { AddBackendRows(); }
    void otherTextInBetweenRunsItsOwnStatement();
    void statementIsLetGoWhenTheBatchEnds_data() { AddBackendRows(); }
    void statementIsLetGoWhenTheBatchEnds();

private:
    static void SetUpdate(TSQLQuery& q, const QString& column);
    static void Run(TSQLQuery& q, const QString& code, const std::optional<QString>& value);
};

void tst_StatementReuse::SetUpdate(TSQLQuery& q, const QString& column)
{
    q.SQL().SetText(
        QStringLiteral("UPDATE PRODUCT SET %1 = :V where PROD_ID = :PROD_ID").arg(column));
}

void tst_StatementReuse::Run(TSQLQuery& q, const QString& code, const std::optional<QString>& value)
{
    if (value)
        q.ParamByName(QStringLiteral("V")).SetAsString(*value);
    else
        q.ParamByName(QStringLiteral("V")).Clear();
    q.ParamByName(QStringLiteral("PROD_ID")).SetAsString(code);
    q.ExecSQL();
}

void tst_StatementReuse::eachRunCommitsOnItsOwn()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    const QList<QVariantList> codes =
        second.QueryRows(QStringLiteral("SELECT PROD_ID FROM PRODUCT ORDER BY PROD_ID"));
    QVERIFY(codes.size() >= 4);
    auto c = OpenTestConnection();

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    SetUpdate(q, QStringLiteral("PROD_NAME"));
    TStatementReuse reuse(*c);
    for (int i = 0; i < 3; ++i) {
        const QString code = codes[i][0].toString();
        Run(q, code, QStringLiteral("茶葉 %1").arg(i));
        // Seen by another client at once: no transaction spans the batch.
        QCOMPARE(second
                     .QueryValue(QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = "
                                                "'%1'")
                                     .arg(code))
                     .toString(),
                 QStringLiteral("茶葉 %1").arg(i));
    }
    QVERIFY(!second
                 .QueryValue(QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'")
                                 .arg(codes[3][0].toString()))
                 .toString()
                 .startsWith(QStringLiteral("茶葉")));
}

void tst_StatementReuse::failedRunLeavesTheOthersWritten()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    const QList<QVariantList> rows =
        second.QueryRows(QStringLiteral("SELECT PROD_ID FROM PRODUCT ORDER BY PROD_ID"));
    QVERIFY(rows.size() >= 3);
    const QString first = rows[0][0].toString();
    const QString middle = rows[1][0].toString();
    const QString last = rows[2][0].toString();
    auto c = OpenTestConnection();

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    SetUpdate(q, QStringLiteral("PROD_ID"));
    TStatementReuse reuse(*c);
    Run(q, first, QStringLiteral("NEW-1"));
    // The code is taken: the database refuses the run.
    QVERIFY_THROWS_EXCEPTION(ESQLError, Run(q, middle, last));
    Run(q, last, QStringLiteral("NEW-3"));

    const auto exists = [&](const QString& code) {
        return second
                   .QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE PROD_ID = '%1'")
                                   .arg(code))
                   .toInt() == 1;
    };
    QVERIFY(exists(QStringLiteral("NEW-1")));
    QVERIFY(!exists(first));
    QVERIFY(exists(middle));
    QVERIFY(exists(QStringLiteral("NEW-3")));
    QVERIFY(!exists(last));
}

void tst_StatementReuse::otherTextInBetweenRunsItsOwnStatement()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    const QString code =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    auto c = OpenTestConnection();

    TSQLQuery name;
    name.SetSQLConnection(c.get());
    SetUpdate(name, QStringLiteral("PROD_NAME"));
    TSQLQuery unit;
    unit.SetSQLConnection(c.get());
    SetUpdate(unit, QStringLiteral("PROD_BARCODE"));
    TStatementReuse reuse(*c);
    Run(name, code, QStringLiteral("甲"));
    Run(unit, code, QStringLiteral("4710001"));
    Run(name, code, QStringLiteral("乙"));

    const QList<QVariantList> rows = second.QueryRows(
        QStringLiteral("SELECT PROD_NAME, PROD_BARCODE FROM PRODUCT WHERE PROD_ID = '%1'")
            .arg(code));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("乙"));
    QCOMPARE(rows[0][1].toString(), QStringLiteral("4710001"));
}

void tst_StatementReuse::statementIsLetGoWhenTheBatchEnds()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection second(db);
    QVERIFY(second.Execute(QStringLiteral("CREATE TABLE SCRATCH (K VARCHAR(10), V VARCHAR(10))")));
    QVERIFY(second.Execute(QStringLiteral("INSERT INTO SCRATCH (K, V) VALUES ('a', 'x')")));
    auto c = OpenTestConnection();

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    q.SQL().SetText(QStringLiteral("UPDATE SCRATCH SET V = :V WHERE K = :K"));
    {
        TStatementReuse reuse(*c);
        q.ParamByName(QStringLiteral("V")).SetAsString(QStringLiteral("y"));
        q.ParamByName(QStringLiteral("K")).SetAsString(QStringLiteral("a"));
        q.ExecSQL();
        q.ExecSQL();
    }
    QVERIFY(!c->ReuseStatements());
    // A statement still prepared would keep the table in use.
    QVERIFY2(second.Execute(QStringLiteral("DROP TABLE SCRATCH")),
             qPrintable(second.ErrorString()));
}

QTEST_GUILESS_MAIN(tst_StatementReuse)
#include "tst_statementreuse.moc"
