#include "ProductCatalogue.h"
#include "TProductSelection.h"

#include <QSet>
#include <QTest>
#include <algorithm>

// The texts of product selection: the column list for the dialog, the codes
// read back from it and the statement that reloads the product list, with
// its parameter batches beyond one IN list.
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
    void selectCommand_data();
    void selectCommand();
    void batchStatement();
    void codeBatches_data();
    void codeBatches();
    void batchesHoldEveryCodeOnce_data();
    void batchesHoldEveryCodeOnce();
};

namespace
{

const QString Start = QStringLiteral("select * from product where prod_id in (");

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

void tst_ProductSelectionTexts::selectCommand_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("asParameters");
    QTest::newRow("1,500: one IN list of literals") << 1500 << false;
    QTest::newRow("1,501: parameters") << 1501 << true;
    QTest::newRow("200,000: parameters") << 200000 << true;
}

void tst_ProductSelectionTexts::selectCommand()
{
    QFETCH(int, count);
    QFETCH(bool, asParameters);
    const QStringList codes = NumberedCodes(count);
    const TSelectCommand command = TProductSelection::SelectCommand(codes);
    if (!asParameters) {
        QCOMPARE(command.Text, Start + TProductSelection::CodeSet(codes) + QLatin1Char(')'));
        QVERIFY(command.ParamBatches.isEmpty());
        return;
    }
    QCOMPARE(command.Text, TProductSelection::BatchStatement());
    QCOMPARE(command.ParamBatches, TProductSelection::CodeBatches(codes));
}

void tst_ProductSelectionTexts::batchStatement()
{
    const QString marks =
        QStringList(TProductSelection::BatchValues, QStringLiteral("?")).join(QLatin1Char(','));
    QCOMPARE(TProductSelection::BatchStatement(), Start + marks + QLatin1Char(')'));
    QCOMPARE(TProductSelection::BatchStatement(3), Start + QStringLiteral("?,?,?)"));
}

void tst_ProductSelectionTexts::codeBatches_data()
{
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QList<QStringList>>("batches");
    const auto list = [](const char* text) {
        return QString::fromUtf8(text).split(QLatin1Char('|'));
    };
    QTest::newRow("in order, last batch filled up with its last code")
        << list("A|B|C|D|E") << QList<QStringList>({list("A|B|C"), list("D|E|E")});
    QTest::newRow("sorted") << list("E|B|D|A|C")
                            << QList<QStringList>({list("A|B|C"), list("D|E|E")});
    QTest::newRow("a code given twice goes once")
        << list("B|A|B|C|A") << QList<QStringList>({list("A|B|C")});
    QTest::newRow("quotes go as they are, bound, not quoted")
        << list("X') or ('1'='1|A'B")
        << QList<QStringList>({list("A'B|X') or ('1'='1|X') or ('1'='1")});
    // Firebird finds the product "C" by "C" and by "C ": both in one batch.
    QTest::newRow("trailing blanks share a batch")
        << list("C |A|D|C|B") << QList<QStringList>({list("A|B|B"), list("C|C |D")});
    QTest::newRow("none") << QStringList() << QList<QStringList>();
}

void tst_ProductSelectionTexts::codeBatches()
{
    QFETCH(QStringList, codes);
    QFETCH(QList<QStringList>, batches);
    TSQLParamBatches expected;
    for (const QStringList& batch : batches) {
        QList<TSQLParamValue> values;
        for (const QString& code : batch)
            values.append(code);
        expected.append(values);
    }
    QCOMPARE(TProductSelection::CodeBatches(codes, 3), expected);
}

void tst_ProductSelectionTexts::batchesHoldEveryCodeOnce_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("1,501") << 1501;
    QTest::newRow("100,001") << 100001;
}

void tst_ProductSelectionTexts::batchesHoldEveryCodeOnce()
{
    QFETCH(int, count);
    QStringList codes = NumberedCodes(count);
    std::reverse(codes.begin(), codes.end());
    const TSQLParamBatches batches = TProductSelection::CodeBatches(codes);
    QCOMPARE(batches.size(),
             (count + TProductSelection::BatchValues - 1) / TProductSelection::BatchValues);
    QSet<QString> seen;
    for (const QList<TSQLParamValue>& batch : batches) {
        QCOMPARE(batch.size(), TProductSelection::BatchValues);
        for (const TSQLParamValue& value : batch)
            seen.insert(*value);
    }
    QCOMPARE(seen.size(), count);
    QCOMPARE(seen, QSet<QString>(codes.begin(), codes.end()));
}

QTEST_GUILESS_MAIN(tst_ProductSelectionTexts)
#include "tst_productselectiontexts.moc"
