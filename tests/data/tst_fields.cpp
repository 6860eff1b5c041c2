#include "Big5Text.h"
#include "Exceptions.h"
#include "FieldFormat.h"
#include "MemoryTable.h"
#include "NumericText.h"
#include "TFloatField.h"
#include "TIntegerField.h"
#include "TStringField.h"

#include <QTest>

class tst_Fields : public QObject
{
    Q_OBJECT

private slots:
    void stringFieldCutsAtACharacterBoundary_data();
    void stringFieldCutsAtACharacterBoundary();
    void generalFloatText_data();
    void generalFloatText();
    void displayFormat_data();
    void displayFormat();
    void editMask_data();
    void editMask();
    void maskedFieldKeepsItsStoredText();
    void settingFromText_data();
    void settingFromText();
    void invalidTextLeavesTheValueAndNamesTheField();
    void numberFieldsTrimAsTheDriversDo_data();
    void numberFieldsTrimAsTheDriversDo();
    void displayNameFallsBackToTheFieldName();
    void settingWithoutEditFails();
};

void tst_Fields::stringFieldCutsAtACharacterBoundary_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("kept");
    QTest::newRow("16 ASCII in 20") << 20 << "ABCDEFGHIJKLMNOP"
                                    << "ABCDEFGHIJKLMNOP";
    QTest::newRow("ASCII cut") << 5 << "ABCDEFG"
                               << "ABCDE";
    QTest::newRow("chinese in 5 bytes") << 5 << "蘋果汁"
                                        << "蘋果";
    QTest::newRow("chinese in 6 bytes") << 6 << "蘋果汁"
                                        << "蘋果汁";
    QTest::newRow("mixed") << 4 << "A蘋果"
                           << "A蘋";
    QTest::newRow("one byte left for a wide char") << 1 << "蘋"
                                                   << "";
    // The code page's one non-ASCII single byte, 0x80, was counted as two.
    QTest::newRow("U+0080 is one byte, not two") << 2 << "\u0080\u0080\u0080"
                                                 << "\u0080\u0080";
}

void tst_Fields::stringFieldCutsAtACharacterBoundary()
{
    QFETCH(int, size);
    QFETCH(QString, text);
    QFETCH(QString, kept);
    TClientDataSet ds;
    ds.FieldDefs().Add("S", TFieldType::ftString, size);
    ds.CreateDataSet();
    ds.Append();
    ds.FieldByName("S")->SetAsString(text);
    ds.Post();
    QCOMPARE(ds.FieldByName("S")->AsString(), kept);
    QVERIFY(Big5ByteLength(kept) <= size);
}

void tst_Fields::generalFloatText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 12.0 << "12";
    QTest::newRow("fraction") << 12.5 << "12.5";
    QTest::newRow("negative") << -0.25 << "-0.25";
    QTest::newRow("15 digits") << 123456789.123456 << "123456789.123456";
    QTest::newRow("rounded at 15") << 0.1 + 0.2 << "0.3";
    QTest::newRow("large") << 1e20 << "1E20";
    QTest::newRow("small") << 1.5e-7 << "1.5E-7";
    QTest::newRow("zero") << 0.0 << "0";
}

void tst_Fields::generalFloatText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FloatToGeneral(value), text);
}

void tst_Fields::displayFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("two decimals") << 12.0 << "12.00";
    QTest::newRow("rounds") << 3.14159 << "3.14";
    QTest::newRow("leading zero") << 0.5 << "0.50";
    QTest::newRow("negative") << -7.1 << "-7.10";
    QTest::newRow("negative zero") << -0.001 << "0.00";
}

void tst_Fields::displayFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatFloat("#0.00", value), text);
    TClientDataSet ds;
    ds.FieldDefs().Add("AVG_COST", TFieldType::ftFloat);
    ds.CreateDataSet();
    auto* field = static_cast<TFloatField*>(ds.FieldByName("AVG_COST"));
    field->SetDisplayFormat("#0.00");
    ds.Append();
    field->SetAsFloat(value);
    ds.Post();
    QCOMPARE(field->DisplayText(), text);
    QCOMPARE(field->Text(), FloatToGeneral(value));
}

void tst_Fields::editMask_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("five digits") << "12345"
                                 << "12-34-5";
    QTest::newRow("shorter") << "123"
                             << "12-3";
    QTest::newRow("longer") << "1234567"
                            << "12-34-567";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_Fields::editMask()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(FormatMaskText("!00-00-0;0;", stored), shown);
}

void tst_Fields::maskedFieldKeepsItsStoredText()
{
    TClientDataSet ds;
    ds.FieldDefs().Add("PUT_ID", TFieldType::ftString, 10);
    ds.CreateDataSet();
    TField* field = ds.FieldByName("PUT_ID");
    field->SetEditMask("!00-00-0;0;");
    ds.Append();
    field->SetAsString("12345");
    ds.Post();
    QCOMPARE(field->DisplayText(), QStringLiteral("12-34-5"));
    QCOMPARE(field->AsString(), QStringLiteral("12345"));
    QCOMPARE(field->Text(), QStringLiteral("12345"));
}

void tst_Fields::settingFromText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("value"); // invalid QVariant: null
    QTest::newRow("integer") << "QTY"
                             << "42" << QVariant(42);
    QTest::newRow("integer blanks") << "QTY"
                                    << " -7 " << QVariant(-7);
    QTest::newRow("integer empty is null") << "QTY"
                                           << "" << QVariant();
    QTest::newRow("float") << "PRICE"
                           << "12.75" << QVariant(12.75);
    QTest::newRow("float exponent") << "PRICE"
                                    << "1e3" << QVariant(1000.0);
    QTest::newRow("float empty is null") << "PRICE"
                                         << "" << QVariant();
    QTest::newRow("string empty is null") << "NAME"
                                          << "" << QVariant();
    QTest::newRow("string kept as typed") << "NAME"
                                          << " a b " << QVariant(" a b ");
}

void tst_Fields::settingFromText()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QVariant, value);
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"x", 1, 1.0}});
    ds.Edit();
    ds.FieldByName(field)->SetAsString(text);
    ds.Post();
    QCOMPARE(ds.FieldByName(field)->IsNull(), !value.isValid());
    if (value.isValid()) QCOMPARE(ds.FieldByName(field)->Value(), value);
}

void tst_Fields::invalidTextLeavesTheValueAndNamesTheField()
{
    const QStringList bad = {"abc", "12abc", "1,000", "99999999999", "0x10"};
    for (const QString& text : bad) {
        TClientDataSet ds;
        ds.setObjectName("CDS_PRODUCT");
        ds.FieldDefs().Add("SAL_TAG", TFieldType::ftInteger);
        ds.FieldDefs().Add("NOW_QTY", TFieldType::ftFloat);
        ds.CreateDataSet();
        ds.FieldByName("SAL_TAG")->SetDisplayLabel("銷售管制");
        ds.Append();
        ds.FieldByName("SAL_TAG")->SetAsInteger(5);
        try {
            ds.FieldByName("SAL_TAG")->SetAsString(text);
            QFAIL(qPrintable("accepted " + text));
        } catch (const EDatabaseError& e) {
            QCOMPARE(e.Message(), QStringLiteral("Invalid value for field '銷售管制'"));
        }
        QCOMPARE(ds.FieldByName("SAL_TAG")->AsInteger(), 5);
        if (text != "99999999999")
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("NOW_QTY")->SetAsString(text));
    }
}

// A text that a number field takes must not be refused by the driver in the
// write-back, and the other way round: both trim ASCII blanks only.
void tst_Fields::numberFieldsTrimAsTheDriversDo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored"); // "refused", "null" or the value as text
    QTest::newRow("spaces and tabs") << QStringLiteral(" \t12 \t") << "12";
    QTest::newRow("blanks only clear") << QStringLiteral(" \t ") << "null";
    QTest::newRow("ideographic space before") << QStringLiteral("\u300012") << "refused";
    QTest::newRow("ideographic space alone") << QStringLiteral("\u3000") << "refused";
    QTest::newRow("line break after") << QStringLiteral("12\n") << "refused";
    QTest::newRow("carriage return before") << QStringLiteral("\r12") << "refused";
    QTest::newRow("no-break space after") << QStringLiteral("12\u00A0") << "refused";
}

void tst_Fields::numberFieldsTrimAsTheDriversDo()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"x", 1, 1.0}});
    for (const QString& name : {QStringLiteral("QTY"), QStringLiteral("PRICE")}) {
        TField* field = ds.FieldByName(name);
        ds.Edit();
        QString got;
        try {
            field->SetAsString(text);
            got = field->IsNull() ? QStringLiteral("null") : field->AsString();
        } catch (const EDatabaseError&) {
            got = QStringLiteral("refused");
        }
        ds.Cancel();
        QCOMPARE(got, stored);

        double number = 0;
        QString reason;
        QCOMPARE(NumericText::ToReal(text, number, reason),
                 stored != "refused" && stored != "null");
    }
}

void tst_Fields::displayNameFallsBackToTheFieldName()
{
    TStringField field;
    field.SetFieldName("FLAG");
    QCOMPARE(field.DisplayName(), QStringLiteral("FLAG"));
    field.SetDisplayLabel("商品編號");
    QCOMPARE(field.DisplayName(), QStringLiteral("商品編號"));
    QCOMPARE(field.FullName(), QStringLiteral("FLAG"));
    QCOMPARE(field.Size(), 20);
}

void tst_Fields::settingWithoutEditFails()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"x", 1, 1.0}});
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("NAME")->SetAsString("y"));
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("x"));
}

QTEST_GUILESS_MAIN(tst_Fields)
#include "tst_fields.moc"
