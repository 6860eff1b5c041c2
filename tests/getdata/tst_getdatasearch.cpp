#include "../data/SQLTestConnection.h"
#include "Big5Codec.h"
#include "GetdataFixture.h"
#include "SecondConnection.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTimer>

// A search on each backend through the program's connection: the result
// shown, no rows, a refused statement, sorting by a title, selecting rows and
// reading them back.
class tst_GetdataSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void init()
    {
        DialogAccepted = false;
        RememberedFieldIndex = 0;
    }
    void searchShowsResult_data() { AddBackendRows(); }
    void searchShowsResult();
    void noRowsShowsMessage_data() { AddBackendRows(); }
    void noRowsShowsMessage();
    void refusedStatementShowsError_data() { AddBackendRows(); }
    void refusedStatementShowsError();
    void titleClickSorts_data() { AddBackendRows(); }
    void titleClickSorts();
    void selectAllAndRead_data() { AddBackendRows(); }
    void selectAllAndRead();
    void deleteInGridChangesNothing_data() { AddBackendRows(); }
    void deleteInGridChangesNothing();
    void enterInGridAcceptsWithSelection_data() { AddBackendRows(); }
    void enterInGridAcceptsWithSelection();
    void earlierSelectionNeverReadAsResultRows_data() { AddBackendRows(); }
    void earlierSelectionNeverReadAsResultRows();
    void quotedValueFindsRow_data() { AddBackendRows(); }
    void quotedValueFindsRow();
    void waitCursorDuringEverySearchOnly_data() { AddBackendRows(); }
    void waitCursorDuringEverySearchOnly();
};

namespace
{

// Text in Big5 order: by its CP950 bytes, text outside Big5 after, by code
// point.
bool Big5Less(const QString& a, const QString& b)
{
    const auto key = [](const QString& text) {
        QByteArray bytes;
        char32_t bad = 0;
        return Big5Codec::Encode(text, bytes, bad) ? QByteArray(1, '\0') + bytes
                                                   : QByteArray(1, '\1') + text.toUtf8();
    };
    return key(a) < key(b);
}

// The dialog over a test database: the target is the product table read
// with three labelled columns, the dialog's command runs on the connection.
class SearchFixture
{
public:
    explicit SearchFixture(const TestBackend& backend) : Database(backend)
    {
        if (!Database.IsValid()) {
            Error = Database.ErrorString();
            return;
        }
        try {
            Connection = OpenTestConnection();
        } catch (const Exception& error) {
            Error = error.Message();
            return;
        }
        SecondConnection check(Database);
        for (const QVariantList& row :
             check.QueryRows("SELECT PROD_ID, PROD_NAME FROM PRODUCT ORDER BY PROD_ID"))
            Rows.append({row.value(0).toString(), row.value(1).toString()});
        TargetCommand.SetSQLConnection(Connection.get());
        TargetProvider.SetDataSet(&TargetCommand);
        TargetProvider.SetOptions({TProviderOption::poAllowCommandText});
        Dialog.Target.SetProvider(&TargetProvider);
        Dialog.Target.SetCommandText(
            "SELECT PROD_ID, PROD_NAME, SALE_PRICE FROM PRODUCT ORDER BY PROD_ID");
        Dialog.Target.Open();
        Dialog.Target.FieldByName("PROD_ID")->SetDisplayLabel("商品編號");
        Dialog.Target.FieldByName("PROD_NAME")->SetDisplayLabel("品名");
        Dialog.Target.FieldByName("SALE_PRICE")->SetDisplayLabel("售價");
        Dialog.Dialog->SQLDataSet1->SetSQLConnection(Connection.get());
    }

    TFrmgetdata* D() { return Dialog.Dialog; }
    QStringList Codes() const
    {
        QStringList codes;
        for (const auto& row : Rows)
            codes << row.first;
        return codes;
    }
    QStringList ShownCodes()
    {
        QStringList codes;
        TDataSet* shown = Dialog.Source.DataSet();
        for (shown->First(); !shown->Eof(); shown->Next())
            codes << shown->FieldByName("PROD_ID")->AsString();
        return codes;
    }
    void Search(const QString& field, int mode, const QString& value)
    {
        Dialog.Inputs(field, mode, value);
        D()->SpeedButton1->Click();
    }

    TestDatabase Database;
    std::unique_ptr<TSQLConnection> Connection;
    QList<QPair<QString, QString>> Rows;
    QString Error;
    TSQLDataSet TargetCommand;
    TDataSetProvider TargetProvider;
    DialogFixture Dialog{false};
};

bool WaitCursorShown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

// Records besides each box whether the wait cursor was up when it showed.
class TCursorAtBoxes : public TRecordingMessages
{
public:
    void ShowError(const QString& caption, const QString& text) override
    {
        WaitCursorAtBox.append(WaitCursorShown());
        TRecordingMessages::ShowError(caption, text);
    }
    void ShowMessage(const QString& text) override
    {
        WaitCursorAtBox.append(WaitCursorShown());
        TRecordingMessages::ShowMessage(text);
    }

    QList<bool> WaitCursorAtBox;
};

QString CrLf(const QStringList& values)
{
    QString text;
    for (const QString& value : values)
        text += value + "\r\n";
    return text;
}

} // namespace

#define OPEN_FIXTURE(f)                                                                            \
    QFETCH(TestBackend, backend);                                                                  \
    SearchFixture f(backend);                                                                      \
    if (!f.Error.isEmpty()) QFAIL(qPrintable(f.Error));                                            \
    f.Dialog.Show();                                                                               \
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList())

void tst_GetdataSearch::searchShowsResult()
{
    OPEN_FIXTURE(f);
    QVERIFY(f.Rows.size() >= 5);
    const QString code = f.Rows[3].first;
    f.Search("PROD_ID", 0, code);
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList());
    QCOMPARE(f.Dialog.Source.DataSet(), f.D()->CDS_Query);
    QCOMPARE(f.D()->CDS_Query->RecordCount(), 1);
    QCOMPARE(f.ShownCodes(), QStringList{code});
    QCOMPARE(f.D()->SearchEdit1->DataField(), QString());
    QCOMPARE(f.D()->dbSBtnFirst->DataSource(), &f.Dialog.Source);
    // Titles from the target's display names, by position.
    QCOMPARE(f.D()->DBGrid1->ColumnAt(0)->GetTitle(), QStringLiteral("商品編號"));
    QCOMPARE(f.D()->DBGrid1->ColumnAt(1)->GetTitle(), QStringLiteral("品名"));
    QCOMPARE(f.D()->DBGrid1->ColumnAt(2)->GetTitle(), QStringLiteral("售價"));
    QCOMPARE(f.D()->GetSearchSql(),
             QStringLiteral("SELECT PROD_ID,PROD_NAME,SALE_PRICE  FROM \r\nPRODUCT \r\n"
                            " WHERE PROD_ID  =  '%1' \r\n ORDER BY PROD_ID\r\n")
                 .arg(code));

    // Contains with an empty value matches every row, in the statement's order.
    f.D()->SpeedButton2->Click();
    QCOMPARE(f.Dialog.Source.DataSet(), &f.Dialog.Target);
    f.Search("PROD_ID", 2, "");
    QCOMPARE(f.ShownCodes(), f.Codes());
    // Extra copies of the names after the reset leave the titles right.
    QCOMPARE(f.D()->ComboBox1->count(), 6);
    QCOMPARE(f.D()->DBGrid1->ColumnAt(1)->GetTitle(), QStringLiteral("品名"));
}

void tst_GetdataSearch::noRowsShowsMessage()
{
    OPEN_FIXTURE(f);
    f.Search("PROD_ID", 0, "no-such");
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList{"找不到該條件資料!"});
    QCOMPARE(f.Dialog.Boxes.Boxes[0].Kind, QStringLiteral("message"));
    QCOMPARE(f.Dialog.Source.DataSet(), &f.Dialog.Target);
    QVERIFY(f.D()->CDS_Query->Active());

    // In the Result state a search without rows leaves the grid empty.
    f.Dialog.Boxes.Boxes.clear();
    f.D()->SpeedButton2->Click();
    f.Search("PROD_ID", 0, f.Rows[0].first);
    QCOMPARE(f.Dialog.Source.DataSet(), f.D()->CDS_Query);
    f.D()->SpeedButton2->Click();
    f.Search("PROD_ID", 0, "no-such");
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList{"找不到該條件資料!"});
    QCOMPARE(f.Dialog.Source.DataSet(), &f.Dialog.Target); // reset showed the target
    f.D()->SpeedButton2->Click();
    f.Search("PROD_ID", 0, f.Rows[0].first);
    f.Dialog.Boxes.Boxes.clear();
    QTest::keyClick(f.D()->Edit1, Qt::Key_Return); // one condition: replaced, same value
    QCOMPARE(f.Dialog.Source.DataSet(), f.D()->CDS_Query);
    f.Dialog.Inputs("PROD_ID", 0, "no-such");
    QTest::keyClick(f.D()->Edit1, Qt::Key_Return);
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList{"找不到該條件資料!"});
    QCOMPARE(f.Dialog.Source.DataSet(), f.D()->CDS_Query);
    QVERIFY(f.D()->CDS_Query->Active());
    QCOMPARE(f.D()->CDS_Query->RecordCount(), 0);
}

void tst_GetdataSearch::refusedStatementShowsError()
{
    OPEN_FIXTURE(f);
    f.Search("PROD_ID", 0, f.Rows[0].first);
    QCOMPARE(f.Dialog.Source.DataSet(), f.D()->CDS_Query);
    f.D()->TableName = "NO_SUCH_TABLE";
    f.Search("PROD_ID", 0, f.Rows[1].first);
    QCOMPARE(f.Dialog.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Dialog.Boxes.Boxes[0].Kind, QStringLiteral("error"));
    QVERIFY(!f.D()->CDS_Query->Active());
    QVERIFY(f.D()->GetSearchSql().contains("NO_SUCH_TABLE \r\n"));
    QCOMPARE(f.D()->DBGrid1->SelectionBookmarks().Count(), 0);
}

void tst_GetdataSearch::titleClickSorts()
{
    OPEN_FIXTURE(f);
    // Target state: the caller's dataset is sorted.
    f.D()->DBGrid1TitleButtonClick(f.D()->DBGrid1, "PROD_NAME");
    QCOMPARE(f.Dialog.Target.IndexFieldNames(), QStringLiteral("PROD_NAME"));
    QCOMPARE(f.D()->SearchEdit1->DataField(), QStringLiteral("PROD_NAME"));
    QCOMPARE(f.D()->focusWidget(), f.D()->SearchEdit1);

    f.Search("PROD_ID", 2, "");
    QCOMPARE(f.D()->SearchEdit1->DataField(), QString());
    f.D()->DBGrid1TitleButtonClick(f.D()->DBGrid1, "PROD_NAME");
    TClientDataSet* result = f.D()->CDS_Query;
    QCOMPARE(result->IndexFieldNames(), QStringLiteral("PROD_NAME"));
    QCOMPARE(result->IndexDefs().Count(), 1);
    QCOMPARE(result->IndexDefs()[0].Name, QStringLiteral("idIndex"));
    QCOMPARE(result->IndexDefs()[0].Fields, QStringLiteral("PROD_NAME"));
    QVERIFY(result->IndexDefs()[0].Options.Contains(TIndexOption::ixNonMaintained));
    QStringList names;
    for (result->First(); !result->Eof(); result->Next())
        names << result->FieldByName("PROD_NAME")->AsString();
    QStringList sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(), Big5Less);
    QCOMPARE(names, sorted);
    QCOMPARE(f.D()->SearchEdit1->DataField(), QStringLiteral("PROD_NAME"));
    // The order stays for later searches of the same dialog.
    f.D()->SpeedButton2->Click();
    f.Search("PROD_ID", 2, "");
    QCOMPARE(result->IndexFieldNames(), QStringLiteral("PROD_NAME"));

    // Another title orders by that column instead.
    f.D()->DBGrid1TitleButtonClick(f.D()->DBGrid1, "PROD_ID");
    QCOMPARE(f.ShownCodes(), f.Codes());
}

void tst_GetdataSearch::selectAllAndRead()
{
    OPEN_FIXTURE(f);
    f.Search("PROD_ID", 2, "");
    f.D()->SpeedButton4->click();
    QCOMPARE(f.D()->DBGrid1->SelectionBookmarks().Count(), f.Rows.size());
    QCOMPARE(f.D()->CDS_Query->RecNo(), f.Rows.size());
    QCOMPARE(f.D()->GetSelectedValues("PROD_ID"), CrLf(f.Codes()));
    // Again: rows already selected stay once.
    f.D()->SpeedButton4->click();
    QCOMPARE(f.D()->DBGrid1->SelectionBookmarks().Count(), f.Rows.size());
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList());
}

void tst_GetdataSearch::deleteInGridChangesNothing()
{
    OPEN_FIXTURE(f);
    f.Search("PROD_ID", 2, "");
    f.D()->CDS_Query->SetRecNo(3);
    f.D()->DBGrid1->setFocus();
    QTest::keyClick(f.D()->DBGrid1, Qt::Key_Delete);
    QCOMPARE(f.D()->CDS_Query->RecordCount(), f.Rows.size());
    QCOMPARE(f.D()->CDS_Query->RecNo(), 3);
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList());
    int key = Qt::Key_Delete;
    QVERIFY_THROWS_EXCEPTION(EAbort, f.D()->dbgrid1KeyDown(f.D()->DBGrid1, key, {}));
    QVERIFY(f.D()->isVisible());
}

void tst_GetdataSearch::enterInGridAcceptsWithSelection()
{
    OPEN_FIXTURE(f);
    f.Dialog.Dialog->hide();
    TFrmgetdata* d = f.D();
    bool ran = false;
    QTimer::singleShot(0, d, [&] {
        ran = true;
        f.Search("PROD_ID", 2, "");
        for (int recNo : {4, 1, 3}) {
            d->CDS_Query->SetRecNo(recNo);
            d->DBGrid1->AddCurrentRowToSelection();
        }
        d->DBGrid1->setFocus();
        QTest::keyClick(d->DBGrid1, Qt::Key_Return);
    });
    QTimer::singleShot(5000, d, [d] { d->reject(); });
    QVERIFY(d->Execute());
    QVERIFY(ran);
    QCOMPARE(d->GetSelectedValues("PROD_ID"),
             CrLf({f.Rows[3].first, f.Rows[0].first, f.Rows[2].first}));
    QCOMPARE(d->CDS_Query->RecNo(), 3); // left on the last selected row
    QCOMPARE(d->GetSelectedValues("PROD_NAME"),
             CrLf({f.Rows[3].second, f.Rows[0].second, f.Rows[2].second}));
    RunDeferredDeletes();
    QVERIFY(f.Dialog.Dialog.isNull());
}

void tst_GetdataSearch::earlierSelectionNeverReadAsResultRows()
{
    OPEN_FIXTURE(f);
    QCOMPARE(f.D()->GetSelectedValues("PROD_ID"), QString());
    // Rows selected over the target ...
    f.Dialog.Target.SetRecNo(2);
    f.D()->DBGrid1->AddCurrentRowToSelection();
    QCOMPARE(f.D()->GetSelectedValues("PROD_ID"), CrLf({f.Rows[1].first}));
    // ... are no rows of the result,
    f.Search("PROD_ID", 2, "");
    QCOMPARE(f.D()->GetSelectedValues("PROD_ID"), QString());
    // nor are rows of an earlier opening of the result.
    f.D()->CDS_Query->SetRecNo(2);
    f.D()->DBGrid1->AddCurrentRowToSelection();
    f.D()->SpeedButton1->Click(); // the same conditions again: a new opening
    QCOMPARE(f.D()->GetSelectedValues("PROD_ID"), QString());
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList());
}

void tst_GetdataSearch::quotedValueFindsRow()
{
    OPEN_FIXTURE(f);
    // A quote in the value is part of the value, not the end of the literal.
    f.Search("PROD_NAME", 2, "x'y");
    QCOMPARE(f.Dialog.Boxes.Texts(), QStringList{"找不到該條件資料!"});
    QVERIFY(f.D()->GetSearchSql().contains(" WHERE PROD_NAME  like  '%x''y%' \r\n"));
}

// The wait cursor is up while the result opens, by the button and by Enter,
// and down again before any box shows, after a refused statement too.
void tst_GetdataSearch::waitCursorDuringEverySearchOnly()
{
    OPEN_FIXTURE(f);
    TCursorAtBoxes boxes;
    QList<bool> waitCursorAtOpen;
    f.D()->CDS_Query->AfterOpen = [&](TDataSet*) { waitCursorAtOpen.append(WaitCursorShown()); };

    f.Search("PROD_ID", 0, f.Rows[0].first);
    f.Dialog.Inputs("PROD_ID", 0, "no-such");
    QTest::keyClick(f.D()->Edit1, Qt::Key_Return);
    f.D()->TableName = "NO_SUCH_TABLE";
    f.Search("PROD_ID", 0, f.Rows[1].first);

    QCOMPARE(waitCursorAtOpen, QList<bool>({true, true}));
    QCOMPARE(boxes.Texts(), QStringList({"找不到該條件資料!", boxes.Boxes.value(1).Text}));
    QCOMPARE(boxes.Boxes.value(1).Kind, QStringLiteral("error"));
    QCOMPARE(boxes.WaitCursorAtBox, QList<bool>({false, false}));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(tst_GetdataSearch)
#include "tst_getdatasearch.moc"
