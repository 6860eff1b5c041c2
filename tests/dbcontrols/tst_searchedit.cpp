#include "../data/MemoryTable.h"
#include "DBSearch.h"
#include "Exceptions.h"
#include "TDataLink.h"
#include "TDataSource.h"
#include "TFloatField.h"
#include "TRecordingMessages.h"

#include <QApplication>
#include <QTest>

namespace
{
// A window with the search edit and another control to take the focus.
struct Form {
    QWidget Window;
    TSearchEdit* Edit;
    QLineEdit* Other;
    TClientDataSet DataSet;
    TDataSource Source;

    Form()
    {
        Edit = new TSearchEdit(&Window);
        Edit->setObjectName("SearchEdit1");
        Other = new QLineEdit(&Window);
        Other->move(0, 40);
        DataSet.setObjectName("CDS_Query");
        MakeMemoryTable(DataSet, {{"Apple", 1, 1.5}, {"apricot", 2, 2.25}, {"Banana", 3, 3.0}});
        Source.SetDataSet(&DataSet);
        Window.show();
        QApplication::setActiveWindow(&Window);
        // The window would hand its first control the focus.
        FocusOther();
    }
    void FocusEdit() { Edit->setFocus(); }
    void FocusOther() { Other->setFocus(); }
    QString Current() { return DataSet.FieldByName("NAME")->AsString(); }
};

// Counts how often the current row moved.
class ScrollCounter : public TDataLink
{
public:
    int Scrolls = 0;

protected:
    void DataSetScrolled(int) override { ++Scrolls; }
};
} // namespace

class tst_SearchEdit : public QObject
{
    Q_OBJECT

private slots:
    void constructionDefaults();
    void typingFindsTheFirstMatchingRow();
    void exactCaseSensitiveSearch_data();
    void exactCaseSensitiveSearch();
    void clearingSearchesOnceWithTheEmptyText();
    void changeRaisesOnChangeAfterTheSearch();
    void programTextWithoutFocusDoesNotSearch();
    void showsTheCurrentRowWhileNotFocused();
    void editTextOrDisplayText_data();
    void editTextOrDisplayText();
    void attachingShowsTheValueAtOnce();
    void emptyDataFieldEmptiesTheTextAndMovesNothing();
    void noDataSourceOrClosedDataSetSearchesNothing();
    void missingFieldNamesTheEdit();
    void lettersForANumberFieldShowTheDataLayerError();
    void destroyedDataSourceDetachesTheEdit();
};

void tst_SearchEdit::constructionDefaults()
{
    TSearchEdit edit;
    QCOMPARE(edit.SearchOptions(),
             (TLocateOptions{TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey}));
    QCOMPARE(edit.DataSource(), nullptr);
    QVERIFY(edit.DataField().isEmpty());
    QVERIFY(edit.TabStop());
    edit.SetTabStop(false);
    QVERIFY(!edit.TabStop());
}

void tst_SearchEdit::typingFindsTheFirstMatchingRow()
{
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    form.DataSet.Last();
    QCOMPARE(form.Edit->text(), QStringLiteral("Banana"));
    form.FocusEdit();
    QVERIFY(form.Edit->hasFocus());
    // The whole value is selected, so the first key replaces it.
    QTest::keyClick(form.Edit, Qt::Key_A);
    QCOMPARE(form.Edit->text(), QStringLiteral("a"));
    QCOMPARE(form.Current(), QStringLiteral("Apple"));
    QTest::keyClicks(form.Edit, "pr");
    QCOMPARE(form.Current(), QStringLiteral("apricot"));
    QTest::keyClick(form.Edit, Qt::Key_X);
    QCOMPARE(form.Current(), QStringLiteral("apricot"));
    QCOMPARE(form.Edit->text(), QStringLiteral("aprx"));
    QTest::keyClick(form.Edit, Qt::Key_Backspace);
    QCOMPARE(form.Current(), QStringLiteral("apricot"));
    QTest::keyClick(form.Edit, Qt::Key_Backspace);
    QCOMPARE(form.Edit->text(), QStringLiteral("ap"));
    QCOMPARE(form.Current(), QStringLiteral("Apple"));
    QTest::keyClicks(form.Edit, "RI");
    QCOMPARE(form.Current(), QStringLiteral("apricot"));
}

void tst_SearchEdit::exactCaseSensitiveSearch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("row");
    QTest::newRow("other case") << "apple"
                                << "Banana";
    QTest::newRow("leading part") << "App"
                                  << "Banana";
    QTest::newRow("whole value") << "apricot"
                                 << "apricot";
}

void tst_SearchEdit::exactCaseSensitiveSearch()
{
    QFETCH(QString, typed);
    QFETCH(QString, row);
    Form form;
    form.Edit->SetSearchOptions({});
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    form.DataSet.Last();
    form.FocusEdit();
    form.Edit->clear();
    QTest::keyClicks(form.Edit, typed);
    QCOMPARE(form.Current(), row);
}

void tst_SearchEdit::clearingSearchesOnceWithTheEmptyText()
{
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    form.DataSet.Last();
    form.FocusEdit();
    QTest::keyClick(form.Edit, Qt::Key_B);
    QCOMPARE(form.Current(), QStringLiteral("Banana"));
    ScrollCounter counter;
    counter.SetDataSource(&form.Source);
    form.Edit->clear();
    // Every row begins with the empty text: the search lands on the first.
    QCOMPARE(counter.Scrolls, 1);
    QCOMPARE(form.Current(), QStringLiteral("Apple"));
    QVERIFY(form.Edit->text().isEmpty());
}

void tst_SearchEdit::changeRaisesOnChangeAfterTheSearch()
{
    QStringList seen; // outlives the form, whose closing empties the edit
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    form.FocusEdit();
    form.Edit->OnChange = [&](QObject* sender) {
        QCOMPARE(sender, form.Edit);
        seen << form.Edit->text() + ":" + form.Current();
    };
    form.Edit->clear();
    QTest::keyClicks(form.Edit, "b");
    QCOMPARE(seen, (QStringList{":Apple", "b:Banana"}));
}

void tst_SearchEdit::programTextWithoutFocusDoesNotSearch()
{
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    form.FocusOther();
    form.Edit->setText("Banana");
    QCOMPARE(form.Current(), QStringLiteral("Apple"));
}

void tst_SearchEdit::showsTheCurrentRowWhileNotFocused()
{
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    form.FocusEdit();
    QTest::keyClicks(form.Edit, "apr");
    form.DataSet.Last(); // the typed text stays while the edit has the focus
    QCOMPARE(form.Edit->text(), QStringLiteral("apr"));
    form.FocusOther();
    QCOMPARE(form.Edit->text(), QStringLiteral("apr"));
    form.DataSet.First(); // once it has left, the next move replaces it
    QCOMPARE(form.Edit->text(), QStringLiteral("Apple"));
    QCOMPARE(form.Edit->selectedText(), QStringLiteral("Apple"));
    form.DataSet.Next();
    QCOMPARE(form.Edit->text(), QStringLiteral("apricot"));
    QCOMPARE(form.Edit->selectedText(), QStringLiteral("apricot"));
    QCOMPARE(form.Current(), QStringLiteral("apricot")); // showing it searched nothing
}

void tst_SearchEdit::editTextOrDisplayText_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("shown");
    QTest::newRow("editable: edit text") << false << "1.5";
    QTest::newRow("read-only: display text") << true << "1.50";
}

void tst_SearchEdit::editTextOrDisplayText()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, shown);
    Form form;
    static_cast<TFloatField*>(form.DataSet.FieldByName("PRICE"))->SetDisplayFormat("#0.00");
    form.DataSet.SetReadOnly(readOnly);
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("PRICE");
    QCOMPARE(form.Edit->text(), shown);
}

void tst_SearchEdit::attachingShowsTheValueAtOnce()
{
    Form form;
    form.DataSet.Next();
    form.Edit->SetDataField("NAME");
    QVERIFY(form.Edit->text().isEmpty());
    form.Edit->SetDataSource(&form.Source);
    QCOMPARE(form.Edit->text(), QStringLiteral("apricot"));
    form.Edit->SetDataField("QTY");
    QCOMPARE(form.Edit->text(), QStringLiteral("2"));
}

void tst_SearchEdit::emptyDataFieldEmptiesTheTextAndMovesNothing()
{
    TRecordingMessages messages;
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("NAME");
    QCOMPARE(form.Edit->text(), QStringLiteral("Apple"));
    form.Edit->SetDataField(QString());
    QVERIFY(form.Edit->text().isEmpty());
    form.Edit->setText("left over");
    form.DataSet.Next();
    QVERIFY(form.Edit->text().isEmpty());
    form.FocusEdit();
    QTest::keyClicks(form.Edit, "Ban");
    QCOMPARE(form.Current(), QStringLiteral("apricot"));
    QVERIFY(messages.Boxes.isEmpty());
    // Even with the focus, a row change empties it.
    form.DataSet.Next();
    QVERIFY(form.Edit->text().isEmpty());
}

void tst_SearchEdit::noDataSourceOrClosedDataSetSearchesNothing()
{
    TRecordingMessages messages;
    Form form;
    form.Edit->SetDataField("NAME");
    form.FocusEdit();
    QTest::keyClicks(form.Edit, "Ban");
    QCOMPARE(form.Edit->text(), QStringLiteral("Ban"));
    form.Edit->SetDataSource(&form.Source); // the typed text stays while focused
    QCOMPARE(form.Edit->text(), QStringLiteral("Ban"));
    QCOMPARE(form.Current(), QStringLiteral("Apple"));
    form.DataSet.Close();
    QVERIFY(form.Edit->text().isEmpty());
    QTest::keyClicks(form.Edit, "Ban");
    QCOMPARE(form.Edit->text(), QStringLiteral("Ban"));
    QVERIFY(messages.Boxes.isEmpty());
}

void tst_SearchEdit::missingFieldNamesTheEdit()
{
    Form form;
    form.Edit->SetDataSource(&form.Source);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, form.Edit->SetDataField("NOPE"));
    try {
        form.Edit->SetDataField("NOPE2");
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SearchEdit1: Field 'NOPE2' not found"));
    }
    // Set while detached, it fails when the link becomes active.
    Form other;
    other.Edit->SetDataField("NOPE");
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, other.Edit->SetDataSource(&other.Source));
}

void tst_SearchEdit::lettersForANumberFieldShowTheDataLayerError()
{
    TRecordingMessages messages;
    Form form;
    form.Edit->SetDataSource(&form.Source);
    form.Edit->SetDataField("QTY");
    form.DataSet.Next();
    form.FocusEdit();
    QTest::keyClick(form.Edit, Qt::Key_X);
    QCOMPARE(messages.Texts(), QStringList{"Invalid value for field 'QTY'"});
    QCOMPARE(form.Edit->text(), QStringLiteral("x"));
    QCOMPARE(form.Current(), QStringLiteral("apricot"));
    QTest::keyClick(form.Edit, Qt::Key_Backspace);
    QTest::keyClick(form.Edit, Qt::Key_3);
    QCOMPARE(form.Current(), QStringLiteral("Banana"));
}

void tst_SearchEdit::destroyedDataSourceDetachesTheEdit()
{
    Form form;
    auto* source = new TDataSource;
    source->SetDataSet(&form.DataSet);
    form.Edit->SetDataSource(source);
    form.Edit->SetDataField("NAME");
    QCOMPARE(form.Edit->text(), QStringLiteral("Apple"));
    delete source;
    QCOMPARE(form.Edit->DataSource(), nullptr);
    QVERIFY(form.Edit->text().isEmpty());
    form.FocusEdit();
    QTest::keyClicks(form.Edit, "Ban");
    QCOMPARE(form.Current(), QStringLiteral("Apple"));
}

QTEST_MAIN(tst_SearchEdit)
#include "tst_searchedit.moc"
