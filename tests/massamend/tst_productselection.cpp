#include "Getdata.h"
#include "MassAmendFixture.h"
#include "SearchIniHook.h"
#include "SelectGrid.h"
#include "TProductSelection.h"
#include "TRadioGroup.h"
#include "TSpeedButton.h"
#include "TestBackends.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

// "商品選擇": the query dialog, driven inside its modal loop, and the product
// list that the click then loads; checked through a second connection.
class tst_ProductSelection : public QObject
{
    Q_OBJECT

private slots:
    void listUntouched_data();
    void listUntouched();
    void acceptLoadsExactlyTheSelectedProducts_data();
    void acceptLoadsExactlyTheSelectedProducts();
    void boxCheckedLoadsEveryRowOfTheLastSearch_data();
    void boxCheckedLoadsEveryRowOfTheLastSearch();
    void boxCheckedWithoutSearchReReadsTheList_data() { AddBackendRows(); }
    void boxCheckedWithoutSearchReReadsTheList();
    void aroundTheLengthOfOneInList_data();
    void aroundTheLengthOfOneInList();
    void wholeTableOfMoreThan100000Products_data() { AddBackendRows(); }
    void wholeTableOfMoreThan100000Products();
    void failureInALaterBatchLeavesTheListClosed_data() { AddBackendRows(); }
    void failureInALaterBatchLeavesTheListClosed();
    void waitCursorOverTheBoxCheckedOpen_data() { AddBackendRows(); }
    void waitCursorOverTheBoxCheckedOpen();
};

namespace
{

enum TClosing { Cancel, CancelWithRowsSelected, CancelAfterSearch, AcceptNoneSelected };

using TDialogAction = std::function<void(TFrmgetdata&)>;

// One click of "商品選擇", with the action run on the dialog once its modal
// loop is up. A dialog that the action leaves open is cancelled, so that no
// test hangs on it; the closed dialog is then freed as the event loop would.
class TSelectionRun
{
public:
    explicit TSelectionRun(MassAmendFixture& fixture) : F(fixture)
    {
        TFrmgetdataTestHook::SetSearchIniPath(F.Database.Dir() + QStringLiteral("/Search.ini"));
    }
    ~TSelectionRun() { TFrmgetdataTestHook::SetSearchIniPath(QString()); }

    void Click(const TDialogAction& action)
    {
        QTimer::singleShot(0, [this, action] {
            TFrmgetdata* dialog = Frmgetdata;
            if (!dialog) return;
            Shown = dialog->isVisible();
            Dialog = dialog;
            action(*dialog);
            if (dialog->isVisible()) dialog->BDCMDNOTClick(dialog->BDCMDNOT);
        });
        F.Form->SpeedButton1Click(F.Form->SpeedButton1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    MassAmendFixture& F;
    bool Shown = false;
    QPointer<TFrmgetdata> Dialog;
};

// A search on the product code: every product whose code starts so.
void SearchCodesStartingWith(TFrmgetdata& dialog, const QString& prefix)
{
    dialog.ComboBox1->SetItemIndex(dialog.ComboBox2->findText(QStringLiteral("PROD_ID")));
    dialog.RadioGroup1->SetItemIndex(1);
    dialog.Edit1->setText(prefix);
    dialog.SpeedButton1Click(dialog.SpeedButton1);
}

// Selects in the dialog's grid the rows with these codes, in the order shown.
void SelectCodes(TFrmgetdata& dialog, const QStringList& codes)
{
    const QSet<QString> wanted(codes.begin(), codes.end());
    TDataSet* shown = dialog.SearchSource->DataSet();
    for (shown->First(); !shown->Eof(); shown->Next())
        if (wanted.contains(shown->FieldByName(QStringLiteral("PROD_ID"))->AsString()))
            dialog.DBGrid1->AddCurrentRowToSelection();
}

// Counts the opens of a dataset and whether the wait cursor was up at each,
// around the handler the dataset had.
class TOpenWatch
{
public:
    explicit TOpenWatch(TDataSet& dataSet) : FDataSet(dataSet), FHandler(dataSet.AfterOpen)
    {
        dataSet.AfterOpen = [this](TDataSet* opened) {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            WaitCursorAtEveryOpen =
                WaitCursorAtEveryOpen && cursor && cursor->shape() == Qt::WaitCursor;
            ++Opens;
            if (FHandler) FHandler(opened);
        };
    }
    ~TOpenWatch() { FDataSet.AfterOpen = FHandler; }

    int Opens = 0;
    bool WaitCursorAtEveryOpen = true;

private:
    TDataSet& FDataSet;
    TDataSetNotifyEvent FHandler;
};

// The product list's codes in the order it shows them.
QStringList ListedCodes(TFormMassAmend& form)
{
    QStringList codes;
    for (form.CDS_PRODUCT->First(); !form.CDS_PRODUCT->Eof(); form.CDS_PRODUCT->Next())
        codes.append(form.CDS_PRODUCTPROD_ID->AsString());
    return codes;
}

QStringList ListedNames(TFormMassAmend& form)
{
    QStringList names;
    for (form.CDS_PRODUCT->First(); !form.CDS_PRODUCT->Eof(); form.CDS_PRODUCT->Next())
        names.append(form.CDS_PRODUCTPROD_NAME->AsString());
    return names;
}

QStringList CodesInDatabase(SecondConnection& check, const QString& condition)
{
    QStringList codes;
    for (const QVariantList& row : check.QueryRows(
             QStringLiteral("select PROD_ID from PRODUCT %1 order by PROD_ID").arg(condition)))
        codes.append(row.value(0).toString());
    return codes;
}

QStringList Sorted(QStringList codes)
{
    codes.sort();
    return codes;
}

} // namespace

void tst_ProductSelection::listUntouched_data()
{
    AddBackendColumn();
    QTest::addColumn<int>("closing");
    QTest::addColumn<bool>("boxChecked");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:cancel", b.data()) << backend << int(Cancel) << false;
        QTest::addRow("%s:cancel with rows selected", b.data())
            << backend << int(CancelWithRowsSelected) << false;
        QTest::addRow("%s:cancel after a search, box checked", b.data())
            << backend << int(CancelAfterSearch) << true;
        QTest::addRow("%s:accept with none selected", b.data())
            << backend << int(AcceptNoneSelected) << false;
    }
}

void tst_ProductSelection::listUntouched()
{
    QFETCH(TestBackend, backend);
    QFETCH(int, closing);
    QFETCH(bool, boxChecked);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    f.Load(f.Codes({2, 5, 9}));
    // A value replaced in memory only survives as long as nothing re-reads.
    f.Choose(QStringLiteral("PROD_NAME"), QStringLiteral("未存新名"));
    f.Form->Button1Click(f.Form->Button1);
    const QString commandText = f.Form->CDS_PRODUCT->CommandText();
    f.Form->CheckBox1->setChecked(boxChecked);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        switch (TClosing(closing)) {
        case Cancel:
            dialog.BDCMDNOTClick(dialog.BDCMDNOT);
            break;
        case CancelWithRowsSelected:
            SelectCodes(dialog, f.Codes({2, 9}));
            dialog.BDCMDNOTClick(dialog.BDCMDNOT);
            break;
        case CancelAfterSearch:
            SearchCodesStartingWith(dialog, QStringLiteral("10001"));
            dialog.BDCMDNOTClick(dialog.BDCMDNOT);
            break;
        case AcceptNoneSelected:
            dialog.BTCMDOK1Click(dialog.BTCMDOK);
            break;
        }
    });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(Sorted(ListedCodes(*f.Form)), f.Codes({2, 5, 9}));
    QCOMPARE(ListedNames(*f.Form), QStringList(3, QStringLiteral("未存新名")));
    QCOMPARE(f.Form->CDS_PRODUCT->CommandText(), commandText);
    QCOMPARE(f.Form->ComboBox2->itemText(f.Form->ComboBox1->ItemIndex()),
             QStringLiteral("PROD_NAME"));
    QVERIFY(run.Dialog.isNull());
}

void tst_ProductSelection::acceptLoadsExactlyTheSelectedProducts_data()
{
    AddBackendColumn();
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("searchPrefix");
    QTest::addColumn<QStringList>("selected");
    const QString quoted = QStringLiteral("10'9");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        // Empty "selected": every third product that the search found.
        QTest::addRow("%s:after a search", b.data())
            << backend << MassAmendFixture::Codes({0}) << QStringLiteral("10001") << QStringList();
        QTest::addRow("%s:from the current list", b.data())
            << backend << MassAmendFixture::Codes({1, 3, 4, 8}) << QString()
            << MassAmendFixture::Codes({3, 8});
        QTest::addRow("%s:code with a quote", b.data())
            << backend << (QStringList{quoted} + MassAmendFixture::Codes({4, 6})) << QString()
            << QStringList({quoted, MassAmendFixture::Code(6)});
    }
}

void tst_ProductSelection::acceptLoadsExactlyTheSelectedProducts()
{
    QFETCH(TestBackend, backend);
    QFETCH(QStringList, listed);
    QFETCH(QString, searchPrefix);
    QFETCH(QStringList, selected);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QVERIFY(f.Check->Execute(
        QStringLiteral("insert into PRODUCT (PROD_ID, PROD_NAME) values ('10''9', 'quoted')")));
    if (selected.isEmpty()) {
        const QStringList found =
            CodesInDatabase(*f.Check, QStringLiteral("where PROD_ID like '%1%'").arg(searchPrefix));
        QVERIFY(found.size() >= 3);
        for (int i = 0; i < found.size(); i += 3)
            selected.append(found.at(i));
    }
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_NAME"), QStringLiteral("x"));
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        if (!searchPrefix.isEmpty()) SearchCodesStartingWith(dialog, searchPrefix);
        SelectCodes(dialog, selected);
        dialog.BTCMDOK1Click(dialog.BTCMDOK);
    });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(f.Form->CDS_PRODUCT->Active());
    QCOMPARE(Sorted(ListedCodes(*f.Form)), Sorted(selected));
    QVERIFY(f.Form->CDS_PRODUCT->CommandText().startsWith(
        QStringLiteral("select * from product where prod_id in (")));
    QCOMPARE(f.Form->CDS_PRODUCT->PacketRecords(), -1);
    // The reload leaves no column chosen.
    QCOMPARE(f.Form->ComboBox1->ItemIndex(), -1);
    QCOMPARE(f.Form->ComboBox2->count(), 105);
    QVERIFY(run.Dialog.isNull());
}

void tst_ProductSelection::boxCheckedLoadsEveryRowOfTheLastSearch_data()
{
    AddBackendRows();
}

void tst_ProductSelection::boxCheckedLoadsEveryRowOfTheLastSearch()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    f.Load(f.Codes({0, 1}));
    f.Choose(QStringLiteral("PROD_NAME"), QStringLiteral("x"));
    f.Form->CheckBox1->setChecked(true);
    const QStringList expected =
        CodesInDatabase(*f.Check, QStringLiteral("where PROD_ID like '10001%'"));
    QVERIFY(expected.size() >= 2);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        SearchCodesStartingWith(dialog, QStringLiteral("10000"));
        dialog.SpeedButton2Click(dialog.SpeedButton2);
        SearchCodesStartingWith(dialog, QStringLiteral("10001"));
        // The selection plays no part with the box checked.
        SelectCodes(dialog, {expected.first()});
        dialog.BTCMDOK1Click(dialog.BTCMDOK);
    });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(f.Form->CDS_PRODUCT->Active());
    QCOMPARE(ListedCodes(*f.Form), expected);
    QVERIFY2(f.Form->CDS_PRODUCT->CommandText().startsWith(
                 QStringLiteral("SELECT PROD_ID,PROD_ID2,PROD_BARCODE,")),
             qPrintable(f.Form->CDS_PRODUCT->CommandText()));
    QCOMPARE(f.Form->ComboBox1->ItemIndex(), -1);
    QVERIFY(run.Dialog.isNull());
}

// No search ran: the statement is empty, and the list is read again with the
// one it ran last, so what was only replaced in memory is gone.
void tst_ProductSelection::boxCheckedWithoutSearchReReadsTheList()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    f.Load(f.Codes({1, 4}));
    f.Choose(QStringLiteral("PROD_NAME"), QStringLiteral("未存新名"));
    f.Form->Button1Click(f.Form->Button1);
    f.Form->CheckBox1->setChecked(true);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) { dialog.BTCMDOK1Click(dialog.BTCMDOK); });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(f.Form->CDS_PRODUCT->Active());
    QCOMPARE(Sorted(ListedCodes(*f.Form)), f.Codes({1, 4}));
    const QList<QVariantList> names = f.Check->QueryRows(
        QStringLiteral(
            "select PROD_NAME from PRODUCT where PROD_ID in ('%1', '%2') order by PROD_ID")
            .arg(f.Codes({1, 4}).at(0), f.Codes({1, 4}).at(1)));
    QCOMPARE(names.size(), 2);
    QStringList expected;
    for (const QVariantList& row : names)
        expected.append(row.value(0).toString());
    QStringList listed = ListedNames(*f.Form);
    QVERIFY(!listed.contains(QStringLiteral("未存新名")));
    listed.sort();
    expected.sort();
    QCOMPARE(listed, expected);
}

void tst_ProductSelection::aroundTheLengthOfOneInList_data()
{
    AddBackendColumn();
    QTest::addColumn<int>("count");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray b = backend.Name().toLatin1();
        QTest::addRow("%s:1,500 in one IN list", b.data()) << backend << 1500;
        QTest::addRow("%s:1,501 in batches", b.data()) << backend << 1501;
    }
}

// Firebird takes at most 1,500 values in one IN list: up to that the statement
// is the one list of literals, beyond it one statement of '?' run per batch.
void tst_ProductSelection::aroundTheLengthOfOneInList()
{
    QFETCH(TestBackend, backend);
    QFETCH(int, count);
    TestDatabaseOptions options;
    options.Products = 1601;
    MassAmendFixture f(backend, options);
    OPEN_FIXTURE(f);
    const QStringList selected = CodesInDatabase(*f.Check, QString()).mid(0, count);
    QCOMPARE(selected.size(), count);
    TOpenWatch watch(*f.Form->CDS_PRODUCT);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        SearchCodesStartingWith(dialog, QString());
        SelectCodes(dialog, selected);
        dialog.BTCMDOK1Click(dialog.BTCMDOK);
    });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(f.Form->CDS_PRODUCT->Active());
    QCOMPARE(Sorted(ListedCodes(*f.Form)), selected);
    QCOMPARE(watch.Opens, 1);
    QVERIFY(watch.WaitCursorAtEveryOpen);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    if (count <= TProductSelection::MaxInListValues) {
        QCOMPARE(f.Form->CDS_PRODUCT->CommandText(), TProductSelection::SelectStatement(selected));
        QVERIFY(f.Form->CDS_PRODUCT->ParamBatches().isEmpty());
    } else {
        QCOMPARE(f.Form->CDS_PRODUCT->CommandText(), TProductSelection::BatchStatement());
        QCOMPARE(f.Form->CDS_PRODUCT->ParamBatches(), TProductSelection::CodeBatches(selected));
    }
    QCOMPARE(f.Form->ComboBox1->ItemIndex(), -1);
}

// Every product of a table that no IN list, no statement size and no count of
// unions can take, found, marked with "全選" and loaded through the dialog.
void tst_ProductSelection::wholeTableOfMoreThan100000Products()
{
    QFETCH(TestBackend, backend);
    TestDatabaseOptions options;
    options.Products = 100000;
    options.WithDemoRow = true;
    MassAmendFixture f(backend, options);
    OPEN_FIXTURE(f);
    const QStringList all = CodesInDatabase(*f.Check, QString());
    QCOMPARE(all.size(), 100001);
    TOpenWatch watch(*f.Form->CDS_PRODUCT);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        SearchCodesStartingWith(dialog, QString());
        dialog.SpeedButton4Click(dialog.SpeedButton4);
        dialog.BTCMDOK1Click(dialog.BTCMDOK);
    });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QVERIFY(f.Form->CDS_PRODUCT->Active());
    QCOMPARE(f.Form->CDS_PRODUCT->RecordCount(),
             f.Check->QueryValue(QStringLiteral("select count(*) from PRODUCT")).toInt());
    QCOMPARE(Sorted(ListedCodes(*f.Form)), all);
    QCOMPARE(watch.Opens, 1);
    QVERIFY(watch.WaitCursorAtEveryOpen);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

// A code that the connection's character set can't hold stops its batch, in
// the middle of the load: the list ends closed as after a refused statement,
// with none of the rows that the batches before it found, and the cursor back.
void tst_ProductSelection::failureInALaterBatchLeavesTheListClosed()
{
    QFETCH(TestBackend, backend);
    TestDatabaseOptions options;
    options.Products = 1601;
    MassAmendFixture f(backend, options);
    OPEN_FIXTURE(f);
    TClientDataSet& products = *f.Form->CDS_PRODUCT;
    products.Close();
    products.SetCommandText(QStringLiteral("select * from product"));
    products.Open();
    QCOMPARE(products.RecordCount(), 1601);
    // A code changed in memory only, sorting amid the others.
    QVERIFY(products.Locate(QStringLiteral("PROD_ID"), MassAmendFixture::Code(799), {}));
    products.Edit();
    f.Form->CDS_PRODUCTPROD_ID->SetAsString(MassAmendFixture::Code(799) +
                                            QStringLiteral("\U0001F600"));
    products.Post();
    f.Choose(QStringLiteral("PROD_NAME"), QString());
    TOpenWatch watch(products);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        dialog.SpeedButton4Click(dialog.SpeedButton4);
        dialog.BTCMDOK1Click(dialog.BTCMDOK);
    });

    QVERIFY(run.Shown);
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes.first().Kind, QStringLiteral("error"));
    QVERIFY2(f.Boxes.Boxes.first().Text.contains(QStringLiteral("U+1F600")),
             qPrintable(f.Boxes.Boxes.first().Text));
    QVERIFY(!products.Active());
    QCOMPARE(watch.Opens, 0);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(products.ParamBatches().size(),
             (1601 + TProductSelection::BatchValues - 1) / TProductSelection::BatchValues);
    // The column lists keep what the last open gave them.
    QCOMPARE(f.Form->ComboBox1->count(), 105);
    QCOMPARE(f.Form->ComboBox2->itemText(f.Form->ComboBox1->ItemIndex()),
             QStringLiteral("PROD_NAME"));
}

void tst_ProductSelection::waitCursorOverTheBoxCheckedOpen()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    f.Form->CheckBox1->setChecked(true);
    TOpenWatch watch(*f.Form->CDS_PRODUCT);
    TSelectionRun run(f);

    run.Click([&](TFrmgetdata& dialog) {
        SearchCodesStartingWith(dialog, QStringLiteral("10001"));
        dialog.BTCMDOK1Click(dialog.BTCMDOK);
    });

    QVERIFY(run.Shown);
    QCOMPARE(watch.Opens, 1);
    QVERIFY(watch.WaitCursorAtEveryOpen);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(tst_ProductSelection)
#include "tst_productselection.moc"
