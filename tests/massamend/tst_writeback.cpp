#include "MassAmendFixture.h"
#include "OtherClient.h"
#include "TApplication.h"
#include "TestBackends.h"

#include <QTest>

// "回存": one UPDATE per listed product with the change stamps, then the name
// refresh; checked through a second connection.
class tst_WriteBack : public QObject
{
    Q_OBJECT

private slots:
    void writesValueAndStampsToListedProductsOnly_data();
    void writesValueAndStampsToListedProductsOnly();
    void codeColumnRefreshesNamesOfEveryProduct_data();
    void codeColumnRefreshesNamesOfEveryProduct();
    void refusedValueWritesNothing_data();
    void refusedValueWritesNothing();
    void emptyValue_data();
    void emptyValue();
    void codeWithQuoteStaysOneLiteral_data();
    void codeWithQuoteStaysOneLiteral();
    void failureAtRowKeepsEarlierRowsAndRefreshesTheirNames_data();
    void failureAtRowKeepsEarlierRowsAndRefreshesTheirNames();
    void noColumnChosenWritesNothing_data();
    void noColumnChosenWritesNothing();
    void emptyListStillRefreshesNames_data();
    void emptyListStillRefreshesNames();
    void emptyListRefreshesNamesWhateverTheValue_data() { AddBackendRows(); }
    void emptyListRefreshesNamesWhateverTheValue();
    void stopAfterRowKeepsWrittenRowsAndRefreshesNames_data();
    void stopAfterRowKeepsWrittenRowsAndRefreshesNames();
};

namespace
{

const QList<int> Listed = {2, 5, 9};

QString LookupCode(const QString& table, int index)
{
    return TDemoData::LookupRows(table).at(index).Code;
}

QString LookupName(const QString& table, const QString& code)
{
    for (const TDemoLookupRow& row : TDemoData::LookupRows(table))
        if (row.Code == code) return row.Name;
    return {};
}

void AddLookupColumns()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("nameColumn");
}

void AddLookupRows()
{
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:provider", b.data())
            << backend << QStringLiteral("PROVIDER_ID") << QStringLiteral("PROVIDER")
            << QStringLiteral("PROVIDER_NAME");
        QTest::addRow("%s:item", b.data())
            << backend << QStringLiteral("PD_ITEMID") << QStringLiteral("PROD_ITEM")
            << QStringLiteral("PD_ITEMNAME");
        QTest::addRow("%s:class", b.data())
            << backend << QStringLiteral("PD_CLASSID") << QStringLiteral("PROD_CLASS")
            << QStringLiteral("PD_CLASSNAME");
    }
}

bool SameValue(const QVariant& stored, const QString& expected, bool number)
{
    if (number) return !stored.isNull() && qFuzzyCompare(stored.toDouble(), expected.toDouble());
    return stored.toString() == expected;
}

} // namespace

void tst_WriteBack::writesValueAndStampsToListedProductsOnly_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("number");
    QTest::addColumn<QChar>("dateSeparator");
    QTest::addColumn<QChar>("timeSeparator");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:text", b.data())
            << backend << QStringLiteral("PROD_NAME") << QStringLiteral("測試 新品名") << false
            << QChar(u'/') << QChar(u':') << QStringLiteral("2024/03/05")
            << QStringLiteral("21:07:05");
        QTest::addRow("%s:integer,dash", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("7") << true << QChar(u'-')
            << QChar(u'.') << QStringLiteral("2024-03-05") << QStringLiteral("21.07.05");
        QTest::addRow("%s:float,dot", b.data())
            << backend << QStringLiteral("PSALE_PRICE") << QStringLiteral(" 12.5") << true
            << QChar(u'.') << QChar(u'-') << QStringLiteral("2024.03.05")
            << QStringLiteral("21-07-05");
        // More Big5 bytes than the field's size, five characters: a BIG_5
        // VARCHAR(5) holds them, and the database is the judge.
        QTest::addRow("%s:text over its Big5 size", b.data())
            << backend << QStringLiteral("DEL_FLAG") << QStringLiteral("淘汰品項X") << false
            << QChar(u'/') << QChar(u':') << QStringLiteral("2024/03/05")
            << QStringLiteral("21:07:05");
        // The operator's text, not the masked form the grid shows.
        QTest::addRow("%s:masked", b.data())
            << backend << QStringLiteral("PUT_ID") << QStringLiteral("12345") << false
            << QChar(u'/') << QChar(u':') << QStringLiteral("2024/03/05")
            << QStringLiteral("21:07:05");
    }
}

void tst_WriteBack::writesValueAndStampsToListedProductsOnly()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(bool, number);
    QFETCH(QChar, dateSeparator);
    QFETCH(QChar, timeSeparator);
    QFETCH(QString, date);
    QFETCH(QString, time);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    f.Form->ChangeStamp().SetDateSeparator(dateSeparator);
    f.Form->ChangeStamp().SetTimeSeparator(timeSeparator);
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(f.Codes(Listed));
    f.Choose(column, value);

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    const QMap<QString, QVariantList> after = f.Rows();
    QCOMPARE(after.keys(), before.keys());
    const int changed = f.ColumnIndex(column);
    const int chgDate = f.ColumnIndex(QStringLiteral("CHG_DATE"));
    const int chgTime = f.ColumnIndex(QStringLiteral("CHG_TIME"));
    for (auto it = after.begin(); it != after.end(); ++it) {
        const QVariantList& old = before.value(it.key());
        if (!f.Codes(Listed).contains(it.key())) {
            QCOMPARE(it.value(), old);
            continue;
        }
        QVERIFY2(SameValue(it.value().at(changed), value, number), qPrintable(it.key()));
        QCOMPARE(it.value().at(chgDate).toString(), date);
        QCOMPARE(it.value().at(chgTime).toString(), time);
        for (int i = 0; i < old.size(); ++i)
            if (i != changed && i != chgDate && i != chgTime) QCOMPARE(it.value().at(i), old.at(i));
    }
    QCOMPARE(f.Progress->Starts, QList<int>({3}));
    QCOMPARE(f.Progress->Steps, QList<int>({1, 2, 3}));
    QCOMPARE(f.Progress->Finishes, 1);
}

void tst_WriteBack::codeColumnRefreshesNamesOfEveryProduct_data()
{
    AddBackendColumn();
    AddLookupColumns();
    AddLookupRows();
}

void tst_WriteBack::codeColumnRefreshesNamesOfEveryProduct()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, table);
    QFETCH(QString, nameColumn);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    // Names out of date everywhere, and one unlisted code without a lookup row.
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set %1 = 'OLD'").arg(nameColumn)));
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set %1 = 'NONE' where PROD_ID = '%2'")
                                 .arg(column, f.Code(0))));
    QVERIFY(StaleNames(*f.Check, table, column, nameColumn) > 0);
    const QString code = LookupCode(table, 1);
    f.Load(f.Codes(Listed));
    f.Choose(column, code);

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(StaleNames(*f.Check, table, column, nameColumn), 0);
    const QMap<QString, QVariant> codes = f.Column(column);
    const QMap<QString, QVariant> names = f.Column(nameColumn);
    for (const QString& listed : f.Codes(Listed)) {
        QCOMPARE(codes.value(listed).toString(), code);
        QCOMPARE(names.value(listed).toString(), LookupName(table, code));
    }
    QVERIFY(names.value(f.Code(0)).isNull());
    QCOMPARE(codes.value(f.Code(0)).toString(), QStringLiteral("NONE"));
}

void tst_WriteBack::refusedValueWritesNothing_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:text in integer", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("abc")
            << QStringLiteral("Invalid value for field '銷售管制'");
        QTest::addRow("%s:fraction in integer", b.data())
            << backend << QStringLiteral("IN_TAG") << QStringLiteral("1.5")
            << QStringLiteral("Invalid value for field '進貨管制'");
        QTest::addRow("%s:decimal comma in float", b.data())
            << backend << QStringLiteral("NOW_QTY") << QStringLiteral("12,5")
            << QStringLiteral("Invalid value for field '現有數量'");
        QTest::addRow("%s:empty required float", b.data())
            << backend << QStringLiteral("PSALE_PRICE") << QString()
            << QStringLiteral("Field '門市售價' must have a value.");
        QTest::addRow("%s:empty required code", b.data())
            << backend << QStringLiteral("PROD_ID") << QString()
            << QStringLiteral("Field '商品編號' must have a value.");
        // Written, an empty value would wipe the column of every listed product.
        QTest::addRow("%s:empty integer", b.data())
            << backend << QStringLiteral("SAFE_DAY") << QString()
            << QStringLiteral("Invalid value for field '安全天數'");
        QTest::addRow("%s:blank float", b.data())
            << backend << QStringLiteral("NOW_QTY") << QStringLiteral("  ")
            << QStringLiteral("Invalid value for field '現有數量'");
        // Blanks the drivers would refuse at the first row.
        QTest::addRow("%s:ideographic space before a number", b.data())
            << backend << QStringLiteral("NOW_QTY") << QStringLiteral("\u300012")
            << QStringLiteral("Invalid value for field '現有數量'");
        QTest::addRow("%s:line break after a number", b.data())
            << backend << QStringLiteral("SAL_TAG") << QStringLiteral("12\n")
            << QStringLiteral("Invalid value for field '銷售管制'");
    }
}

void tst_WriteBack::refusedValueWritesNothing()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, message);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(f.Codes(Listed));
    f.Choose(column, value);

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList({message}));
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    QCOMPARE(f.Boxes.Boxes.first().Caption, Application()->Title());
    QCOMPARE(f.Rows(), before);
    QVERIFY(f.Progress->Starts.isEmpty());
}

void tst_WriteBack::emptyValue_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("condition");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:text becomes empty text", b.data())
            << backend << QStringLiteral("PROD_SCALE") << QStringLiteral("PROD_SCALE = ''");
    }
}

void tst_WriteBack::emptyValue()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, condition);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QCOMPARE(
        f.Check->QueryValue(QStringLiteral("select count(*) from PRODUCT where %1").arg(condition))
            .toInt(),
        0);
    f.Load(f.Codes(Listed));
    f.Choose(column, QString());

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    const QList<QVariantList> rows = f.Check->QueryRows(
        QStringLiteral("select PROD_ID from PRODUCT where %1 order by PROD_ID").arg(condition));
    QStringList codes;
    for (const QVariantList& row : rows)
        codes << row.value(0).toString();
    QCOMPARE(codes, f.Codes(Listed));
}

void tst_WriteBack::codeWithQuoteStaysOneLiteral_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("code");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:quote inside", b.data()) << backend << QStringLiteral("O'NEIL");
        QTest::addRow("%s:quote that would end the literal", b.data())
            << backend << QStringLiteral("1' OR '1'='1");
        QTest::addRow("%s:quotes only", b.data()) << backend << QStringLiteral("''");
    }
}

void tst_WriteBack::codeWithQuoteStaysOneLiteral()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, code);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(
        QStringLiteral("insert into PRODUCT (PROD_ID, PROD_NAME, PSALE_PRICE, VIP_PRICE) "
                       "values (%1, 'QUOTED', 10, 9)")
            .arg(QuotedStr(code))));
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load({code, f.Code(3)});
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(), 2);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("NEW"));

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    QCOMPARE(names.value(code).toString(), QStringLiteral("NEW"));
    QCOMPARE(names.value(f.Code(3)).toString(), QStringLiteral("NEW"));
    const QMap<QString, QVariantList> after = f.Rows();
    for (auto it = after.begin(); it != after.end(); ++it)
        if (it.key() != code && it.key() != f.Code(3)) QCOMPARE(it.value(), before.value(it.key()));
}

void tst_WriteBack::failureAtRowKeepsEarlierRowsAndRefreshesTheirNames_data()
{
    AddBackendRows();
}

void tst_WriteBack::failureAtRowKeepsEarlierRowsAndRefreshesTheirNames()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 3, 4, 6, 8});
    const QString refused = listed.at(2);
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set PROVIDER_NAME = 'OLD'")));
    // The product's code is refused; its name may still be refreshed.
    if (backend.IsFirebird()) {
        QVERIFY(f.Check->Execute(QStringLiteral("create exception E_REFUSED 'product is locked'")));
        QVERIFY(f.Check->Execute(
            QStringLiteral("create trigger T_REFUSE for PRODUCT before update as begin "
                           "if (old.PROD_ID = '%1' and new.PROVIDER_ID is distinct from "
                           "old.PROVIDER_ID) then exception E_REFUSED; end")
                .arg(refused)));
    } else {
        QVERIFY(f.Check->Execute(QStringLiteral("create trigger T_REFUSE before update of "
                                                "PROVIDER_ID on PRODUCT when old.PROD_ID = '%1' "
                                                "begin select raise(abort, "
                                                "'product is locked'); end")
                                     .arg(refused)));
    }
    // The window's connection sees the new trigger from its next attachment.
    f.Form->SQLConnection1->Close();
    const QMap<QString, QVariantList> before = f.Rows();
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    const QString code = LookupCode(QStringLiteral("PROVIDER"), 2);
    f.Choose(QStringLiteral("PROVIDER_ID"), code);

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    QVERIFY2(f.Boxes.Texts().first().contains(QStringLiteral("product is locked")),
             qPrintable(f.Boxes.Texts().first()));
    // The engine's message, then how far the write-back got.
    QVERIFY2(
        f.Boxes.Texts().first().endsWith(QStringLiteral(".\n5 筆中已寫入 2 筆，其餘 3 筆未寫入。")),
        qPrintable(f.Boxes.Texts().first()));
    QCOMPARE(f.Form->CDS_PRODUCT->RecNo(), 3);
    const QMap<QString, QVariantList> after = f.Rows();
    const int provider = f.ColumnIndex(QStringLiteral("PROVIDER_ID"));
    const int name = f.ColumnIndex(QStringLiteral("PROVIDER_NAME"));
    for (auto it = after.begin(); it != after.end(); ++it) {
        const int position = int(listed.indexOf(it.key()));
        QVariantList expected = before.value(it.key());
        if (position == 0 || position == 1) {
            QCOMPARE(it.value().at(provider).toString(), code);
            expected = it.value();
        }
        expected[name] = it.value().at(name);
        QCOMPARE(it.value(), expected);
    }
    // The codes written before the failure got their names, and so did every
    // other product, as after a complete write-back.
    QCOMPARE(StaleNames(*f.Check, QStringLiteral("PROVIDER"), QStringLiteral("PROVIDER_ID"),
                        QStringLiteral("PROVIDER_NAME")),
             0);
    QCOMPARE(f.Column(QStringLiteral("PROVIDER_NAME")).value(listed.at(0)).toString(),
             LookupName(QStringLiteral("PROVIDER"), code));
    QCOMPARE(f.Progress->Steps, QList<int>({1, 2}));
    QCOMPARE(f.Progress->Finishes, 1);
}

void tst_WriteBack::noColumnChosenWritesNothing_data()
{
    AddBackendRows();
}

void tst_WriteBack::noColumnChosenWritesNothing()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(f.Codes(Listed));
    QCOMPARE(f.Form->ComboBox1->ItemIndex(), -1);
    f.Form->Edit1->setText(QStringLiteral("X"));

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    QVERIFY(!f.Boxes.Texts().first().isEmpty());
    QCOMPARE(f.Rows(), before);
}

void tst_WriteBack::emptyListStillRefreshesNames_data()
{
    AddBackendColumn();
    AddLookupColumns();
    AddLookupRows();
}

void tst_WriteBack::emptyListStillRefreshesNames()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, column);
    QFETCH(QString, table);
    QFETCH(QString, nameColumn);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set %1 = 'OLD'").arg(nameColumn)));
    const QMap<QString, QVariant> codesBefore = f.Column(column);
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(), 0);
    f.Choose(column, LookupCode(table, 0));

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(f.Column(column), codesBefore);
    QCOMPARE(StaleNames(*f.Check, table, column, nameColumn), 0);
    QCOMPARE(f.Progress->Steps, QList<int>());
}

// With no row to write, a value the column could not hold stops nothing.
void tst_WriteBack::emptyListRefreshesNamesWhateverTheValue()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set PROVIDER_NAME = 'OLD'")));
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(), 0);
    f.Choose(QStringLiteral("PROVIDER_ID"), QString(60, QLatin1Char('X')));

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(StaleNames(*f.Check, QStringLiteral("PROVIDER"), QStringLiteral("PROVIDER_ID"),
                        QStringLiteral("PROVIDER_NAME")),
             0);
}

void tst_WriteBack::stopAfterRowKeepsWrittenRowsAndRefreshesNames_data()
{
    AddBackendRows();
}

void tst_WriteBack::stopAfterRowKeepsWrittenRowsAndRefreshesNames()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set PD_ITEMNAME = 'OLD'")));
    const QMap<QString, QVariantList> before = f.Rows();
    const QStringList listed = f.Codes({0, 2, 4, 6, 8});
    f.Form->CDS_PRODUCT->SetIndexFieldNames(QStringLiteral("PROD_ID"));
    f.Load(listed);
    const QString code = LookupCode(QStringLiteral("PROD_ITEM"), 3);
    f.Choose(QStringLiteral("PD_ITEMID"), code);
    f.Progress->StopAfter = 2;

    f.Form->Button2Click(f.Form->Button2);

    QCOMPARE(f.Progress->Steps, QList<int>({1, 2}));
    QCOMPARE(f.Progress->Finishes, 1);
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("message"));
    QCOMPARE(f.Boxes.Texts().first(), TFormMassAmend::StoppedMessage(2, 5));
    const QMap<QString, QVariant> codes = f.Column(QStringLiteral("PD_ITEMID"));
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(codes.value(listed.at(i)),
                 i < 2 ? QVariant(code)
                       : before.value(listed.at(i)).at(f.ColumnIndex(QStringLiteral("PD_ITEMID"))));
    // The rows written keep names that match their new code.
    QCOMPARE(StaleNames(*f.Check, QStringLiteral("PROD_ITEM"), QStringLiteral("PD_ITEMID"),
                        QStringLiteral("PD_ITEMNAME")),
             0);
}

QTEST_MAIN(tst_WriteBack)
#include "tst_writeback.moc"
