#include "Getdata.h"
#include "KeyboardWalk.h"
#include "MassAmendFixture.h"
#include "SearchIniHook.h"
#include "TApplication.h"
#include "TestBackends.h"

#include "Column.h"
#include "DBGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// The main window as it opens: members, layout, the declared fields, the
// start statement and the column lists; failures of opening the list.
class tst_FormMassAmend : public QObject
{
    Q_OBJECT

private slots:
    void componentsCarryTheirNames();
    void declaredFields_data();
    void declaredFields();
    void startShowsEveryColumnAndTheDemoRow_data();
    void startShowsEveryColumnAndTheDemoRow();
    void layout_data();
    void layout();
    void bandsKeepTheirHeight_data();
    void bandsKeepTheirHeight();
    void tabOrder();
    void keyboardReachesEveryControl();
    void f2OpensProductSelectionFromTheGrid();
    void extraColumnsAreNotShown_data();
    void extraColumnsAreNotShown();
    void openFailureLeavesListClosed_data();
    void openFailureLeavesListClosed();
    void closedListFailsInBothHandlers_data();
    void closedListFailsInBothHandlers();
    void closingAsksNothingAndWritesNothing();
};

namespace
{

const TestBackend SQLite{TestBackend::SQLite};

QString AllColumnsWith(const QString& column, const QString& expression)
{
    QStringList columns;
    for (const TProductFieldDef& def : ProductCatalogue::Fields)
        columns << (def.Name() == column ? expression + QStringLiteral(" as ") + column
                                         : def.Name());
    return QStringLiteral("select %1 from PRODUCT").arg(columns.join(u','));
}

} // namespace

void tst_FormMassAmend::componentsCarryTheirNames()
{
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    const QList<QPair<QObject*, QString>> components = {
        {form.Panel1, QStringLiteral("Panel1")},
        {form.Panel2, QStringLiteral("Panel2")},
        {form.Panel3, QStringLiteral("Panel3")},
        {form.SQLConnection1, QStringLiteral("SQLConnection1")},
        {form.SQL_Product, QStringLiteral("SQL_Product")},
        {form.DSP_Product, QStringLiteral("DSP_Product")},
        {form.CDS_PRODUCT, QStringLiteral("CDS_PRODUCT")},
        {form.CDS_PRODUCTPROD_ID, QStringLiteral("CDS_PRODUCTPROD_ID")},
        {form.CDS_PRODUCTGIVE_QTY2, QStringLiteral("CDS_PRODUCTGIVE_QTY2")},
        {form.DataSource1, QStringLiteral("DataSource1")},
        {form.DBGrid1, QStringLiteral("DBGrid1")},
        {form.SpeedButton1, QStringLiteral("SpeedButton1")},
        {form.Label1, QStringLiteral("Label1")},
        {form.ComboBox1, QStringLiteral("ComboBox1")},
        {form.Label2, QStringLiteral("Label2")},
        {form.Edit1, QStringLiteral("Edit1")},
        {form.DS_Search, QStringLiteral("DS_Search")},
        {form.SQLQuery1, QStringLiteral("SQLQuery1")},
        {form.ComboBox2, QStringLiteral("ComboBox2")},
        {form.Button1, QStringLiteral("Button1")},
        {form.Button2, QStringLiteral("Button2")},
        {form.ClientDataSet1, QStringLiteral("ClientDataSet1")},
        {form.CheckBox1, QStringLiteral("CheckBox1")},
    };
    for (const auto& [component, name] : components) {
        QVERIFY2(component, qPrintable(name));
        QCOMPARE(component->objectName(), name);
        QCOMPARE(form.findChild<QObject*>(name), component);
    }
    QCOMPARE(form.DataSource1->DataSet(), form.CDS_PRODUCT);
    QCOMPARE(form.DBGrid1->DataSource(), form.DataSource1);
    QVERIFY(form.DBGrid1->ReadOnly());
    QCOMPARE(form.DS_Search->DataSet(), nullptr);
    QCOMPARE(form.SQLQuery1->SQLConnection(), form.SQLConnection1);
    QCOMPARE(form.SQL_Product->SQLConnection(), form.SQLConnection1);
    QCOMPARE(form.SQL_Product->CommandText(),
             QStringLiteral("select * from PRODUCT\r\nwhere PROD_ID = '-1'"));
    QCOMPARE(form.DSP_Product->DataSet(), form.SQL_Product);
    QVERIFY(form.DSP_Product->Options().Contains(TProviderOption::poAllowCommandText));
    QCOMPARE(form.CDS_PRODUCT->Provider(), form.DSP_Product);
    QVERIFY(!form.ClientDataSet1->Active());
    QCOMPARE(form.SQLConnection1->ConnectionName(), QStringLiteral("Tallon"));
    QVERIFY(form.SQLConnection1->LoadParamsOnConnect());
    QVERIFY(!form.SQLConnection1->LoginPrompt());
    QVERIFY(form.SQLConnection1->Connected());
}

void tst_FormMassAmend::declaredFields_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("displayName");
    QTest::addColumn<bool>("required");
    const int s = int(TFieldType::ftString);
    const int i = int(TFieldType::ftInteger);
    const int f = int(TFieldType::ftFloat);
    QTest::newRow("first") << 1 << "PROD_ID" << s << 20 << "商品編號" << true;
    QTest::newRow("integer") << 5 << "SAL_TAG" << i << 0 << "銷售管制" << false;
    QTest::newRow("required float") << 10 << "VIP_PRICE" << f << 0 << "會員售價" << true;
    QTest::newRow("supplier name") << 14 << "PROVIDER_NAME" << s << 50 << "廠商名稱" << false;
    QTest::newRow("display format") << 29 << "AVG_COST" << f << 0 << "平均成本" << false;
    QTest::newRow("unlabelled") << 33 << "FLAG" << s << 10 << "FLAG" << false;
    QTest::newRow("widest") << 41 << "PHOTO_PATH" << s << 200 << "圖檔路逕" << false;
    QTest::newRow("one byte") << 50 << "BILL_CLASS" << s << 1 << "適用卷別" << false;
    QTest::newRow("edit mask") << 60 << "PUT_ID" << s << 10 << "PUT_ID" << false;
    QTest::newRow("last") << 105 << "GIVE_QTY2" << f << 0 << "贈量2" << false;
}

void tst_FormMassAmend::declaredFields()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(int, size);
    QFETCH(QString, displayName);
    QFETCH(bool, required);
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    const TClientDataSet& products = *f.Form->CDS_PRODUCT;
    QCOMPARE(products.FieldCount(), 105);
    const TField* field = products.Fields().at(number - 1);
    QCOMPARE(field->FieldName(), name);
    QCOMPARE(field->objectName(), QStringLiteral("CDS_PRODUCT") + name);
    QCOMPARE(f.Form->findChild<TField*>(QStringLiteral("CDS_PRODUCT") + name), field);
    QCOMPARE(int(field->DataType()), kind);
    if (kind == int(TFieldType::ftString)) QCOMPARE(field->Size(), size);
    QCOMPARE(field->DisplayName(), displayName);
    QCOMPARE(field->Required(), required);
    QCOMPARE(f.Form->CDS_PRODUCTAVG_COST->DisplayFormat(), QStringLiteral("#0.00"));
    QCOMPARE(f.Form->CDS_PRODUCTPUT_ID->EditMask(), QStringLiteral("!00-00-0;0;"));
    QCOMPARE(f.Form->CDS_PRODUCTPROD_ID, products.Fields().first());
    QCOMPARE(f.Form->CDS_PRODUCTGIVE_QTY2, products.Fields().last());
}

void tst_FormMassAmend::startShowsEveryColumnAndTheDemoRow_data()
{
    AddBackendColumn();
    QTest::addColumn<bool>("demoRow");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:no demo row", b.data()) << backend << false;
        QTest::addRow("%s:demo row", b.data()) << backend << true;
    }
}

void tst_FormMassAmend::startShowsEveryColumnAndTheDemoRow()
{
    QFETCH(TestBackend, backend);
    QFETCH(bool, demoRow);
    TestDatabaseOptions options;
    options.WithDemoRow = demoRow;
    MassAmendFixture f(backend, options);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    QVERIFY(form.CDS_PRODUCT->Active());
    QCOMPARE(form.CDS_PRODUCT->RecordCount(), demoRow ? 1 : 0);
    if (demoRow) QCOMPARE(form.CDS_PRODUCTPROD_ID->AsString(), QStringLiteral("-1"));

    QCOMPARE(form.ComboBox1->count(), 105);
    QCOMPARE(form.ComboBox2->count(), 105);
    QCOMPARE(form.ComboBox1->ItemIndex(), -1);
    QCOMPARE(form.ComboBox1->currentText(), QString());
    QVERIFY(form.Edit1->text().isEmpty());
    for (int i = 0; i < 105; ++i) {
        const TField* field = form.CDS_PRODUCT->Fields().at(i);
        QCOMPARE(form.ComboBox1->itemText(i), field->DisplayName());
        QCOMPARE(form.ComboBox2->itemText(i), field->FieldName());
    }
    QCOMPARE(form.ComboBox1->itemText(32), QStringLiteral("FLAG"));
    QCOMPARE(form.ComboBox1->itemText(55), QStringLiteral("BUY_CLASS"));
    QCOMPARE(form.ComboBox1->itemText(56), QStringLiteral("MS"));

    QCOMPARE(form.DBGrid1->ShownColumnCount(), 105);
    for (int i = 0; i < 105; ++i)
        QCOMPARE(form.DBGrid1->ShownColumn(i)->TitleCaption(),
                 form.CDS_PRODUCT->Fields().at(i)->DisplayName());
}

void tst_FormMassAmend::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // width or height -1: as the control wants
    QTest::addColumn<QString>("text");
    QTest::newRow("top band") << "Panel1" << QRect(0, 0, 785, 41) << QString();
    QTest::newRow("middle") << "Panel2" << QRect(0, 41, 785, 362) << QString();
    QTest::newRow("bottom band") << "Panel3" << QRect(0, 403, 785, 41) << QString();
    QTest::newRow("grid") << "DBGrid1" << QRect(1, 1, 783, 360) << QString();
    QTest::newRow("selection") << "SpeedButton1" << QRect(18, 8, 99, 25) << "商品選擇";
    QTest::newRow("quick select") << "CheckBox1" << QRect(136, 13, 97, 17) << "快速全選";
    QTest::newRow("column caption") << "Label1" << QRect(32, 8, -1, -1) << "替換欄位";
    QTest::newRow("column list") << "ComboBox1" << QRect(96, 6, 145, -1) << QString();
    QTest::newRow("equals") << "Label2" << QRect(248, 8, -1, -1) << "=";
    QTest::newRow("value") << "Edit1" << QRect(266, 5, 121, -1) << QString();
    QTest::newRow("replace") << "Button1" << QRect(400, 4, 57, 25) << "更動";
    QTest::newRow("write back") << "Button2" << QRect(458, 4, 63, 25) << "回存";
    QTest::newRow("field names") << "ComboBox2" << QRect(624, 6, 145, -1) << QString();
}

void tst_FormMassAmend::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QStringLiteral("商品資料批次異動"));
    QCOMPARE(form.size(), QSize(785, 444));
    QCOMPARE(form.font().families().value(0), QStringLiteral("新細明體"));
    QVERIFY(form.font().families().contains(QStringLiteral("AR PL UMing TW")));
    QCOMPARE(form.font().pixelSize(), 13);

    const QWidget* control = form.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->pos(), geometry.topLeft());
    if (geometry.width() >= 0) QCOMPARE(control->width(), geometry.width());
    if (geometry.height() >= 0) QCOMPARE(control->height(), geometry.height());
    QCOMPARE(control->isHidden(), name == QLatin1String("ComboBox2"));
    QCOMPARE(control->property("text").toString(), text);
    QCOMPARE(control->font().pixelSize(), 13);
    QVERIFY(!form.CheckBox1->isChecked());
}

void tst_FormMassAmend::bandsKeepTheirHeight_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger") << QSize(1200, 800);
    QTest::newRow("smaller") << QSize(500, 200);
}

void tst_FormMassAmend::bandsKeepTheirHeight()
{
    QFETCH(QSize, size);
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(size);
    form.layout()->activate();
    QCOMPARE(form.Panel1->geometry(), QRect(0, 0, size.width(), 41));
    QCOMPARE(form.Panel3->geometry(), QRect(0, size.height() - 41, size.width(), 41));
    QCOMPARE(form.Panel2->geometry(), QRect(0, 41, size.width(), size.height() - 82));
    QCOMPARE(form.DBGrid1->geometry(), QRect(1, 1, size.width() - 2, size.height() - 84));
}

void tst_FormMassAmend::tabOrder()
{
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const auto focused = [&form] {
        QWidget* widget = QApplication::focusWidget();
        // The editable list takes the focus in its line edit.
        return widget && widget->parentWidget() == form.ComboBox1 ? form.ComboBox1 : widget;
    };
    form.CheckBox1->setFocus();
    QTest::keyClick(focused(), Qt::Key_Tab);
    QCOMPARE(focused(), form.DBGrid1);
    // Tab moves between the grid's columns; the bottom band goes on from the
    // column list, past the hidden list.
    form.ComboBox1->setFocus();
    for (QWidget* next :
         {static_cast<QWidget*>(form.Edit1), static_cast<QWidget*>(form.Button1),
          static_cast<QWidget*>(form.Button2), static_cast<QWidget*>(form.CheckBox1)}) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), next);
    }
    form.ComboBox1->setFocus();
    QTest::keyClick(focused(), Qt::Key_Backtab);
    QCOMPARE(focused(), form.DBGrid1);
    QCOMPARE(form.SpeedButton1->focusPolicy(), Qt::NoFocus);
}

void tst_FormMassAmend::keyboardReachesEveryControl()
{
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Every control of the window, and how the keyboard reaches it: the
    // speed button by its key, the others by Tab, out of the grid by Ctrl+Tab.
    const QList<QWidget*> controls{form.CheckBox1, form.DBGrid1, form.ComboBox1,
                                   form.Edit1,     form.Button1, form.Button2};
    QCOMPARE(KeyboardWalk::FocusableOutside(&form, controls), QStringList());
    QCOMPARE(KeyboardWalk::ButtonsWithoutKey(&form), QStringList());
    QCOMPARE(KeyboardWalk::SharedKeys(&form), QStringList());
    const QStringList order{"CheckBox1", "DBGrid1", "ComboBox1", "Edit1", "Button1", "Button2"};
    form.CheckBox1->setFocus();
    QCOMPARE(KeyboardWalk::Walk(&form, controls, true), order);
    form.Button2->setFocus();
    QStringList backwards{"Button2"};
    for (qsizetype i = order.size() - 2; i >= 0; --i)
        backwards << order[i];
    QCOMPARE(KeyboardWalk::Walk(&form, controls, false), backwards);
}

void tst_FormMassAmend::f2OpensProductSelectionFromTheGrid()
{
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    TFormMassAmend& form = *f.Form;
    TFrmgetdataTestHook::SetSearchIniPath(f.Database.Dir() + QStringLiteral("/Search.ini"));
    QCOMPARE(form.SpeedButton1->shortcut(), QKeySequence(Qt::Key_F2));
    QCOMPARE(form.SpeedButton1->toolTip(), QStringLiteral("商品選擇 (F2)"));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.DBGrid1->setFocus();

    // The dialog runs modally: it is cancelled from inside its loop.
    bool shown = false;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        TFrmgetdata* dialog = Frmgetdata;
        if (!dialog || !dialog->isVisible()) return;
        shown = true;
        dialog->BDCMDNOTClick(dialog->BDCMDNOT);
    });
    closer.start();
    QTest::keyClick(form.DBGrid1, Qt::Key_F2);
    QTRY_VERIFY(shown);
    closer.stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TFrmgetdataTestHook::SetSearchIniPath(QString());
    QCOMPARE(form.focusWidget(), form.DBGrid1);
}

void tst_FormMassAmend::extraColumnsAreNotShown_data()
{
    AddBackendRows();
}

void tst_FormMassAmend::extraColumnsAreNotShown()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    products.Close();
    products.SetCommandText(QStringLiteral("select 1 as EXTRA_COLUMN, P.* from PRODUCT P"));
    products.Open();
    QCOMPARE(products.RecordCount(), 20);
    QCOMPARE(products.FieldCount(), 105);
    QVERIFY(!products.FindField(QStringLiteral("EXTRA_COLUMN")));
    QCOMPARE(f.Form->ComboBox1->count(), 105);
    QCOMPARE(f.Form->ComboBox1->findText(QStringLiteral("EXTRA_COLUMN")), -1);
    QCOMPARE(f.Form->DBGrid1->ShownColumnCount(), 105);
}

void tst_FormMassAmend::openFailureLeavesListClosed_data()
{
    AddBackendColumn();
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("message");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:missing column", b.data())
            << backend << QStringLiteral("select PROD_ID from PRODUCT")
            << QStringLiteral("CDS_PRODUCT: Field '第二代碼' not found");
        QTest::addRow("%s:text for integer", b.data())
            << backend << AllColumnsWith(QStringLiteral("SAL_TAG"), QStringLiteral("PROD_NAME"))
            << QStringLiteral("CDS_PRODUCT: Type mismatch for field '銷售管制', expecting: Integer "
                              "actual: String");
    }
}

void tst_FormMassAmend::openFailureLeavesListClosed()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, statement);
    QFETCH(QString, message);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    f.Choose(QStringLiteral("PROD_NAME"), QString());
    products.Close();
    products.SetCommandText(statement);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, products.Open());
    try {
        products.Open();
    } catch (const EDatabaseError& error) {
        QCOMPARE(error.Message(), message);
    }
    QVERIFY(!products.Active());
    // The column lists keep what the last open gave them.
    QCOMPARE(f.Form->ComboBox1->count(), 105);
    QCOMPARE(f.Form->ComboBox2->itemText(f.Form->ComboBox1->ItemIndex()),
             QStringLiteral("PROD_NAME"));
}

void tst_FormMassAmend::closedListFailsInBothHandlers_data()
{
    QTest::addColumn<bool>("writeBack");
    QTest::newRow("更動") << false;
    QTest::newRow("回存") << true;
}

void tst_FormMassAmend::closedListFailsInBothHandlers()
{
    QFETCH(bool, writeBack);
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    Application()->SetTitle(QStringLiteral("Massamend"));
    f.Form->CDS_PRODUCT->Close();
    f.Choose(QStringLiteral("PROVIDER_ID"), QStringLiteral("X"));
    if (writeBack)
        f.Form->Button2->click();
    else
        f.Form->Button1->click();
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    const TRecordingMessages::Box& box = f.Boxes.Boxes.first();
    QCOMPARE(box.Kind, QStringLiteral("error"));
    QCOMPARE(box.Caption, QStringLiteral("Massamend"));
    QCOMPARE(box.Text,
             QStringLiteral("CDS_PRODUCT: Cannot perform this operation on a closed dataset."));
    QVERIFY(f.Progress->Starts.isEmpty());
}

void tst_FormMassAmend::closingAsksNothingAndWritesNothing()
{
    MassAmendFixture f(SQLite);
    OPEN_FIXTURE(f);
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(f.Codes({1, 2}));
    f.Choose(QStringLiteral("PROD_NAME"), QStringLiteral("UNSAVED"));
    f.Form->show();
    f.Form->Button1->click();
    QCOMPARE(f.Form->CDS_PRODUCT->FieldByName(QStringLiteral("PROD_NAME"))->AsString(),
             QStringLiteral("UNSAVED"));
    QVERIFY(f.Form->close());
    QCOMPARE(f.Boxes.Boxes.size(), 0);
    f.Form.reset();
    QCOMPARE(f.Rows(), before);
}

QTEST_MAIN(tst_FormMassAmend)
#include "tst_formmassamend.moc"
