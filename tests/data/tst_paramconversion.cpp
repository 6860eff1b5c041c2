#include "NumericText.h"
#include "SQLiteParamTypes.h"

#include <QTest>

using Affinity = SQLiteParamTypes::Affinity;
Q_DECLARE_METATYPE(Affinity)

// The strict number syntax of parameter texts, and how the SQLite driver
// finds the column a parameter goes to.
class tst_ParamConversion : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data();
    void numbers();
    void sqliteParameterColumns_data();
    void sqliteParameterColumns();
};

void tst_ParamConversion::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("integer");
    QTest::addColumn<bool>("real");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("reason"); // of ToInteger, or of ToReal when no real

    QTest::newRow("integer") << "42" << true << true << 42.0 << "";
    QTest::newRow("signed") << "-42" << true << true << -42.0 << "";
    QTest::newRow("plus sign") << "+7" << true << true << 7.0 << "";
    QTest::newRow("blanks around") << " \t12 " << true << true << 12.0 << "";
    QTest::newRow("leading zeros") << "007" << true << true << 7.0 << "";
    QTest::newRow("fraction") << "12.50" << false << true << 12.5 << "'12.50' is not an integer";
    QTest::newRow("leading dot") << ".5" << false << true << 0.5 << "'.5' is not an integer";
    QTest::newRow("trailing dot") << "5." << false << true << 5.0 << "'5.' is not an integer";
    QTest::newRow("exponent") << "1.5e3" << false << true << 1500.0 << "'1.5e3' is not an integer";
    QTest::newRow("text") << "abc" << false << false << 0.0 << "'abc' is not a number";
    QTest::newRow("number and text")
        << "12abc" << false << false << 0.0 << "'12abc' is not a number";
    QTest::newRow("decimal comma") << "12,5" << false << false << 0.0 << "'12,5' is not a number";
    QTest::newRow("thousands") << "1,000" << false << false << 0.0 << "'1,000' is not a number";
    QTest::newRow("blank inside") << "1 2" << false << false << 0.0 << "'1 2' is not a number";
    QTest::newRow("hex") << "0x1F" << false << false << 0.0 << "'0x1F' is not a number";
    QTest::newRow("inf") << "inf" << false << false << 0.0 << "'inf' is not a number";
    QTest::newRow("nan") << "nan" << false << false << 0.0 << "'nan' is not a number";
    QTest::newRow("sign only") << "-" << false << false << 0.0 << "'-' is not a number";
    QTest::newRow("dot only") << "." << false << false << 0.0 << "'.' is not a number";
    QTest::newRow("empty") << "" << false << false << 0.0 << "an empty text is not a number";
    QTest::newRow("blanks") << "  " << false << false << 0.0 << "an empty text is not a number";
    QTest::newRow("full-width digits")
        << "１２" << false << false << 0.0 << "'１２' is not a number";
    QTest::newRow("integer out of range") << "99999999999999999999" << false << true << 1e20
                                          << "'99999999999999999999' is out of range";
}

void tst_ParamConversion::numbers()
{
    QFETCH(QString, text);
    QFETCH(bool, integer);
    QFETCH(bool, real);
    QFETCH(double, value);
    QFETCH(QString, reason);

    qint64 i = 0;
    QString why;
    QCOMPARE(NumericText::ToInteger(text, i, why), integer);
    if (integer)
        QCOMPARE(double(i), value);
    else
        QCOMPARE(why, reason);

    double d = 0;
    why.clear();
    QCOMPARE(NumericText::ToReal(text, d, why), real);
    if (real)
        QCOMPARE(d, value);
    else
        QCOMPARE(why, reason);
}

void tst_ParamConversion::sqliteParameterColumns_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QList<Affinity>>("affinities");

    const auto I = Affinity::Integer, T = Affinity::Text, R = Affinity::Real, N = Affinity::Numeric,
               U = Affinity::Unknown;
    QTest::newRow("write-back update")
        << "UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , \nSTOCK_QTY = ? \n where PROD_ID = 'A'"
        << QList<Affinity>{T, T, I};
    QTest::newRow("comparisons both ways")
        << "SELECT * FROM PRODUCT WHERE ? < PSALE_PRICE AND STOCK_QTY >= ? AND PROD_ID <> ?"
        << QList<Affinity>{R, I, T};
    QTest::newRow("alias") << "SELECT * FROM PRODUCT p WHERE p.STOCK_QTY = ?" << QList<Affinity>{I};
    QTest::newRow("alias with AS and join")
        << "SELECT * FROM PROVIDER AS v JOIN PRODUCT AS p ON p.PROVIDER_ID = v.PROVIDER_ID "
           "WHERE p.PSALE_PRICE = ? AND v.PROVIDER_ID = ?"
        << QList<Affinity>{R, T};
    QTest::newRow("quoted names") << "UPDATE \"PRODUCT\" SET \"STOCK_QTY\" = ?"
                                  << QList<Affinity>{I};
    QTest::newRow("in list") << "SELECT * FROM PRODUCT WHERE STOCK_QTY NOT IN (1, ?, ?)"
                             << QList<Affinity>{I, I};
    QTest::newRow("between") << "SELECT * FROM PRODUCT WHERE PSALE_PRICE BETWEEN ? AND ?"
                             << QList<Affinity>{R, R};
    QTest::newRow("null-safe comparison")
        << "UPDATE PRODUCT SET STOCK_QTY = ? WHERE PROD_ID = ? AND PSALE_PRICE IS NOT DISTINCT "
           "FROM ? AND PRODUCT.STOCK_QTY IS DISTINCT FROM ?"
        << QList<Affinity>{I, T, R, I};
    QTest::newRow("insert") << "INSERT INTO PRODUCT (PROD_ID, STOCK_QTY, RATE) VALUES (?, ?, ?)"
                            << QList<Affinity>{T, I, N};
    QTest::newRow("like is text") << "SELECT * FROM PRODUCT WHERE STOCK_QTY LIKE ?"
                                  << QList<Affinity>{U};
    QTest::newRow("expression") << "SELECT * FROM PRODUCT WHERE STOCK_QTY + ? > 3"
                                << QList<Affinity>{U};
    QTest::newRow("unknown column") << "UPDATE PRODUCT SET NOPE = ?" << QList<Affinity>{U};
    QTest::newRow("question mark in a literal")
        << "UPDATE PRODUCT SET PROD_NAME = '?' WHERE STOCK_QTY = ?" << QList<Affinity>{I};
}

void tst_ParamConversion::sqliteParameterColumns()
{
    QFETCH(QString, sql);
    QFETCH(QList<Affinity>, affinities);
    const auto columnType = [](const QString& table,
                               const QString& column) -> std::optional<QString> {
        const QMap<QString, QString> product = {
            {"PROD_ID", "VARCHAR(20)"},          {"CHG_DATE", "VARCHAR(10)"},
            {"CHG_TIME", "VARCHAR(8)"},          {"STOCK_QTY", "INTEGER"},
            {"PSALE_PRICE", "DOUBLE PRECISION"}, {"RATE", "NUMERIC(9,2)"},
            {"PROD_NAME", "VARCHAR(40)"},        {"PROVIDER_ID", "VARCHAR(10)"}};
        const QMap<QString, QString> provider = {{"PROVIDER_ID", "VARCHAR(10)"}};
        const QMap<QString, QString>& t =
            table.compare("PRODUCT", Qt::CaseInsensitive) == 0 ? product : provider;
        if (table.compare("PRODUCT", Qt::CaseInsensitive) != 0 &&
            table.compare("PROVIDER", Qt::CaseInsensitive) != 0)
            return std::nullopt;
        if (!t.contains(column.toUpper())) return std::nullopt;
        return t.value(column.toUpper());
    };
    QCOMPARE(SQLiteParamTypes::Infer(sql, columnType), affinities);
}

QTEST_GUILESS_MAIN(tst_ParamConversion)
#include "tst_paramconversion.moc"
