#include "Exceptions.h"
#include "SelectGridFixture.h"
#include "TRecordingMessages.h"

#include <QTest>
#include <memory>

namespace
{
// A shown dialog-like grid over a product table of the given size.
struct Fixture {
    TClientDataSet ds;
    TDataSource source;
    TestSelectGrid grid;

    explicit Fixture(int rows)
    {
        MakeProducts(ds, rows);
        source.SetDataSet(&ds);
        grid.setFont(TestFont());
        grid.SetDataSource(&source);
    }
    bool Show() { return ShowAt(grid, 500, 300); }
    void Click(int windowRow, Qt::KeyboardModifiers modifiers = {},
               Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(grid.viewport(), button, modifiers, grid.RowPoint(windowRow));
    }
    void SelectAll()
    {
        for (ds.First(); !ds.Eof(); ds.Next())
            grid.AddCurrentRowToSelection();
    }
};
} // namespace

class tst_SelectGridSelection : public QObject
{
    Q_OBJECT

private slots:
    void ctrlClickSelectsAndSecondCtrlClickUnselects();
    void shiftClickTogglesOnlyTheClickedRow();
    void plainClickMovesAndKeepsTheSelection();
    void anyButtonSelectsWithCtrl();
    void listOrderIsTheOrderOfAdding();
    void spaceToggles_data();
    void spaceToggles();
    void keyDownHandlerCancelsSpace();
    void navigationLeavesTheSelection();
    void ctrlDoubleClickLeavesTheRowSelected();
    void pressBelowTheLastRowChangesNothing();
    void selectAllTwiceGivesEachRowOnce();
    void selectAllFollowsTheSortOrder();
    void toggleTwiceWithoutAPaintSelectsAgain();
    void removeAndFind();
    void clearingAnEmptyListRepaintsAndStaysEmpty();
    void addingWhileClosedFailsAndLeavesTheList();
    void emptyDataSetAddsNothing();
    void rowBeingEditedDoesNotCountAsSelected();
    void flagsFollowTheRecordWindow();
    void entriesNeverNameRowsOfAnotherDataSet();
    void entriesNeverNameRowsOfALaterOpening_data();
    void entriesNeverNameRowsOfALaterOpening();
    void deletedRowsLeaveTheList();
    void disablingTheDataSourceKeepsTheList();
};

void tst_SelectGridSelection::ctrlClickSelectsAndSecondCtrlClickUnselects()
{
    Fixture f(30);
    QVERIFY(f.Show());
    f.Click(4, Qt::ControlModifier);
    QCOMPARE(f.ds.RecNo(), 5);
    QVERIFY(f.grid.IsCurrentRowSelected());
    QVERIFY(f.grid.IsWindowRowSelected(4));
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P4"}));
    f.Click(4, Qt::ControlModifier);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    QVERIFY(!f.grid.IsCurrentRowSelected());
}

void tst_SelectGridSelection::shiftClickTogglesOnlyTheClickedRow()
{
    Fixture f(30);
    QVERIFY(f.Show());
    f.Click(1, Qt::ShiftModifier);
    f.Click(5, Qt::ShiftModifier);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P1", "P5"}));
    f.ds.SetRecNo(6);
    f.Click(1, Qt::ShiftModifier);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P5"}));
}

void tst_SelectGridSelection::plainClickMovesAndKeepsTheSelection()
{
    Fixture f(30);
    QVERIFY(f.Show());
    f.Click(2, Qt::ControlModifier);
    f.Click(6);
    QCOMPARE(f.ds.RecNo(), 7);
    f.Click(2);
    QCOMPARE(f.ds.RecNo(), 3);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P2"}));
}

void tst_SelectGridSelection::anyButtonSelectsWithCtrl()
{
    Fixture f(30);
    QVERIFY(f.Show());
    f.Click(3, Qt::ControlModifier, Qt::RightButton);
    QCOMPARE(f.ds.RecNo(), 4);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P3"}));
    // The indicator column counts as part of the row (grid row 1 is window row 0).
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      f.grid.CellRect(0, 2).center());
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, Qt::ControlModifier,
                      f.grid.CellRect(0, 4).center());
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P1"}));
}

void tst_SelectGridSelection::listOrderIsTheOrderOfAdding()
{
    Fixture f(30);
    QVERIFY(f.Show());
    for (int row : {5, 2, 9})
        f.Click(row, Qt::ControlModifier);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P5", "P2", "P9"}));
}

void tst_SelectGridSelection::spaceToggles_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("alone") << Qt::KeyboardModifiers();
    QTest::newRow("with ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("with shift") << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void tst_SelectGridSelection::spaceToggles()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Fixture f(30);
    f.ds.SetRecNo(4);
    QTest::keyClick(&f.grid, Qt::Key_Space, modifiers);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P3"}));
    QTest::keyClick(&f.grid, Qt::Key_Space, modifiers);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
}

void tst_SelectGridSelection::keyDownHandlerCancelsSpace()
{
    Fixture f(30);
    f.grid.OnKeyDown = [](QObject*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Space) key = 0;
        if (key == Qt::Key_Down) throw EAbort();
    };
    QTest::keyClick(&f.grid, Qt::Key_Space);
    QTest::keyClick(&f.grid, Qt::Key_Down);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    QCOMPARE(f.ds.RecNo(), 1);
}

void tst_SelectGridSelection::navigationLeavesTheSelection()
{
    Fixture f(100);
    QVERIFY(f.Show());
    f.ds.SetRecNo(3);
    f.grid.AddCurrentRowToSelection();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Right, Qt::Key_End, Qt::Key_Up,
                        Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Home})
        QTest::keyClick(&f.grid, key);
    QTest::keyClick(&f.grid, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(f.ds.RecNo(), 100);
    QTest::keyClick(&f.grid, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(f.ds.RecNo(), 1);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P2"}));
}

void tst_SelectGridSelection::ctrlDoubleClickLeavesTheRowSelected()
{
    Fixture f(30);
    QVERIFY(f.Show());
    int doubleClicks = 0;
    f.grid.OnDblClick = [&](QObject*) { ++doubleClicks; };
    DoubleClickAsPlatform(f.grid.viewport(), f.grid.RowPoint(3), Qt::ControlModifier);
    QCOMPARE(doubleClicks, 1);
    QCOMPARE(f.ds.RecNo(), 4);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P3"}));
    // The next press, well after, toggles again.
    f.Click(3, Qt::ControlModifier);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
}

void tst_SelectGridSelection::pressBelowTheLastRowChangesNothing()
{
    Fixture f(3);
    QVERIFY(f.Show());
    QVERIFY(f.grid.VisibleRowCount() > 5);
    f.ds.SetRecNo(2);
    f.Click(5, Qt::ControlModifier);
    QCOMPARE(f.ds.RecNo(), 2);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
}

void tst_SelectGridSelection::selectAllTwiceGivesEachRowOnce()
{
    Fixture f(40);
    QVERIFY(f.Show());
    f.ds.SetRecNo(7);
    f.grid.AddCurrentRowToSelection();
    f.SelectAll();
    f.SelectAll();
    QCOMPARE(f.ds.RecNo(), 40);
    QStringList expected{"P6"};
    for (int i = 0; i < 40; ++i)
        if (i != 6) expected << QStringLiteral("P%1").arg(i);
    QCOMPARE(SelectedNames(f.grid, f.ds), expected);
}

void tst_SelectGridSelection::selectAllFollowsTheSortOrder()
{
    Fixture f(12);
    f.ds.SetIndexFieldNames(QStringLiteral("NAME"));
    f.SelectAll();
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P0", "P1", "P10", "P11", "P2", "P3", "P4",
                                                       "P5", "P6", "P7", "P8", "P9"}));
}

void tst_SelectGridSelection::toggleTwiceWithoutAPaintSelectsAgain()
{
    Fixture f(10);
    f.ds.SetRecNo(2);
    f.grid.ToggleCurrentRowSelection();
    f.grid.ToggleCurrentRowSelection();
    f.grid.ToggleCurrentRowSelection();
    QVERIFY(f.grid.IsCurrentRowSelected());
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P1"}));
}

void tst_SelectGridSelection::removeAndFind()
{
    Fixture f(10);
    for (int recNo : {2, 4, 6}) {
        f.ds.SetRecNo(recNo);
        f.grid.AddCurrentRowToSelection();
    }
    f.ds.SetRecNo(4);
    QCOMPARE(f.grid.FindCurrentRowEntry(), 1);
    f.grid.RemoveCurrentRowFromSelection();
    QCOMPARE(f.grid.FindCurrentRowEntry(), -1);
    f.grid.RemoveCurrentRowFromSelection();
    f.ds.SetRecNo(5);
    f.grid.RemoveCurrentRowFromSelection();
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P1", "P5"}));
}

void tst_SelectGridSelection::clearingAnEmptyListRepaintsAndStaysEmpty()
{
    Fixture f(30);
    QVERIFY(f.Show());
    f.grid.ClearSelection();
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    QCOMPARE(int(f.grid.RowSelectedFlags().size()), f.grid.VisibleRowCount());
    f.SelectAll();
    f.grid.ClearSelection();
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    QCOMPARE(std::count(f.grid.RowSelectedFlags().begin(), f.grid.RowSelectedFlags().end(), true),
             0);
}

void tst_SelectGridSelection::addingWhileClosedFailsAndLeavesTheList()
{
    Fixture f(5);
    f.ds.setObjectName(QStringLiteral("CDS_Query"));
    f.ds.Close();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, f.grid.AddCurrentRowToSelection());
    try {
        f.grid.ToggleCurrentRowSelection();
        QFAIL("toggling on a closed dataset went through");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(),
                 QStringLiteral("CDS_Query: Cannot perform this operation on a closed dataset"));
    }
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    // Space only acts while the grid's link is active.
    TRecordingMessages messages;
    QTest::keyClick(&f.grid, Qt::Key_Space);
    QCOMPARE(messages.Boxes.size(), 0);
}

void tst_SelectGridSelection::emptyDataSetAddsNothing()
{
    Fixture f(0);
    f.grid.AddCurrentRowToSelection();
    QTest::keyClick(&f.grid, Qt::Key_Space);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    QVERIFY(!f.grid.IsCurrentRowSelected());
}

void tst_SelectGridSelection::rowBeingEditedDoesNotCountAsSelected()
{
    Fixture f(5);
    f.grid.SetReadOnly(false);
    f.ds.SetRecNo(2);
    f.grid.AddCurrentRowToSelection();
    f.ds.Edit();
    QVERIFY(!f.grid.IsCurrentRowSelected());
    f.ds.FieldByName("NAME")->SetAsString(QStringLiteral("Q1"));
    // Adding posts the edit first, then finds the row already selected.
    f.grid.AddCurrentRowToSelection();
    QCOMPARE(f.ds.State(), TDataSetState::dsBrowse);
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"Q1"}));
}

void tst_SelectGridSelection::flagsFollowTheRecordWindow()
{
    Fixture f(100);
    QVERIFY(f.Show());
    const int rows = f.grid.VisibleRowCount();
    f.ds.SetRecNo(2);
    f.grid.AddCurrentRowToSelection();
    f.ds.SetRecNo(rows + 1); // scrolls by one: row 2 moves to the top line
    QVERIFY(f.grid.IsWindowRowSelected(0));
    QVERIFY(!f.grid.IsWindowRowSelected(1));
    QVERIFY(!f.grid.IsWindowRowSelected(rows));
    f.ds.Last();
    QCOMPARE(std::count(f.grid.RowSelectedFlags().begin(), f.grid.RowSelectedFlags().end(), true),
             0);
}

void tst_SelectGridSelection::entriesNeverNameRowsOfAnotherDataSet()
{
    Fixture f(10);
    TClientDataSet other;
    MakeProducts(other, 10);
    f.ds.SetRecNo(3);
    f.grid.AddCurrentRowToSelection();
    f.source.SetDataSet(&other);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    other.SetRecNo(3);
    QVERIFY(!f.grid.IsCurrentRowSelected());
    f.grid.AddCurrentRowToSelection();
    QVERIFY(other.BookmarkValid(f.grid.SelectionBookmarks()[0]));
    QVERIFY(!f.ds.BookmarkValid(f.grid.SelectionBookmarks()[0]));

    // Another data source whose dataset is active already.
    TDataSource third;
    third.SetDataSet(&f.ds);
    f.grid.SetDataSource(&third);
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    QVERIFY(!f.grid.IsCurrentRowSelected());
}

void tst_SelectGridSelection::entriesNeverNameRowsOfALaterOpening_data()
{
    QTest::addColumn<bool>("controlsDisabled");
    QTest::newRow("close and open") << false;
    QTest::newRow("close and open, controls disabled") << true;
}

void tst_SelectGridSelection::entriesNeverNameRowsOfALaterOpening()
{
    QFETCH(bool, controlsDisabled);
    Fixture f(10);
    f.ds.SetRecNo(3);
    f.grid.AddCurrentRowToSelection();
    const TBookmark old = f.grid.SelectionBookmarks()[0];
    // An in-memory table comes back empty from a close: fill it again.
    if (controlsDisabled) f.ds.DisableControls();
    MakeProducts(f.ds, 10);
    if (controlsDisabled) f.ds.EnableControls();
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 0);
    f.ds.SetRecNo(3);
    QVERIFY(!f.grid.IsCurrentRowSelected());
    f.grid.AddCurrentRowToSelection();
    QCOMPARE(f.grid.SelectionBookmarks().Count(), 1);
    QVERIFY(!(f.grid.SelectionBookmarks()[0] == old));
}

void tst_SelectGridSelection::deletedRowsLeaveTheList()
{
    Fixture f(6);
    f.grid.SetReadOnly(false);
    for (int recNo : {2, 3, 5}) {
        f.ds.SetRecNo(recNo);
        f.grid.AddCurrentRowToSelection();
    }
    f.ds.SetRecNo(3);
    f.ds.Delete();
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P1", "P4"}));
}

void tst_SelectGridSelection::disablingTheDataSourceKeepsTheList()
{
    Fixture f(6);
    f.ds.SetRecNo(2);
    f.grid.AddCurrentRowToSelection();
    f.source.SetEnabled(false);
    f.source.SetEnabled(true);
    QVERIFY(f.grid.IsCurrentRowSelected());
    QCOMPARE(SelectedNames(f.grid, f.ds), QStringList({"P1"}));
}

QTEST_MAIN(tst_SelectGridSelection)
#include "tst_selectgridselection.moc"
