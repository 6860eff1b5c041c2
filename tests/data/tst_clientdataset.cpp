#include "Exceptions.h"
#include "MemoryTable.h"

#include <QTest>

class tst_ClientDataSet : public QObject
{
    Q_OBJECT

private slots:
    void closedDataSetFailsWithItsName();
    void cursorOnEmptyAndFilledTables_data();
    void cursorOnEmptyAndFilledTables();
    void moveByStopsAtTheEnds();
    void jumpingToARowClearsBofAndEof();
    void movingOffAModifiedRowPostsIt();
    void movingOffAnUnmodifiedRowCancelsTheEdit();
    void editOnEmptyDataSetInserts();
    void editWhileEditingKeepsTheEdit();
    void cancelRestoresValuesAndDropsInsertedRows();
    void requiredFieldMustHaveAValue();
    void deleteKeepsTheCursorOnTheNextRow();
    void fieldByNameNamesTheDataSet();
    void bookmarksReturnToTheSameRow();
    void bookmarksOfAnotherDataSetOrOpeningNameNoRow();
    void indexFieldNamesOrderAscendingNullsFirst();
    void indexIsKeptAcrossOpens();
    void postedRowMovesToItsPlaceInTheIndex();
    void textSortsInBig5Order();
    void locate_data();
    void locate();
    void locateWithNumberKeys();
    void locateWithEmptyKeyFieldsMatchesNothing();
};

void tst_ClientDataSet::closedDataSetFailsWithItsName()
{
    TClientDataSet ds;
    ds.setObjectName(QStringLiteral("CDS_PRODUCT"));
    try {
        ds.First();
        QFAIL("First on a closed dataset must fail");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(),
                 QStringLiteral("CDS_PRODUCT: Cannot perform this operation on a closed dataset"));
    }
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.Edit());
}

void tst_ClientDataSet::cursorOnEmptyAndFilledTables_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("empty") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void tst_ClientDataSet::cursorOnEmptyAndFilledTables()
{
    QFETCH(int, rows);
    QList<QVariantList> data;
    for (int i = 0; i < rows; ++i)
        data.append({QStringLiteral("p%1").arg(i), i, i * 1.5});
    TClientDataSet ds;
    MakeMemoryTable(ds, data);

    QCOMPARE(ds.RecordCount(), rows);
    QVERIFY(ds.Bof());
    QCOMPARE(ds.Eof(), rows == 0);
    QCOMPARE(ds.RecNo(), rows == 0 ? 0 : 1);

    int visited = 0;
    for (ds.First(); !ds.Eof(); ds.Next())
        ++visited;
    QCOMPARE(visited, rows);
    QCOMPARE(ds.RecNo(), rows);

    ds.Last();
    QVERIFY(ds.Eof());
    QCOMPARE(ds.Bof(), rows == 0);
    int back = 0;
    for (ds.Last(); !ds.Bof(); ds.Prior())
        ++back;
    QCOMPARE(back, rows);
}

void tst_ClientDataSet::moveByStopsAtTheEnds()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}, {"c", 3, 3.0}, {"d", 4, 4.0}});
    QCOMPARE(ds.MoveBy(2), 2);
    QCOMPARE(ds.RecNo(), 3);
    QCOMPARE(ds.MoveBy(5), 1);
    QVERIFY(ds.Eof());
    QCOMPARE(ds.MoveBy(-10), -3);
    QVERIFY(ds.Bof());
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("a"));
}

void tst_ClientDataSet::jumpingToARowClearsBofAndEof()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}, {"c", 3, 3.0}});
    ds.Last();
    QVERIFY(ds.Eof());
    ds.SetRecNo(2);
    QVERIFY(!ds.Eof() && !ds.Bof());
    ds.First();
    QVERIFY(ds.Bof());
    const TBookmark b = ds.GetBookmark();
    ds.Last();
    ds.GotoBookmark(b);
    QVERIFY(!ds.Eof() && !ds.Bof());
}

void tst_ClientDataSet::movingOffAModifiedRowPostsIt()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    ds.Edit();
    ds.FieldByName("QTY")->SetAsString("42");
    QVERIFY(ds.Modified());
    ds.Next();
    QCOMPARE(ds.State(), TDataSetState::dsBrowse);
    ds.First();
    QCOMPARE(ds.FieldByName("QTY")->AsInteger(), 42);
}

void tst_ClientDataSet::movingOffAnUnmodifiedRowCancelsTheEdit()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    int posts = 0;
    ds.AfterPost = [&](TDataSet*) { ++posts; };
    ds.Edit();
    ds.Next();
    QCOMPARE(ds.State(), TDataSetState::dsBrowse);
    QCOMPARE(ds.RecNo(), 2);
    QCOMPARE(posts, 0);
    ds.Edit();
    ds.FieldByName("NAME")->SetAsString("c");
    ds.Prior();
    QCOMPARE(posts, 1);
}

void tst_ClientDataSet::editOnEmptyDataSetInserts()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {});
    ds.Edit();
    QCOMPARE(ds.State(), TDataSetState::dsInsert);
    ds.FieldByName("NAME")->SetAsString("new");
    ds.Post();
    QCOMPARE(ds.RecordCount(), 1);
}

void tst_ClientDataSet::editWhileEditingKeepsTheEdit()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}});
    ds.Edit();
    ds.FieldByName("NAME")->SetAsString("x");
    ds.Edit();
    QCOMPARE(ds.State(), TDataSetState::dsEdit);
    QVERIFY(ds.Modified());
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("x"));
}

void tst_ClientDataSet::cancelRestoresValuesAndDropsInsertedRows()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    ds.Edit();
    ds.FieldByName("NAME")->SetAsString("changed");
    ds.FieldByName("QTY")->Clear();
    ds.Cancel();
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("a"));
    QCOMPARE(ds.FieldByName("QTY")->AsInteger(), 1);

    ds.Insert();
    QCOMPARE(ds.RecordCount(), 3);
    ds.Cancel();
    QCOMPARE(ds.RecordCount(), 2);
    QCOMPARE(Column(ds, "NAME"), QStringList({"a", "b"}));
}

void tst_ClientDataSet::requiredFieldMustHaveAValue()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}}, true);
    ds.Edit();
    ds.FieldByName("NAME")->Clear();
    try {
        ds.Post();
        QFAIL("posting without a required value must fail");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Field 'NAME' must have a value"));
    }
    QCOMPARE(ds.State(), TDataSetState::dsEdit);
}

void tst_ClientDataSet::deleteKeepsTheCursorOnTheNextRow()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}, {"c", 3, 3.0}});
    ds.Next();
    ds.Delete();
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("c"));
    ds.Delete();
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("a"));
    ds.Delete();
    QVERIFY(ds.Eof() && ds.Bof());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.Delete());
}

void tst_ClientDataSet::fieldByNameNamesTheDataSet()
{
    TClientDataSet ds;
    ds.setObjectName(QStringLiteral("CDS_PRODUCT"));
    MakeMemoryTable(ds, {});
    QCOMPARE(ds.FieldByName("name")->FieldName(), QStringLiteral("NAME"));
    try {
        ds.FieldByName(QString());
        QFAIL("an empty name must fail");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("CDS_PRODUCT: Field '' not found"));
    }
}

void tst_ClientDataSet::bookmarksReturnToTheSameRow()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"c", 1, 1.0}, {"a", 2, 2.0}, {"b", 3, 3.0}});
    ds.Next();
    TBookmark a = ds.GetBookmark();
    ds.Next();
    const TBookmark b = ds.GetBookmark();
    QCOMPARE(ds.CompareBookmarks(a, a), 0);
    QCOMPARE(ds.CompareBookmarks(a, b), -1);

    // A reorder does not change which row a bookmark names.
    ds.SetIndexFieldNames("NAME");
    ds.Last();
    ds.GotoBookmark(a);
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("a"));
    QCOMPARE(ds.CompareBookmarks(a, b), -1);
    QCOMPARE(ds.CompareBookmarks(b, a), 1);

    ds.Delete();
    QVERIFY(!ds.BookmarkValid(a));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.GotoBookmark(a));
    ds.FreeBookmark(a);
    QVERIFY(a.IsNull());
}

void tst_ClientDataSet::bookmarksOfAnotherDataSetOrOpeningNameNoRow()
{
    TClientDataSet one;
    TClientDataSet two;
    MakeMemoryTable(one, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    MakeMemoryTable(two, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    const TBookmark fromOne = one.GetBookmark();
    QVERIFY(!two.BookmarkValid(fromOne));
    QVERIFY(two.CompareBookmarks(fromOne, two.GetBookmark()) != 0);

    // Same rows, same ids, but a later opening.
    MakeMemoryTable(one, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    QVERIFY(!one.BookmarkValid(fromOne));
    QVERIFY(one.CompareBookmarks(fromOne, one.GetBookmark()) != 0);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, one.GotoBookmark(fromOne));
}

void tst_ClientDataSet::indexFieldNamesOrderAscendingNullsFirst()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"b", 2, 2.0}, {"a", QVariant(), 1.0}, {"c", 2, 3.0}, {QVariant(), 1, 0.5}});
    ds.Last();
    ds.SetIndexFieldNames("NAME");
    QCOMPARE(Column(ds, "NAME"), QStringList({"", "a", "b", "c"}));
    // The current row stays current.
    QCOMPARE(ds.FieldByName("PRICE")->AsFloat(), 0.5);
    ds.SetIndexFieldNames("QTY");
    // Nulls first, ties keep their fetch order.
    QCOMPARE(Column(ds, "NAME"), QStringList({"a", "", "b", "c"}));
    ds.SetIndexFieldNames(QString());
    QCOMPARE(Column(ds, "NAME"), QStringList({"b", "a", "c", ""}));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.SetIndexFieldNames("NOPE"));
    QCOMPARE(Column(ds, "NAME"), QStringList({"b", "a", "c", ""}));
}

void tst_ClientDataSet::indexIsKeptAcrossOpens()
{
    TClientDataSet ds;
    ds.SetIndexFieldNames("QTY");
    MakeMemoryTable(ds, {{"x", 3, 0.0}, {"y", 1, 0.0}, {"z", 2, 0.0}});
    QCOMPARE(Column(ds, "NAME"), QStringList({"y", "z", "x"}));
    ds.Close();
    MakeMemoryTable(ds, {{"p", 9, 0.0}, {"q", 8, 0.0}});
    QCOMPARE(ds.IndexFieldNames(), QStringLiteral("QTY"));
    QCOMPARE(Column(ds, "NAME"), QStringList({"q", "p"}));
}

void tst_ClientDataSet::postedRowMovesToItsPlaceInTheIndex()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 0.0}, {"b", 2, 0.0}, {"c", 3, 0.0}});
    ds.SetIndexFieldNames("QTY");
    ds.First();
    ds.Edit();
    ds.FieldByName("QTY")->SetAsInteger(5);
    ds.Post();
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("a"));
    QCOMPARE(ds.RecNo(), 3);
    QCOMPARE(Column(ds, "NAME"), QStringList({"b", "c", "a"}));
}

// Readers of Big5 expect its order, stroke order for common characters, not
// code point order; text outside Big5 follows it, in code point order.
void tst_ClientDataSet::textSortsInBig5Order()
{
    TClientDataSet ds;
    const QStringList names{"義美", "乌龙",  "新東陽", "😀",      "apple", "統一", "A😀",
                            "中",   "Zebra", "光泉",   "\u3000", "",      "統一"};
    QList<QVariantList> rows;
    for (int i = 0; i < names.size(); ++i)
        rows.append({names[i], i, 0.0});
    MakeMemoryTable(ds, rows);
    ds.SetIndexFieldNames("NAME");
    QCOMPARE(Column(ds, "NAME"), QStringList({"", "Zebra", "apple", "\u3000", "中", "光泉", "統一",
                                              "統一", "新東陽", "義美", "A😀", "乌龙", "😀"}));
    // Ties keep their fetch order.
    QCOMPARE(Column(ds, "QTY").mid(6, 2), QStringList({"5", "12"}));
    // A posted row takes its place by the same order.
    QVERIFY(ds.Locate("NAME", "中", {}));
    ds.Edit();
    ds.FieldByName("NAME")->SetAsString("義");
    ds.Post();
    QCOMPARE(ds.RecNo(), 9);
    QCOMPARE(Column(ds, "NAME"), QStringList({"", "Zebra", "apple", "\u3000", "光泉", "統一",
                                              "統一", "新東陽", "義", "義美", "A😀", "乌龙", "😀"}));
}

void tst_ClientDataSet::locate_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("caseInsensitive");
    QTest::addColumn<bool>("partial");
    QTest::addColumn<QString>("found"); // empty: not found

    QTest::newRow("exact") << "Apple" << false << false << "Apple";
    QTest::newRow("exact wrong case") << "apple" << false << false << "";
    QTest::newRow("case-insensitive") << "apple" << true << false << "Apple";
    QTest::newRow("prefix needs partial") << "App" << false << false << "";
    QTest::newRow("partial") << "apr" << true << true << "apricot";
    QTest::newRow("partial first in order") << "a" << true << true << "Apple";
    QTest::newRow("partial case-sensitive") << "a" << false << true << "apricot";
    QTest::newRow("no match") << "apx" << true << true << "";
    QTest::newRow("chinese prefix") << "蘋" << true << true << "蘋果汁";
    QTest::newRow("accented letters fold") << "élan" << true << false << "Élan";
    QTest::newRow("empty partial finds first") << "" << true << true << "Apple";
}

void tst_ClientDataSet::locate()
{
    QFETCH(QString, key);
    QFETCH(bool, caseInsensitive);
    QFETCH(bool, partial);
    QFETCH(QString, found);
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"Apple", 1, 0.0}, {"apricot", 2, 0.0}, {"Banana", 3, 0.0},
                         {"蘋果汁", 4, 0.0}, {"Élan", 5, 0.0}});
    ds.Last();
    TLocateOptions options;
    if (caseInsensitive)
        options.Include(TLocateOption::loCaseInsensitive);
    if (partial)
        options.Include(TLocateOption::loPartialKey);
    const bool result = ds.Locate("NAME", key, options);
    QCOMPARE(result, !found.isEmpty());
    QCOMPARE(ds.FieldByName("NAME")->AsString(), found.isEmpty() ? QStringLiteral("Élan") : found);
}

void tst_ClientDataSet::locateWithNumberKeys()
{
    TClientDataSet ds;
    ds.setObjectName("CDS");
    MakeMemoryTable(ds, {{"a", 10, 1.25}, {"b", 20, 2.5}});
    QVERIFY(ds.Locate("QTY", "20", {}));
    QCOMPARE(ds.RecNo(), 2);
    QVERIFY(ds.Locate("PRICE", 1.25, {}));
    QCOMPARE(ds.RecNo(), 1);
    QVERIFY(ds.Locate("NAME;QTY", QVariantList{"b", 20}, {}));
    QCOMPARE(ds.RecNo(), 2);
    try {
        ds.Locate("QTY", "abc", {TLocateOption::loPartialKey});
        QFAIL("letters for a number field must fail");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Invalid value for field 'QTY'"));
    }
    QCOMPARE(ds.RecNo(), 2);
}

void tst_ClientDataSet::locateWithEmptyKeyFieldsMatchesNothing()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 1.0}, {"b", 2, 2.0}});
    ds.Last();
    QVERIFY(!ds.Locate(QString(), "a", {TLocateOption::loPartialKey}));
    QCOMPARE(ds.RecNo(), 2);
}

QTEST_GUILESS_MAIN(tst_ClientDataSet)
#include "tst_clientdataset.moc"
