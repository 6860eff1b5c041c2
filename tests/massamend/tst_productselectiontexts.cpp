#include "ProductCatalogue.h"
#include "TProductSelection.h"

#include <QTest>

// The texts of product selection: the column list for the dialog, the codes
// read back from it and the statement that reloads the product list.
class tst_ProductSelectionTexts : public QObject
{
    Q_OBJECT

private slots:
    void columnList_data();
    void columnList();
    void columnListOfTheProductFields();
    void codeList_data();
    void codeList();
    void selectStatement_data();
    void selectStatement();
    void codesBeyondOneInListGoIntoSeveralLists_data();
    void codesBeyondOneInListGoIntoSeveralLists();
};

namespace
{

const QString Start = QStringLiteral("select * from product where prod_id in (");
const QString Joint = QStringLiteral(") union all select * from product where prod_id in (");

QStringList ProductFieldNames()
{
    QStringList names;
    for (const TProductFieldDef& def : ProductCatalogue::Fields)
        names.append(def.Name());
    return names;
}

QStringList NumberedCodes(int count)
{
    QStringList codes;
    for (int i = 0; i < count; ++i)
        codes.append(QString::number(100001 + i));
    return codes;
}

} // namespace

void tst_ProductSelectionTexts::columnList_data()
{
    QTest::addColumn<QStringList>("fieldNames");
    QTest::addColumn<QString>("columnList");
    QTest::newRow("two fields") << QStringList(
                                       {QStringLiteral("PROD_ID"), QStringLiteral("PROD_NAME")})
                                << QStringLiteral("PROD_ID,PROD_NAME ");
    QTest::newRow("three fields") << QStringList({QStringLiteral("A"), QStringLiteral("B"),
                                                  QStringLiteral("C")})
                                  << QStringLiteral("A,B,C ");
}

void tst_ProductSelectionTexts::columnList()
{
    QFETCH(QStringList, fieldNames);
    QFETCH(QString, columnList);
    QCOMPARE(TProductSelection::ColumnList(fieldNames), columnList);
}

void tst_ProductSelectionTexts::columnListOfTheProductFields()
{
    const QString list = TProductSelection::ColumnList(ProductFieldNames());
    QVERIFY2(list.startsWith(QStringLiteral("PROD_ID,PROD_ID2,PROD_BARCODE,")), qPrintable(list));
    QVERIFY2(list.endsWith(QStringLiteral(",GIVE_QTY2 ")), qPrintable(list));
    QCOMPARE(list.count(QLatin1Char(' ')), 1);
    QStringList names = list.chopped(1).split(QLatin1Char(','));
    QCOMPARE(names.size(), 105);
    QCOMPARE(names, ProductFieldNames());
}

void tst_ProductSelectionTexts::codeList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");
    const QStringList ab = {QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("CR LF, as the dialog gives them") << QStringLiteral("A\r\nB\r\n") << ab;
    QTest::newRow("LF") << QStringLiteral("A\nB\n") << ab;
    QTest::newRow("CR") << QStringLiteral("A\rB\r") << ab;
    QTest::newRow("mixed") << QStringLiteral("A\rB\nC\r\n")
                           << QStringList(
                                  {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    QTest::newRow("no final break") << QStringLiteral("A\r\nB") << ab;
    QTest::newRow("empty line inside kept")
        << QStringLiteral("A\r\n\r\nB\r\n")
        << QStringList({QStringLiteral("A"), QString(), QStringLiteral("B")});
    QTest::newRow("spaces kept") << QStringLiteral(" A \r\n")
                                 << QStringList({QStringLiteral(" A ")});
    QTest::newRow("nothing selected") << QString() << QStringList();
}

void tst_ProductSelectionTexts::codeList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, codes);
    QCOMPARE(TProductSelection::CodeList(text), codes);
}

void tst_ProductSelectionTexts::selectStatement_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QString>("codeSet");
    QTest::newRow("one") << QStringList({QStringLiteral("100001")}) << QStringLiteral("'100001'");
    QTest::newRow("two, nothing between")
        << QStringList({QStringLiteral("X"), QStringLiteral("Y")}) << QStringLiteral("'X','Y'");
    QTest::newRow("quote inside stays one literal")
        << QStringList({QStringLiteral("A'B"), QStringLiteral("C")})
        << QStringLiteral("'A''B','C'");
    QTest::newRow("quote that would end the literal")
        << QStringList({QStringLiteral("X') or ('1'='1")})
        << QStringLiteral("'X'') or (''1''=''1'");
    QTest::newRow("Chinese") << QStringList({QStringLiteral("茶葉01")})
                             << QStringLiteral("'茶葉01'");
}

void tst_ProductSelectionTexts::selectStatement()
{
    QFETCH(QStringList, codes);
    QFETCH(QString, codeSet);
    QCOMPARE(TProductSelection::CodeSet(codes), codeSet);
    QCOMPARE(TProductSelection::SelectStatement(codes), Start + codeSet + QLatin1Char(')'));
}

void tst_ProductSelectionTexts::codesBeyondOneInListGoIntoSeveralLists_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("listSizes");
    QTest::newRow("1,500 in one list") << 1500 << QList<int>({1500});
    QTest::newRow("1,501 in four") << 1501 << QList<int>({500, 500, 500, 1});
    QTest::newRow("3,001 in seven") << 3001 << QList<int>({500, 500, 500, 500, 500, 500, 1});
    QTest::newRow("200,000 in 250 of 800") << 200000 << QList<int>(250, 800);
    QTest::newRow("375,001 in 251 of 1,500") << 375001 << (QList<int>(250, 1500) << 1);
}

void tst_ProductSelectionTexts::codesBeyondOneInListGoIntoSeveralLists()
{
    QFETCH(int, count);
    QFETCH(QList<int>, listSizes);
    const QStringList codes = NumberedCodes(count);
    const QString statement = TProductSelection::SelectStatement(codes);
    QVERIFY(statement.startsWith(Start));
    QVERIFY(statement.endsWith(QLatin1Char(')')));
    const QStringList sets = statement.mid(Start.size()).chopped(1).split(Joint);
    QList<int> sizes;
    QStringList literals;
    for (const QString& set : sets) {
        const QStringList inList = set.split(QLatin1Char(','));
        sizes.append(int(inList.size()));
        literals += inList;
    }
    QCOMPARE(sizes, listSizes);
    QCOMPARE(literals.join(QLatin1Char(',')), TProductSelection::CodeSet(codes));
}

QTEST_GUILESS_MAIN(tst_ProductSelectionTexts)
#include "tst_productselectiontexts.moc"
