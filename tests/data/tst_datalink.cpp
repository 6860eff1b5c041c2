#include "Exceptions.h"
#include "MemoryTable.h"
#include "TDataLink.h"
#include "TDataSource.h"
#include "TFieldDataLink.h"

#include <QTest>
#include <memory>

namespace {
// Counts every notification it gets.
class CountingLink : public TDataLink
{
public:
    int active = 0, changed = 0, scrolled = 0, editing = 0, layout = 0, record = 0;
    int lastDistance = 0;

protected:
    void ActiveChanged() override { ++active; }
    void DataSetChanged() override { ++changed; }
    void DataSetScrolled(int distance) override
    {
        ++scrolled;
        lastDistance = distance;
        TDataLink::DataSetScrolled(distance);
    }
    void EditingChanged() override { ++editing; }
    void LayoutChanged() override
    {
        ++layout;
        TDataLink::LayoutChanged();
    }
    void RecordChanged(TField*) override { ++record; }
};

QList<QVariantList> Rows(int count)
{
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i)
        rows.append({QStringLiteral("r%1").arg(i), i, 0.0});
    return rows;
}
} // namespace

class tst_DataLink : public QObject
{
    Q_OBJECT

private slots:
    void openingRaisesOneActiveChange();
    void scrollingOneRowRaisesOneDataSetChange();
    void fieldValueChangeDoesNotReachDataSetChanged();
    void reachingAnEndWithoutMovingIsAnnounced();
    void editingFollowsTheStateUnlessReadOnly();
    void switchingDataSetsIsSeenAsInactiveThenActive();
    void disabledControlsHearOnceAtTheEnd();
    void recordWindowScrollsTheLeast();
    void activeRecordReadsAnotherRowWithoutMoving();
    void reReadKeepsTheCurrentRowOnItsLine();
    void destroyingTheDataSourceDetachesLinks();
    void destroyingTheDataSetDeactivatesLinks();
    void fieldDataLinkResolvesAndFollowsItsField();
    void fieldDataLinkNamesItsControlWhenTheFieldIsMissing();
};

void tst_DataLink::openingRaisesOneActiveChange()
{
    TClientDataSet ds;
    ds.FieldDefs().Add("NAME", TFieldType::ftString, 10);
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&source);
    QVERIFY(!link.Active());
    QCOMPARE(link.active, 0);
    ds.CreateDataSet();
    QVERIFY(link.Active());
    QCOMPARE(link.active, 1);
    QCOMPARE(link.changed, 0);
    ds.Close();
    QVERIFY(!link.Active());
    QCOMPARE(link.active, 2);
}

void tst_DataLink::scrollingOneRowRaisesOneDataSetChange()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(5));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&source);
    QCOMPARE(link.active, 1);
    ds.Next();
    QCOMPARE(link.changed, 1);
    QCOMPARE(link.scrolled, 1);
    ds.Last();
    QCOMPARE(link.changed, 2);
    ds.Next(); // already at the end: nothing moves
    QCOMPARE(link.changed, 2);
}

void tst_DataLink::reachingAnEndWithoutMovingIsAnnounced()
{
    // Navigation buttons disable themselves from Eof/Bof: they must hear it.
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(2));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&source);
    ds.Next();
    QVERIFY(!ds.Eof());
    const int changed = link.changed;
    ds.Next();
    QVERIFY(ds.Eof());
    QCOMPARE(link.changed, changed + 1);
    ds.Next();
    QCOMPARE(link.changed, changed + 1);
}

void tst_DataLink::fieldValueChangeDoesNotReachDataSetChanged()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(2));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&source);
    ds.Edit();
    const int changedAfterEdit = link.changed;
    ds.FieldByName("NAME")->SetAsString("x");
    QCOMPARE(link.changed, changedAfterEdit);
    QVERIFY(link.record >= 1);
}

void tst_DataLink::editingFollowsTheStateUnlessReadOnly()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(2));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link, readOnly;
    link.SetDataSource(&source);
    readOnly.SetReadOnly(true);
    readOnly.SetDataSource(&source);
    ds.Edit();
    QVERIFY(link.Editing());
    QVERIFY(!readOnly.Editing());
    QCOMPARE(link.editing, 1);
    ds.Cancel();
    QVERIFY(!link.Editing());
    QCOMPARE(link.editing, 2);
    QCOMPARE(readOnly.editing, 0);
}

void tst_DataLink::switchingDataSetsIsSeenAsInactiveThenActive()
{
    TClientDataSet a, b;
    MakeMemoryTable(a, Rows(2));
    MakeMemoryTable(b, Rows(3));
    TDataSource source;
    source.SetDataSet(&a);
    CountingLink link;
    link.SetDataSource(&source);
    source.SetDataSet(&b);
    QCOMPARE(link.active, 3);
    QVERIFY(link.Active());
    QCOMPARE(link.DataSet(), &b);
    source.SetEnabled(false);
    QVERIFY(!link.Active());

    // Moving the link itself to another active source looks the same.
    TDataSource other;
    other.SetDataSet(&a);
    source.SetEnabled(true);
    const int before = link.active;
    link.SetDataSource(&other);
    QCOMPARE(link.active, before + 2);
    QCOMPARE(link.DataSet(), &a);
}

void tst_DataLink::disabledControlsHearOnceAtTheEnd()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(10));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(&source);
    ds.DisableControls();
    ds.Next();
    ds.Next();
    ds.Last();
    QCOMPARE(link.changed, 0);
    ds.EnableControls();
    QCOMPARE(link.changed, 1);
    QCOMPARE(link.layout, 0);

    // A close and reopen in between asks for a new layout instead.
    ds.DisableControls();
    ds.Close();
    ds.Open();
    QCOMPARE(link.active, 1);
    ds.EnableControls();
    QCOMPARE(link.layout, 1);
}

void tst_DataLink::recordWindowScrollsTheLeast()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(10));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(&source);
    QCOMPARE(link.RecordCount(), 3);
    ds.Next();
    ds.Next();
    QCOMPARE(link.FirstRecord(), 0);
    QCOMPARE(link.ActiveRecord(), 2);
    ds.Next();
    QCOMPARE(link.FirstRecord(), 1);
    QCOMPARE(link.lastDistance, 1);
    QCOMPARE(link.ActiveRecord(), 2);
    ds.MoveBy(-2);
    QCOMPARE(link.FirstRecord(), 1);
    QCOMPARE(link.ActiveRecord(), 0);
    ds.Last();
    QCOMPARE(link.FirstRecord(), 7);
    QCOMPARE(link.lastDistance, 6);
    ds.First();
    QCOMPARE(link.FirstRecord(), 0);
    QCOMPARE(link.lastDistance, -7);
    // Rows going away at the end pull the window back.
    ds.Last();
    ds.Delete();
    ds.Delete();
    QCOMPARE(link.FirstRecord(), 5);
    QCOMPARE(link.RecordCount(), 3);
}

void tst_DataLink::activeRecordReadsAnotherRowWithoutMoving()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(10));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    ds.MoveBy(5); // window 2..5, current on line 3
    const int changed = link.changed;
    link.SetActiveRecord(1);
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("r3"));
    QCOMPARE(ds.RecNo(), 6);
    QCOMPARE(link.changed, changed);
    link.SetActiveRecord(3);
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("r5"));
    ds.Next();
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("r6"));
}

void tst_DataLink::reReadKeepsTheCurrentRowOnItsLine()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(10));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink link;
    link.SetBufferCount(4);
    link.SetDataSource(&source);
    ds.MoveBy(6); // window 3..6
    ds.MoveBy(-2);
    QCOMPARE(link.ActiveRecord(), 1);
    ds.Resync();
    QCOMPARE(link.FirstRecord(), 3);
    QCOMPARE(link.ActiveRecord(), 1);
    ds.Delete(); // the next row takes the line
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("r5"));
    QCOMPARE(link.ActiveRecord(), 1);
    // Without enough rows above, the row goes as high as it can.
    ds.SetIndexFieldNames("QTY");
    ds.First();
    ds.Next();
    QCOMPARE(link.ActiveRecord(), 1);
}

void tst_DataLink::destroyingTheDataSourceDetachesLinks()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(2));
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(&ds);
    CountingLink link;
    link.SetDataSource(source.get());
    source.reset();
    QCOMPARE(link.DataSource(), nullptr);
    QVERIFY(!link.Active());
    QCOMPARE(link.active, 2);
    ds.Next(); // the dataset no longer knows the source
}

void tst_DataLink::destroyingTheDataSetDeactivatesLinks()
{
    auto ds = std::make_unique<TClientDataSet>();
    MakeMemoryTable(*ds, Rows(2));
    TDataSource source;
    source.SetDataSet(ds.get());
    CountingLink link;
    link.SetDataSource(&source);
    ds.reset();
    QCOMPARE(source.DataSet(), nullptr);
    QVERIFY(!link.Active());
}

void tst_DataLink::fieldDataLinkResolvesAndFollowsItsField()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(3));
    TDataSource source;
    source.SetDataSet(&ds);
    TFieldDataLink link;
    int changes = 0;
    link.OnDataChange = [&] { ++changes; };
    link.SetDataSource(&source);
    QCOMPARE(link.Field(), nullptr);
    link.SetFieldName("QTY");
    QCOMPARE(link.Field(), ds.FieldByName("QTY"));
    QVERIFY(link.CanModify());
    QCOMPARE(changes, 1);
    ds.Next();
    QCOMPARE(changes, 2);
    ds.Edit();
    const int beforeValue = changes;
    ds.FieldByName("NAME")->SetAsString("other field");
    QCOMPARE(changes, beforeValue);
    ds.FieldByName("QTY")->SetAsInteger(9);
    QCOMPARE(changes, beforeValue + 1);
    ds.Cancel();
    ds.Close();
    QCOMPARE(link.Field(), nullptr);
}

void tst_DataLink::fieldDataLinkNamesItsControlWhenTheFieldIsMissing()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(1));
    TDataSource source;
    source.SetDataSet(&ds);
    QObject control;
    control.setObjectName("SearchEdit1");
    TFieldDataLink link;
    link.SetControl(&control);
    link.SetDataSource(&source);
    try {
        link.SetFieldName("NOPE");
        QFAIL("a missing field must fail");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SearchEdit1: Field 'NOPE' not found"));
    }
    QCOMPARE(link.Field(), nullptr);
}

QTEST_GUILESS_MAIN(tst_DataLink)
#include "tst_datalink.moc"
