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
    QTest::addColumn<QString>("error");
    const int s = int(TFieldType::ftString);
    const int i = int(TFieldType::ftInteger);
    const int f = int(TFieldType::ftFloat);
    const QString invalid = QStringLiteral("Invalid value for field 'Value'");
    QTest::newRow("text as typed") << s << 10 << false << QStringLiteral(" 新品 ") << QString();
    QTest::newRow("text that fills the size")
        << s << 4 << false << QStringLiteral("新品") << QString();
    // A BIG_5 VARCHAR(3) holds three characters: the database judges.
    QTest::newRow("text over the size goes to the database")
        << s << 3 << false << QStringLiteral("新品") << QString();
    QTest::newRow("empty text") << s << 10 << false << QString() << QString();
    QTest::newRow("empty required text")
        << s << 10 << true << QString() << QStringLiteral("Field 'Value' must have a value");
    QTest::newRow("integer") << i << 0 << false << QStringLiteral(" -12\t") << QString();
    QTest::newRow("integer too large")
        << i << 0 << false << QStringLiteral("3000000000") << invalid;
    QTest::newRow("fraction in integer") << i << 0 << false << QStringLiteral("1.5") << invalid;
    // Written, an empty value would wipe the column of every listed product.
    QTest::newRow("empty integer refused") << i << 0 << false << QString() << invalid;
    QTest::newRow("blank float refused") << f << 0 << false << QStringLiteral("  ") << invalid;
    // The drivers refuse these: so does the check, before any row.
    QTest::newRow("ideographic space before integer")
        << i << 0 << false << QStringLiteral("\u300012") << invalid;
    QTest::newRow("line break after float") << f << 0 << false << QStringLiteral("12\n") << invalid;
    QTest::newRow("float") << f << 0 << false << QStringLiteral("12.50") << QString();
    QTest::newRow("text in float") << f << 0 << false << QStringLiteral("12元") << invalid;
    QTest::newRow("empty required float")
        << f << 0 << true << QString() << QStringLiteral("Field 'Value' must have a value");
}

void tst_ReplacementValue::checkedAgainstTheField()
{
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(bool, required);
    QFETCH(QString, text);
    QFETCH(QString, error);
    TClientDataSet products;
    products.setObjectName(QStringLiteral("CDS_PRODUCT"));
    products.FieldDefs().Add(QStringLiteral("Value"), TFieldType(kind), size, required);
    products.CreateDataSet();
    const TField* field = products.FieldByName(QStringLiteral("Value"));
    try {
        const QString value = TReplacementValue::ForField(field, text);
        QVERIFY2(error.isEmpty(), "the value must be refused");
        QCOMPARE(value, text);
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), error);
    }
}

void tst_ReplacementValue::withoutFieldTheTextGoesAsTyped()
{
    QCOMPARE(TReplacementValue::ForField(nullptr, QStringLiteral(" x ")), QStringLiteral(" x "));
}

QTEST_GUILESS_MAIN(tst_ReplacementValue)
#include "tst_replacementvalue.moc"
