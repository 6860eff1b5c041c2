#include "../data/MemoryTable.h"
#include "DRefresh.h"
#include "EngineDataSet.h"
#include "Exceptions.h"
#include "TDataSource.h"

#include <QTest>

namespace
{
// A grid's record window: it counts how often the grid would repaint.
class Grid : public TDataLink
{
public:
    int Repaints = 0;

protected:
    void DataSetChanged() override { ++Repaints; }
};

// An engine dataset of 20 rows shown in a grid of six lines. A grid keeps
// its window full, so rows near the end would not stay on their line.
template <typename DataSet> struct Shown {
    std::shared_ptr<SharedTable> Table = SharedTable::Make(20);
    DataSet Engine{Table};
    TDataSource Source;
    Grid View;

    Shown()
    {
        Source.SetDataSet(&Engine);
        View.SetBufferCount(6);
        View.SetDataSource(&Source);
        Engine.Grid = &View;
        Engine.Open();
    }
    // Puts the row with the key on the given line of the grid: down past it
    // until it stands on that line, then back up to it.
    void Show(int key, int line)
    {
        const int below = View.BufferCount() - 1 - line;
        Engine.First();
        Engine.MoveBy(key - 1 + below);
        Engine.MoveBy(-below);
        QCOMPARE(Engine.Key(), key);
        QCOMPARE(View.ActiveRecord(), line);
        View.Repaints = 0;
    }
    QString Where() { return QStringLiteral("p%1@%2").arg(Engine.Key()).arg(View.ActiveRecord()); }
};
} // namespace

class tst_DRefresh : public QObject
{
    Q_OBJECT

private slots:
    void noDataSetReturnsFalse();
    void clientDataSetGetsItsOwnRefresh();
    void closedClientDataSetFailsAsItsRefreshDoes();
    void engineDataSetNotBrowsingIsLeftAlone();
    void tableRereadsItsCursorInPlace();
    void tableThatCannotRereadIsReopened();
    void queryIsReopenedOnTheSameRowAndLine();
    void otherUsersDeletions_data();
    void otherUsersDeletions();
    void uniDirectionalQueryNeverMovesBack_data();
    void uniDirectionalQueryNeverMovesBack();
    void failingOpenPropagatesWithControlsEnabled();
};

void tst_DRefresh::noDataSetReturnsFalse()
{
    QVERIFY(!RefreshDataSet(nullptr));
}

void tst_DRefresh::clientDataSetGetsItsOwnRefresh()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, {{"a", 1, 0.0}, {"b", 2, 0.0}});
    ds.Next();
    ds.Edit();
    ds.FieldByName("NAME")->SetAsString("x");
    // Its own Refresh posts the pending change first.
    QVERIFY(!RefreshDataSet(&ds));
    QCOMPARE(ds.State(), TDataSetState::dsBrowse);
    QCOMPARE(Column(ds, "NAME"), (QStringList{"a", "x"}));
    QCOMPARE(ds.RecNo(), 2);
}

void tst_DRefresh::closedClientDataSetFailsAsItsRefreshDoes()
{
    TClientDataSet ds;
    ds.setObjectName("CDS_Query");
    try {
        RefreshDataSet(&ds);
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(),
                 QStringLiteral("CDS_Query: Cannot perform this operation on a closed dataset"));
    }
}

void tst_DRefresh::engineDataSetNotBrowsingIsLeftAlone()
{
    Shown<EngineTable> shown;
    shown.Engine.CanReread = true;
    shown.Engine.Next();
    shown.Engine.Edit();
    QVERIFY(!RefreshDataSet(&shown.Engine));
    QCOMPARE(shown.Engine.State(), TDataSetState::dsEdit);
    QCOMPARE(shown.Engine.Preliminaries, 0);
    QCOMPARE(shown.Engine.Rereads, 0);
    QCOMPARE(shown.Engine.Opens, 1);
}

void tst_DRefresh::tableRereadsItsCursorInPlace()
{
    Shown<EngineTable> shown;
    shown.Engine.CanReread = true;
    shown.Show(8, 3);
    shown.Table->Delete({2, 20});
    QVERIFY(RefreshDataSet(&shown.Engine));
    QCOMPARE(shown.Where(), QStringLiteral("p8@3"));
    QCOMPARE(shown.Engine.RecordCount(), 18);
    QCOMPARE(shown.Engine.Opens, 1);
    QCOMPARE(shown.Engine.Rereads, 1);
    QCOMPARE(shown.Engine.Preliminaries, 1);
    QVERIFY(!shown.Engine.PreliminaryWithControlsDisabled);
    QCOMPARE(shown.Engine.CursorUpdates, 1);
    QVERIFY(shown.Engine.CursorUpdatedWithControlsDisabled);
    QVERIFY(!shown.Engine.ControlsDisabled());
    QCOMPARE(shown.View.Repaints, 1);
}

void tst_DRefresh::tableThatCannotRereadIsReopened()
{
    Shown<EngineTable> shown;
    shown.Show(8, 3);
    QVERIFY(RefreshDataSet(&shown.Engine));
    QCOMPARE(shown.Where(), QStringLiteral("p8@3"));
    QCOMPARE(shown.Engine.Rereads, 1);
    QCOMPARE(shown.Engine.Opens, 2);
    QCOMPARE(shown.Engine.Positionings, QList<int>{8});
}

void tst_DRefresh::queryIsReopenedOnTheSameRowAndLine()
{
    Shown<EngineQuery> shown;
    shown.Engine.CanReread = true; // a query is reopened all the same
    shown.Show(8, 3);
    QVERIFY(RefreshDataSet(&shown.Engine));
    QCOMPARE(shown.Where(), QStringLiteral("p8@3"));
    QCOMPARE(shown.Engine.Rereads, 0);
    QCOMPARE(shown.Engine.Opens, 2);
    QVERIFY(!shown.Engine.ControlsDisabled());
    // The grid repaints once, at the end, not at every step.
    QCOMPARE(shown.View.Repaints, 1);
}

void tst_DRefresh::otherUsersDeletions_data()
{
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QList<int>>("positionings");
    QTest::newRow("nothing") << QList<int>{} << "p8@3" << QList<int>{8};
    QTest::newRow("the row: the one after its previous row")
        << QList<int>{8} << "p9@3" << QList<int>{8, 7};
    QTest::newRow("rows above: fewer lines above it")
        << QList<int>{1, 2, 3, 4, 5, 6} << "p8@1" << QList<int>{8};
    QTest::newRow("all rows above") << QList<int>{1, 2, 3, 4, 5, 6, 7} << "p8@0" << QList<int>{8};
    QTest::newRow("the row and its previous one: the one before its next row")
        << QList<int>{7, 8} << "p6@3" << QList<int>{8, 7, 9};
    QTest::newRow("all three: the first row")
        << QList<int>{7, 8, 9} << "p1@0" << QList<int>{8, 7, 9};
}

void tst_DRefresh::otherUsersDeletions()
{
    QFETCH(QList<int>, deleted);
    QFETCH(QString, where);
    QFETCH(QList<int>, positionings);
    Shown<EngineQuery> shown;
    shown.Show(8, 3);
    for (int key : deleted)
        shown.Table->Delete({key});
    QVERIFY(RefreshDataSet(&shown.Engine));
    QCOMPARE(shown.Where(), where);
    QCOMPARE(shown.Engine.Positionings, positionings);
    QCOMPARE(shown.Engine.State(), TDataSetState::dsBrowse);
}

void tst_DRefresh::uniDirectionalQueryNeverMovesBack_data()
{
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QList<int>>("positionings");
    QTest::newRow("row still there: on the top line") << QList<int>{} << "p8@0" << QList<int>{8};
    QTest::newRow("row gone: its next row, no step back")
        << QList<int>{8} << "p9@0" << QList<int>{8, 9};
}

void tst_DRefresh::uniDirectionalQueryNeverMovesBack()
{
    QFETCH(QList<int>, deleted);
    QFETCH(QString, where);
    QFETCH(QList<int>, positionings);
    Shown<EngineQuery> shown;
    shown.Show(8, 3);
    shown.Engine.SetUniDirectional(true);
    QVERIFY(IsUniDirectionalQuery(&shown.Engine));
    for (int key : deleted)
        shown.Table->Delete({key});
    QList<int> rows; // the row after every move
    shown.Engine.AfterScroll = [&](TDataSet*) { rows << shown.Engine.Key(); };
    QVERIFY(RefreshDataSet(&shown.Engine));
    QCOMPARE(shown.Where(), where);
    QCOMPARE(shown.Engine.Positionings, positionings);
    for (int i = 1; i < rows.size(); ++i)
        QVERIFY2(rows[i] > rows[i - 1], qPrintable(QString::number(rows[i])));
}

void tst_DRefresh::failingOpenPropagatesWithControlsEnabled()
{
    Shown<EngineQuery> shown;
    shown.Show(8, 3);
    shown.Engine.FailOpen = true;
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, RefreshDataSet(&shown.Engine));
    QVERIFY(!shown.Engine.Active());
    QVERIFY(!shown.Engine.ControlsDisabled());
    QVERIFY(!shown.View.Active()); // the grid has heard of the close
    shown.Engine.FailOpen = false;
    QVERIFY(!RefreshDataSet(&shown.Engine)); // closed: not browsing, left alone
    QCOMPARE(shown.Engine.Opens, 2);
}

QTEST_MAIN(tst_DRefresh)
#include "tst_drefresh.moc"
