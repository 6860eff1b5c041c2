#include "ESQLParamError.h"
#include "Exceptions.h"
#include "SQLTestConnection.h"
#include "SecondConnection.h"
#include "TSQLQuery.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <optional>

Q_DECLARE_METATYPE(TSQLParamValue)
#include <QTest>

// The SQL command on every backend: statements run prepared and commit on
// their own; text parameters are converted strictly; locks are waited for.
class tst_SQLQuery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void writeBackStatementCommitsOnItsOwn_data() { AddBackendRows(); }
    void writeBackStatementCommitsOnItsOwn();
    void numericTextIsConverted_data();
    void numericTextIsConverted();
    void textThatIsNoNumberIsRefusedBeforeWriting_data();
    void textThatIsNoNumberIsRefusedBeforeWriting();
    void clearedParameterWritesNull_data() { AddBackendRows(); }
    void clearedParameterWritesNull();
    void parameterNeverSetFails_data() { AddBackendRows(); }
    void parameterNeverSetFails();
    void repeatedParameterIsBoundEverywhere_data() { AddBackendRows(); }
    void repeatedParameterIsBoundEverywhere();
    void refusedStatementWritesNothing_data();
    void refusedStatementWritesNothing();
    void refusedRowKeepsEarlierStatementsCommitted_data() { AddBackendRows(); }
    void refusedRowKeepsEarlierStatementsCommitted();
    void waitsForARowLockUntilTheHolderEnds_data();
    void waitsForARowLockUntilTheHolderEnds();
    void failsAtOnceOnALockWithoutWaitOnLocks_data() { AddBackendRows(); }
    void failsAtOnceOnALockWithoutWaitOnLocks();
    void missingConnectionOrText();
    void rowsAffectedCountsChangedRows_data();
    void rowsAffectedCountsChangedRows();
    void nullSafeComparisonOfAParameter_data();
    void nullSafeComparisonOfAParameter();

private:
    static void SetWriteBack(TSQLQuery& q, const QString& column, const QString& prodId);
};

void tst_SQLQuery::SetWriteBack(TSQLQuery& q, const QString& column, const QString& prodId)
{
    q.Close();
    q.SQL().Clear();
    q.SQL().Add(QStringLiteral("UPDATE PRODUCT SET CHG_DATE = :chg_date, chg_time=:chg_time , "));
    q.SQL().Add(column + QStringLiteral(" = :V "));
    q.SQL().Add(QStringLiteral(" where PROD_ID = '") + prodId + QStringLiteral("'"));
    q.ParamByName(QStringLiteral("chg_date")).SetAsString(QStringLiteral("2030/01/02"));
    q.ParamByName(QStringLiteral("chg_time")).SetAsString(QStringLiteral("10:11:12"));
}

void tst_SQLQuery::writeBackStatementCommitsOnItsOwn()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();

    TSQLQuery q;
    q.setObjectName(QStringLiteral("SQLQuery1"));
    q.SetSQLConnection(c.get());
    SetWriteBack(q, QStringLiteral("PROD_NAME"), id);
    q.ParamByName(QStringLiteral("V")).SetAsString(QStringLiteral("高山烏龍茶 300g"));
    q.ExecSQL();

    const QList<QVariantList> rows = second.QueryRows(
        QStringLiteral("SELECT PROD_NAME, CHG_DATE, CHG_TIME FROM PRODUCT WHERE PROD_ID = '%1'")
            .arg(id));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][0].toString(), QStringLiteral("高山烏龍茶 300g"));
    QCOMPARE(rows[0][1].toString(), QStringLiteral("2030/01/02"));
    QCOMPARE(rows[0][2].toString(), QStringLiteral("10:11:12"));
}

void tst_SQLQuery::numericTextIsConverted_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("stored");
    for (const TestBackend& b : ConfiguredBackends()) {
        const QByteArray name = b.Name().toUtf8();
        const char* n = name.constData();
        QTest::addRow("%s:integer", n) << b << "SAL_TAG"
                                       << "12" << 12.0;
        QTest::addRow("%s:integer with blanks", n) << b << "SAL_TAG"
                                                   << " -3\t" << -3.0;
        QTest::addRow("%s:float", n) << b << "PSALE_PRICE"
                                     << "123.45" << 123.45;
        QTest::addRow("%s:float from integer text", n) << b << "PSALE_PRICE"
                                                       << "+80" << 80.0;
        QTest::addRow("%s:float with exponent", n) << b << "PSALE_PRICE"
                                                   << "1.5E2" << 150.0;
    }
}

void tst_SQLQuery::numericTextIsConverted()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(double, stored);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    SetWriteBack(q, column, id);
    q.ParamByName(QStringLiteral("V")).SetAsString(text);
    q.ExecSQL();
    const QVariant value = second.QueryValue(
        QStringLiteral("SELECT %1 FROM PRODUCT WHERE PROD_ID = '%2'").arg(column, id));
    QCOMPARE(value.toDouble(), stored);
    // Stored as a number, not as text that looks like one.
    QCOMPARE(second
                 .QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE %1 = %2")
                                 .arg(column)
                                 .arg(stored))
                 .toInt(),
             1);
}

void tst_SQLQuery::textThatIsNoNumberIsRefusedBeforeWriting_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    for (const TestBackend& b : ConfiguredBackends()) {
        const QByteArray name = b.Name().toUtf8();
        const char* n = name.constData();
        QTest::addRow("%s:word to integer", n) << b << "SAL_TAG"
                                               << "abc"
                                               << "'abc' is not a number";
        QTest::addRow("%s:fraction to integer", n) << b << "SAL_TAG"
                                                   << "1.5"
                                                   << "'1.5' is not an integer";
        QTest::addRow("%s:empty to integer", n) << b << "SAL_TAG"
                                                << ""
                                                << "an empty text is not a number";
        QTest::addRow("%s:blanks to float", n) << b << "PSALE_PRICE"
                                               << "   "
                                               << "an empty text is not a number";
        QTest::addRow("%s:decimal comma to float", n) << b << "PSALE_PRICE"
                                                      << "12,50"
                                                      << "'12,50' is not a number";
        QTest::addRow("%s:price with currency", n) << b << "PSALE_PRICE"
                                                   << "$120"
                                                   << "'$120' is not a number";
        QTest::addRow("%s:chinese to float", n) << b << "PSALE_PRICE"
                                                << "一百"
                                                << "'一百' is not a number";
        QTest::addRow("%s:too big for integer", n) << b << "SAL_TAG"
                                                   << "99999999999999999999"
                                                   << "'99999999999999999999' is out of range";
    }
}

void tst_SQLQuery::textThatIsNoNumberIsRefusedBeforeWriting()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    const QList<QVariantList> before = second.QueryRows(
        QStringLiteral("SELECT %1, CHG_DATE, CHG_TIME FROM PRODUCT WHERE PROD_ID = '%2'")
            .arg(column, id));

    TSQLQuery q;
    q.setObjectName(QStringLiteral("SQLQuery1"));
    q.SetSQLConnection(c.get());
    SetWriteBack(q, column, id);
    q.ParamByName(QStringLiteral("V")).SetAsString(text);
    try {
        q.ExecSQL();
        QFAIL("no error");
    } catch (const ESQLParamError& e) {
        QCOMPARE(e.Message(),
                 QStringLiteral("SQLQuery1: Invalid value for parameter 'V': ") + reason);
    }
    // Not even the change stamps of the same statement were written.
    QCOMPARE(second.QueryRows(QStringLiteral("SELECT %1, CHG_DATE, CHG_TIME FROM PRODUCT WHERE "
                                             "PROD_ID = '%2'")
                                  .arg(column, id)),
             before);
    // The connection goes on working.
    q.ParamByName(QStringLiteral("V")).SetAsString(QStringLiteral("7"));
    q.ExecSQL();
    QCOMPARE(second
                 .QueryValue(
                     QStringLiteral("SELECT %1 FROM PRODUCT WHERE PROD_ID = '%2'").arg(column, id))
                 .toDouble(),
             7.0);
}

void tst_SQLQuery::clearedParameterWritesNull()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    QVERIFY(second.Execute(QStringLiteral("UPDATE PRODUCT SET SAL_TAG = 5, PROD_NAME = 'x'")));

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    q.SQL().SetText(
        QStringLiteral("UPDATE PRODUCT SET SAL_TAG = :n, PROD_NAME = :s WHERE PROD_ID = :id"));
    q.ParamByName(QStringLiteral("n")).Clear();
    q.ParamByName(QStringLiteral("s")).Clear();
    q.ParamByName(QStringLiteral("id")).SetAsString(id);
    q.ExecSQL();
    QCOMPARE(second
                 .QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE SAL_TAG IS NULL "
                                            "AND PROD_NAME IS NULL AND PROD_ID = '%1'")
                                 .arg(id))
                 .toInt(),
             1);
}

void tst_SQLQuery::parameterNeverSetFails()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TSQLQuery q;
    q.setObjectName(QStringLiteral("SQLQuery1"));
    q.SetSQLConnection(c.get());
    q.SQL().SetText(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = :s, SAL_TAG = :n"));
    q.ParamByName(QStringLiteral("s")).SetAsString(QStringLiteral("x"));
    try {
        q.ExecSQL();
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SQLQuery1: No value for parameter 'n'"));
    }
    SecondConnection second(db);
    QCOMPARE(second.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE PROD_NAME = 'x'"))
                 .toInt(),
             0);
}

void tst_SQLQuery::repeatedParameterIsBoundEverywhere()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    TSQLQuery q;
    q.SetSQLConnection(c.get());
    q.SQL().SetText(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = :v, PROD_ID2 = :V "
                                   "WHERE PROD_ID = (SELECT MIN(PROD_ID) FROM PRODUCT)"));
    q.ParamByName(QStringLiteral("v")).SetAsString(QStringLiteral("雙份"));
    q.ExecSQL();
    SecondConnection second(db);
    QCOMPARE(second
                 .QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE PROD_NAME = "
                                            "PROD_ID2 AND PROD_ID2 IS NOT NULL"))
                 .toInt(),
             1);
}

void tst_SQLQuery::refusedStatementWritesNothing_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("where");
    for (const TestBackend& b : ConfiguredBackends()) {
        const QByteArray name = b.Name().toUtf8();
        const char* n = name.constData();
        // The write-back with no column chosen.
        QTest::addRow("%s:no column", n) << b << ""
                                         << "";
        QTest::addRow("%s:unknown column", n) << b << "NO_SUCH_COLUMN"
                                              << "";
        QTest::addRow("%s:duplicate key", n) << b << "PROD_ID"
                                             << "";
    }
}

void tst_SQLQuery::refusedStatementWritesNothing()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QList<QVariantList> ids =
        second.QueryRows(QStringLiteral("SELECT PROD_ID FROM PRODUCT ORDER BY PROD_ID"));
    QVERIFY(ids.size() >= 2);
    const QList<QVariantList> before = second.QueryRows(
        QStringLiteral("SELECT PROD_ID, CHG_DATE, CHG_TIME FROM PRODUCT ORDER BY PROD_ID"));

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    // Every row's statement, so a partial write of the key change would show.
    SetWriteBack(q, column, QStringLiteral("%") + QStringLiteral("' OR PROD_ID <> '"));
    q.ParamByName(QStringLiteral("V")).SetAsString(ids[0][0].toString());
    QVERIFY_THROWS_EXCEPTION(ESQLError, q.ExecSQL());
    QCOMPARE(second.QueryRows(QStringLiteral(
                 "SELECT PROD_ID, CHG_DATE, CHG_TIME FROM PRODUCT ORDER BY PROD_ID")),
             before);
}

void tst_SQLQuery::refusedRowKeepsEarlierStatementsCommitted()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QList<QVariantList> ids =
        second.QueryRows(QStringLiteral("SELECT PROD_ID FROM PRODUCT ORDER BY PROD_ID"));

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    SetWriteBack(q, QStringLiteral("PROD_NAME"), ids[0][0].toString());
    q.ParamByName(QStringLiteral("V")).SetAsString(QStringLiteral("first"));
    q.ExecSQL();
    SetWriteBack(q, QStringLiteral("PROD_ID"), ids[1][0].toString());
    q.ParamByName(QStringLiteral("V")).SetAsString(ids[0][0].toString());
    QVERIFY_THROWS_EXCEPTION(ESQLError, q.ExecSQL());
    QCOMPARE(second
                 .QueryValue(QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'")
                                 .arg(ids[0][0].toString()))
                 .toString(),
             QStringLiteral("first"));
}

void tst_SQLQuery::waitsForARowLockUntilTheHolderEnds_data()
{
    AddBackendColumn();
    QTest::addColumn<bool>("commit");
    for (const TestBackend& b : ConfiguredBackends()) {
        QTest::addRow("%s:holder commits", qPrintable(b.Name())) << b << true;
        QTest::addRow("%s:holder rolls back", qPrintable(b.Name())) << b << false;
    }
}

void tst_SQLQuery::waitsForARowLockUntilTheHolderEnds()
{
    QFETCH(TestBackend, backend);
    QFETCH(bool, commit);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection(); // WaitOnLocks=True in the test's connections file
    QCOMPARE(c->Params().Values(QStringLiteral("WaitOnLocks")), QStringLiteral("True"));
    SecondConnection holder(db);
    const QString id =
        holder.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();

    QVERIFY(holder.StartTransaction());
    QVERIFY(holder.Execute(
        QStringLiteral("UPDATE PRODUCT SET PROD_NAME = 'holder' WHERE PROD_ID = '%1'").arg(id)));
    const std::chrono::milliseconds delay(1500);
    std::future<QString> released =
        commit ? holder.CommitLater(delay) : holder.RollbackLater(delay);

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    SetWriteBack(q, QStringLiteral("PROD_ID2"), id);
    q.ParamByName(QStringLiteral("V")).SetAsString(QStringLiteral("waited"));
    q.ExecSQL();
    QVERIFY2(holder.Releasing(), "the statement did not wait for the row lock");
    QCOMPARE(released.get(), QString());

    SecondConnection check(db);
    const QList<QVariantList> rows = check.QueryRows(
        QStringLiteral("SELECT PROD_NAME, PROD_ID2 FROM PRODUCT WHERE PROD_ID = '%1'").arg(id));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0][1].toString(), QStringLiteral("waited"));
    QCOMPARE(rows[0][0].toString() == QLatin1String("holder"), commit);
}

void tst_SQLQuery::failsAtOnceOnALockWithoutWaitOnLocks()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    c->Close();
    c->Params().SetValue(QStringLiteral("WaitOnLocks"), QStringLiteral("False"));
    c->Open();
    SecondConnection holder(db);
    const QString id =
        holder.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    QVERIFY(holder.StartTransaction());
    QVERIFY(holder.Execute(
        QStringLiteral("UPDATE PRODUCT SET PROD_NAME = 'holder' WHERE PROD_ID = '%1'").arg(id)));

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    SetWriteBack(q, QStringLiteral("PROD_ID2"), id);
    q.ParamByName(QStringLiteral("V")).SetAsString(QStringLiteral("not waited"));
    QVERIFY_THROWS_EXCEPTION(ESQLError, q.ExecSQL());
    QVERIFY(holder.Rollback());
    QVERIFY(
        holder
            .QueryValue(QStringLiteral("SELECT PROD_ID2 FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
            .toString() != QLatin1String("not waited"));
}

void tst_SQLQuery::missingConnectionOrText()
{
    TSQLQuery q;
    q.setObjectName(QStringLiteral("SQLQuery1"));
    q.SQL().SetText(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = 'x'"));
    try {
        q.ExecSQL();
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SQLQuery1: Missing SQLConnection property"));
    }
    TSQLConnection c;
    q.SetSQLConnection(&c);
    q.SQL().Clear();
    try {
        q.ExecSQL();
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SQLQuery1: No SQL statement available"));
    }
}

void tst_SQLQuery::rowsAffectedCountsChangedRows_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("reuse");
    QTest::addColumn<int>("expected");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        for (const bool reuse : {false, true}) {
            const char* r = reuse ? "kept" : "fresh";
            QTest::addRow("%s:%s:one row", b.data(), r)
                << backend << QStringLiteral("UPDATE PRODUCT SET SAL_TAG = 1 WHERE PROD_ID = :id")
                << reuse << 1;
            QTest::addRow("%s:%s:no row", b.data(), r)
                << backend
                << QStringLiteral("UPDATE PRODUCT SET SAL_TAG = 1 WHERE PROD_ID = :id || 'none'")
                << reuse << 0;
            QTest::addRow("%s:%s:every row", b.data(), r)
                << backend
                << QStringLiteral("UPDATE PRODUCT SET SAL_TAG = 2 WHERE PROD_ID <> :id || 'x'")
                << reuse << 20;
            QTest::addRow("%s:%s:delete", b.data(), r)
                << backend << QStringLiteral("DELETE FROM PRODUCT WHERE PROD_ID = :id") << reuse
                << 1;
            if (!reuse)
                QTest::addRow("%s:%s:select", b.data(), r)
                    << backend << QStringLiteral("SELECT * FROM PRODUCT WHERE PROD_ID = :id")
                    << reuse << 0;
        }
    }
}

// An earlier statement's count never shows through a later one.
void tst_SQLQuery::rowsAffectedCountsChangedRows()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, sql);
    QFETCH(bool, reuse);
    QFETCH(int, expected);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    std::optional<TStatementReuse> kept;
    if (reuse) kept.emplace(*c);

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    QCOMPARE(q.RowsAffected(), 0);
    q.SQL().SetText(QStringLiteral("UPDATE PRODUCT SET SAL_TAG = 3 WHERE PROD_ID <> :id"));
    q.ParamByName(QStringLiteral("id")).SetAsString(id);
    q.ExecSQL();
    QCOMPARE(q.RowsAffected(), 19);
    q.SQL().SetText(sql);
    q.ParamByName(QStringLiteral("id")).SetAsString(id);
    for (int run = 0; run < 2; ++run) {
        q.ExecSQL();
        QCOMPARE(q.RowsAffected(),
                 run == 0 || !sql.startsWith(QLatin1String("DELETE")) ? expected : 0);
    }

    // Uncounted, the statement still runs and commits; the count is unknown.
    q.SetCountRows(false);
    q.SQL().SetText(QStringLiteral("UPDATE PRODUCT SET SAL_TAG = 7 WHERE PROD_ID <> :id"));
    q.ParamByName(QStringLiteral("id")).SetAsString(id);
    q.ExecSQL();
    QCOMPARE(q.RowsAffected(), -1);
    QCOMPARE(
        second.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE SAL_TAG = 7")).toInt(),
        19);
}

void tst_SQLQuery::nullSafeComparisonOfAParameter_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<TSQLParamValue>("compared");
    QTest::addColumn<int>("expected");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:null is null", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("NULL") << TSQLParamValue()
            << 1;
        QTest::addRow("%s:value is no null", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("4") << TSQLParamValue() << 0;
        QTest::addRow("%s:null is no value", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("NULL")
            << TSQLParamValue(QStringLiteral("4")) << 0;
        QTest::addRow("%s:integer from text", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("4")
            << TSQLParamValue(QStringLiteral(" 4")) << 1;
        QTest::addRow("%s:float to the last digit", b.data())
            << backend << QStringLiteral("PSALE_PRICE") << QStringLiteral("0.1")
            << TSQLParamValue(QStringLiteral("0.10000000000000001")) << 1;
        QTest::addRow("%s:float one step off", b.data())
            << backend << QStringLiteral("PSALE_PRICE") << QStringLiteral("0.1")
            << TSQLParamValue(QStringLiteral("0.10000000000000003")) << 0;
        QTest::addRow("%s:text", b.data())
            << backend << QStringLiteral("PROD_NAME") << QStringLiteral("'茶'")
            << TSQLParamValue(QStringLiteral("茶")) << 1;
    }
}

// The guard of an undo: the row changes only while the column holds the value.
void tst_SQLQuery::nullSafeComparisonOfAParameter()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, stored);
    QFETCH(TSQLParamValue, compared);
    QFETCH(int, expected);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    auto c = OpenTestConnection();
    SecondConnection second(db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    QVERIFY(second.Execute(
        QStringLiteral("UPDATE PRODUCT SET %1 = %2 WHERE PROD_ID = '%3'").arg(column, stored, id)));

    TSQLQuery q;
    q.SetSQLConnection(c.get());
    q.SQL().SetText(QStringLiteral("UPDATE PRODUCT SET CHG_TIME = 'hit' WHERE PROD_ID = :id AND "
                                   "%1 IS NOT DISTINCT FROM :w")
                        .arg(column));
    q.ParamByName(QStringLiteral("id")).SetAsString(id);
    TParam& w = q.ParamByName(QStringLiteral("w"));
    if (compared)
        w.SetAsString(*compared);
    else
        w.Clear();
    q.ExecSQL();
    QCOMPARE(q.RowsAffected(), expected);
    QCOMPARE(
        second.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE CHG_TIME = 'hit'"))
            .toInt(),
        expected);
}

QTEST_GUILESS_MAIN(tst_SQLQuery)
#include "tst_sqlquery.moc"
