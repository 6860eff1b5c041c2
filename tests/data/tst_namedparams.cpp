#include "Exceptions.h"
#include "NamedParams.h"
#include "TSQLQuery.h"

#include <QTest>

// Named parameters of a SQL command: parsing, the list kept in step with the
// text, and lookup by name.
class tst_NamedParams : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void linesJoinWithLineBreaks();
    void listIsRebuiltAtEveryTextChange();
    void valueSurvivesARebuildWhenItsNameStays();
    void repeatedNameIsOneParameter();
    void unknownNameFailsWithTheQueryName();
    void unnamedQueryHasNoPrefix();
    void clearMakesNull();
};

void tst_NamedParams::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("none") << "SELECT * FROM PRODUCT"
                          << "SELECT * FROM PRODUCT" << QStringList();
    QTest::newRow("update of the write-back")
        << "UPDATE PRODUCT SET CHG_DATE = :chg_date, chg_time=:chg_time , \nPSALE_PRICE = :V \n"
           " where PROD_ID = 'A01'"
        << "UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , \nPSALE_PRICE = ? \n"
           " where PROD_ID = 'A01'"
        << QStringList{"chg_date", "chg_time", "V"};
    QTest::newRow("colon in single quotes")
        << "SELECT * FROM T WHERE A = ':x' AND B = :y"
        << "SELECT * FROM T WHERE A = ':x' AND B = ?" << QStringList{"y"};
    QTest::newRow("colon in double quotes") << "SELECT \":x\" FROM T WHERE B=:y"
                                            << "SELECT \":x\" FROM T WHERE B=?" << QStringList{"y"};
    QTest::newRow("doubled quote stays inside")
        << "SELECT 'it''s :no' FROM T WHERE A = :a"
        << "SELECT 'it''s :no' FROM T WHERE A = ?" << QStringList{"a"};
    QTest::newRow("time literal") << "UPDATE T SET CHG_TIME = '12:30:00' WHERE ID = :id"
                                  << "UPDATE T SET CHG_TIME = '12:30:00' WHERE ID = ?"
                                  << QStringList{"id"};
    QTest::newRow("double colon is one colon") << "SELECT A::B, :c FROM T"
                                               << "SELECT A:B, ? FROM T" << QStringList{"c"};
    QTest::newRow("lone colon stays") << "SELECT : FROM T"
                                      << "SELECT : FROM T" << QStringList();
    QTest::newRow("repeated name")
        << "SELECT * FROM T WHERE A = :v OR B = :V"
        << "SELECT * FROM T WHERE A = ? OR B = ?" << QStringList{"v", "V"};
    QTest::newRow("quoted name") << "SELECT * FROM T WHERE A = :\"my name\""
                                 << "SELECT * FROM T WHERE A = ?" << QStringList{"my name"};
    QTest::newRow("name ends at punctuation")
        << "INSERT INTO T VALUES(:a,:b)"
        << "INSERT INTO T VALUES(?,?)" << QStringList{"a", "b"};
    QTest::newRow("comments hold no parameters")
        << "SELECT 1 -- :x\nFROM T /* :y */ WHERE A = :z"
        << "SELECT 1 -- :x\nFROM T /* :y */ WHERE A = ?" << QStringList{"z"};
    QTest::newRow("chinese name") << "UPDATE T SET A = :價格"
                                  << "UPDATE T SET A = ?" << QStringList{"價格"};
    QTest::newRow("unclosed quote") << "SELECT ':x FROM T"
                                    << "SELECT ':x FROM T" << QStringList();
}

void tst_NamedParams::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, statement);
    QFETCH(QStringList, names);
    const NamedParams parsed = NamedParams::Parse(text);
    QCOMPARE(parsed.Statement, statement);
    QCOMPARE(parsed.Occurrences, names);
}

void tst_NamedParams::linesJoinWithLineBreaks()
{
    TSQLQuery query;
    query.SQL().Add(QStringLiteral("UPDATE PRODUCT SET A = :a,"));
    query.SQL().Add(QStringLiteral("B = :b"));
    QCOMPARE(query.SQL().Text(), QStringLiteral("UPDATE PRODUCT SET A = :a,\nB = :b"));
    QCOMPARE(query.PreparedText(), QStringLiteral("UPDATE PRODUCT SET A = ?,\nB = ?"));
}

void tst_NamedParams::listIsRebuiltAtEveryTextChange()
{
    TSQLQuery query;
    query.SQL().Add(QStringLiteral("UPDATE T SET A = :a"));
    QCOMPARE(query.ParamCount(), 1);
    query.SQL().Add(QStringLiteral(", B = :b WHERE ID = :id"));
    QCOMPARE(query.ParamCount(), 3);
    QCOMPARE(query.Params(2).Name(), QStringLiteral("id"));
    query.SQL().Clear();
    QCOMPARE(query.ParamCount(), 0);
    QVERIFY(!query.FindParam(QStringLiteral("a")));
    query.SQL().SetText(QStringLiteral("DELETE FROM T WHERE X = :x"));
    QCOMPARE(query.ParamCount(), 1);
    QCOMPARE(query.Params(0).Name(), QStringLiteral("x"));
}

void tst_NamedParams::valueSurvivesARebuildWhenItsNameStays()
{
    TSQLQuery query;
    query.SQL().Add(QStringLiteral("UPDATE T SET A = :a"));
    query.ParamByName(QStringLiteral("a")).SetAsString(QStringLiteral("1"));
    query.SQL().Add(QStringLiteral("WHERE B = :b"));
    QCOMPARE(query.ParamByName(QStringLiteral("A")).AsString(), QStringLiteral("1"));
    QVERIFY(!query.ParamByName(QStringLiteral("b")).Bound());
}

void tst_NamedParams::repeatedNameIsOneParameter()
{
    TSQLQuery query;
    query.SQL().SetText(QStringLiteral("SELECT * FROM T WHERE A = :v OR B = :V"));
    QCOMPARE(query.ParamCount(), 1);
    QCOMPARE(&query.ParamByName(QStringLiteral("v")), &query.ParamByName(QStringLiteral("V")));
}

void tst_NamedParams::unknownNameFailsWithTheQueryName()
{
    TSQLQuery query;
    query.setObjectName(QStringLiteral("SQLQuery1"));
    query.SQL().Add(QStringLiteral("UPDATE T SET A = :V"));
    try {
        query.ParamByName(QStringLiteral("chg_date"));
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SQLQuery1: Parameter 'chg_date' not found"));
    }
    // A name written inside quotes is no parameter either.
    query.SQL().SetText(QStringLiteral("UPDATE T SET A = ':V'"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, query.ParamByName(QStringLiteral("V")));
}

void tst_NamedParams::unnamedQueryHasNoPrefix()
{
    TSQLQuery query;
    try {
        query.ParamByName(QStringLiteral("x"));
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Parameter 'x' not found"));
    }
}

void tst_NamedParams::clearMakesNull()
{
    TSQLQuery query;
    query.SQL().Add(QStringLiteral("UPDATE T SET A = :a"));
    TParam& a = query.ParamByName(QStringLiteral("a"));
    QVERIFY(!a.Bound());
    a.SetAsString(QString());
    QVERIFY(a.Bound());
    QVERIFY(!a.IsNull());
    a.Clear();
    QVERIFY(a.Bound());
    QVERIFY(a.IsNull());
}

QTEST_GUILESS_MAIN(tst_NamedParams)
#include "tst_namedparams.moc"
