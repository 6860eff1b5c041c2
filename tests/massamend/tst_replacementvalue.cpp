#include "Exceptions.h"
#include "TClientDataSet.h"
#include "TReplacementValue.h"

#include <QTest>

// The write-back's check of the value against the chosen field, made before
// any row is written.
class tst_ReplacementValue : public QObject
{
    Q_OBJECT

private slots:
    void checkedAgainstTheField_data();
    void checkedAgainstTheField();
    void withoutFieldTheTextGoesAsTyped();
};

void tst_ReplacementValue::checkedAgainstTheField_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("required");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNull");
    QTest::addColumn<QString>("error");
    const int s = int(TFieldType::ftString);
    const int i = int(TFieldType::ftInteger);
    const int f = int(TFieldType::ftFloat);
    QTest::newRow("text as typed")
        << s << 10 << false << QStringLiteral(" 新品 ") << false << QString();
    QTest::newRow("text that fills the size")
        << s << 4 << false << QStringLiteral("新品") << false << QString();
    QTest::newRow("text over the size")
        << s << 3 << false << QStringLiteral("新品") << false
        << QStringLiteral("Value too long for field 'Value': at most 3 bytes");
    QTest::newRow("empty text") << s << 10 << false << QString() << false << QString();
    QTest::newRow("empty required text")
        << s << 10 << true << QString() << false
        << QStringLiteral("Field 'Value' must have a value");
    QTest::newRow("integer") << i << 0 << false << QStringLiteral(" -12 ") << false << QString();
    QTest::newRow("integer too large")
        << i << 0 << false << QStringLiteral("3000000000") << false
        << QStringLiteral("Invalid value for field 'Value'");
    QTest::newRow("fraction in integer")
        << i << 0 << false << QStringLiteral("1.5") << false
        << QStringLiteral("Invalid value for field 'Value'");
    QTest::newRow("empty integer is null") << i << 0 << false << QString() << true << QString();
    QTest::newRow("blank float is null")
        << f << 0 << false << QStringLiteral("  ") << true << QString();
    QTest::newRow("float") << f << 0 << false << QStringLiteral("12.50") << false << QString();
    QTest::newRow("text in float")
        << f << 0 << false << QStringLiteral("12元") << false
        << QStringLiteral("Invalid value for field 'Value'");
    QTest::newRow("empty required float")
        << f << 0 << true << QString() << false
        << QStringLiteral("Field 'Value' must have a value");
}

void tst_ReplacementValue::checkedAgainstTheField()
{
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(bool, required);
    QFETCH(QString, text);
    QFETCH(bool, isNull);
    QFETCH(QString, error);
    TClientDataSet products;
    products.setObjectName(QStringLiteral("CDS_PRODUCT"));
    products.FieldDefs().Add(QStringLiteral("Value"), TFieldType(kind), size, required);
    products.CreateDataSet();
    const TField* field = products.FieldByName(QStringLiteral("Value"));
    try {
        const TSQLParamValue value = TReplacementValue::ForField(field, text);
        QVERIFY2(error.isEmpty(), "the value must be refused");
        QCOMPARE(!value.has_value(), isNull);
        if (value) QCOMPARE(*value, text);
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), error);
    }
}

void tst_ReplacementValue::withoutFieldTheTextGoesAsTyped()
{
    const TSQLParamValue value = TReplacementValue::ForField(nullptr, QStringLiteral(" x "));
    QVERIFY(value.has_value());
    QCOMPARE(*value, QStringLiteral(" x "));
}

QTEST_GUILESS_MAIN(tst_ReplacementValue)
#include "tst_replacementvalue.moc"
