#include "Column.h"
#include "DBGrid.h"
#include "Exceptions.h"
#include "GridFixtures.h"
#include "TRecordingMessages.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace
{
// Reaches the protected geometry and records what each data cell showed.
class RecordingGrid : public TDBGrid
{
public:
    struct Drawn {
        int Row;
        QString FieldName;
        QString Text;
        TGridDrawState State;
    };
    QList<Drawn> Cells;

    using TCustomDBGrid::DataTop;
    using TCustomDBGrid::RowPitch;

    QString TextAt(int row, const QString& fieldName) const
    {
        for (const Drawn& cell : Cells)
            if (cell.Row == row && cell.FieldName == fieldName) return cell.Text;
        return QStringLiteral("<not drawn>");
    }

protected:
    void DrawDataCell(QPainter& painter, int windowRow, TColumn* column, const QRect& rect,
                      TGridDrawState state) override
    {
        Cells.append({windowRow, column->FieldName(),
                      column->Field() ? column->Field()->DisplayText() : QString(), state});
        TDBGrid::DrawDataCell(painter, windowRow, column, rect, state);
    }
};

QStringList ColumnNames(const TDBGrid& grid)
{
    QStringList names;
    for (int i = 0; i < grid.Columns().Count(); ++i)
        names << grid.Columns()[i]->FieldName();
    return names;
}

QStringList Titles(const TDBGrid& grid)
{
    QStringList titles;
    for (int i = 0; i < grid.Columns().Count(); ++i)
        titles << grid.Columns()[i]->TitleCaption();
    return titles;
}

QPoint CellCenter(const TDBGrid& grid, int col, int row)
{
    return grid.CellRect(col, row).center();
}
} // namespace

class tst_DBGrid : public QObject
{
    Q_OBJECT

private slots:
    void defaultColumnsFollowTheVisibleFieldsInOrder();
    void cellsShowTheDisplayTextsOfTheirRows();
    void numbersAreRightAligned();
    void navigationKeys_data();
    void navigationKeys();
    void downOnTheLastRowAppendsNothing();
    void leftAndRightMoveAcrossColumnsAndScrollThem();
    void clickMovesTheCurrentRowAndColumn();
    void pressBelowTheLastRowChangesNothing();
    void wheelMovesRows();
    void verticalScrollBarFollowsRecNo();
    void keyDownEventRunsFirst_data();
    void keyDownEventRunsFirst();
    void ctrlTabLeavesTheGrid_data();
    void ctrlTabLeavesTheGrid();
    void failingHandlerShowsTheErrorBox();
    void customizedColumnsSurviveAReopen();
    void resizingAColumnStoresTheDisplayWidth();
    void draggingATitleMovesTheField();
    void titleClickRaisesOnTitleClick();
    void switchingDataSetsRebuildsTheColumns();
    void titlesGetTheirFullWidth();
    void dataSourceOrDataSetDestroyedFirst();
};

void tst_DBGrid::defaultColumnsFollowTheVisibleFieldsInOrder()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    ds.FieldByName("QTY")->SetDisplayLabel(QStringLiteral("數量"));
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    QCOMPARE(ColumnNames(grid), QStringList({"NAME", "QTY", "PRICE", "CODE"}));
    QCOMPARE(Titles(grid), QStringList({"NAME", "數量", "PRICE", "CODE"}));

    ds.FieldByName("CODE")->SetVisible(false);
    ds.FieldByName("PRICE")->SetIndex(0);
    QCOMPARE(ColumnNames(grid), QStringList({"PRICE", "NAME", "QTY"}));
    QCOMPARE(grid.Columns().State(), TDBGridColumnsState::csDefault);

    ds.Close();
    QCOMPARE(grid.Columns().Count(), 0);
}

void tst_DBGrid::cellsShowTheDisplayTextsOfTheirRows()
{
    TClientDataSet ds;
    MakeProducts(ds, 30);
    TDataSource source;
    source.SetDataSet(&ds);
    RecordingGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 500, 300));
    ds.SetRecNo(3);
    grid.Cells.clear();
    grid.grab();
    QVERIFY(grid.VisibleRowCount() >= 5);
    QCOMPARE(grid.TextAt(0, "NAME"), QStringLiteral("P0"));
    QCOMPARE(grid.TextAt(0, "CODE"), QString());
    QCOMPARE(grid.TextAt(1, "PRICE"), QStringLiteral("1.50"));
    QCOMPARE(grid.TextAt(4, "PRICE"), QStringLiteral("4.50"));
    QCOMPARE(grid.TextAt(4, "CODE"), QStringLiteral("12-34-5"));
    QCOMPARE(grid.TextAt(2, "QTY"), QStringLiteral("2"));
    // Painting reads other rows without moving the cursor.
    QCOMPARE(ds.RecNo(), 3);
    QCOMPARE(ds.FieldByName("NAME")->AsString(), QStringLiteral("P2"));
}

void tst_DBGrid::numbersAreRightAligned()
{
    TClientDataSet ds;
    MakeProducts(ds, 2);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    QCOMPARE(grid.Columns()[0]->Alignment(), TAlignment::taLeftJustify);
    QCOMPARE(grid.Columns()[1]->Alignment(), TAlignment::taRightJustify);
    QCOMPARE(grid.Columns()[2]->Alignment(), TAlignment::taRightJustify);
}

void tst_DBGrid::navigationKeys_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("upsFirst");
    QTest::addColumn<bool>("rowSelect");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    // The expected RecNo is base + visible * V, V the visible rows.
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("visible");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    QTest::newRow("down") << 1 << 0 << false << int(Qt::Key_Down) << none << 2 << 0;
    QTest::newRow("up") << 5 << 0 << false << int(Qt::Key_Up) << none << 4 << 0;
    QTest::newRow("up at the top") << 1 << 0 << false << int(Qt::Key_Up) << none << 1 << 0;
    QTest::newRow("page down") << 1 << 0 << false << int(Qt::Key_PageDown) << none << 1 << 1;
    QTest::newRow("page up") << 50 << 0 << false << int(Qt::Key_PageUp) << none << 50 << -1;
    QTest::newRow("home, row select") << 50 << 0 << true << int(Qt::Key_Home) << none << 1 << 0;
    QTest::newRow("end, row select") << 50 << 0 << true << int(Qt::Key_End) << none << 100 << 0;
    QTest::newRow("ctrl home") << 50 << 0 << false << int(Qt::Key_Home) << ctrl << 1 << 0;
    QTest::newRow("ctrl end") << 50 << 0 << false << int(Qt::Key_End) << ctrl << 100 << 0;
    // SetRecNo(50) from the top leaves row 50 on the bottom line.
    QTest::newRow("ctrl up: top line") << 50 << 0 << false << int(Qt::Key_Up) << ctrl << 51 << -1;
    QTest::newRow("ctrl page up: top line")
        << 50 << 0 << false << int(Qt::Key_PageUp) << ctrl << 51 << -1;
    QTest::newRow("ctrl down: bottom line")
        << 50 << 3 << false << int(Qt::Key_Down) << ctrl << 50 << 0;
    QTest::newRow("ctrl page down: bottom line")
        << 50 << 3 << false << int(Qt::Key_PageDown) << ctrl << 50 << 0;
    QTest::newRow("left, row select") << 5 << 0 << true << int(Qt::Key_Left) << none << 4 << 0;
    QTest::newRow("right, row select") << 5 << 0 << true << int(Qt::Key_Right) << none << 6 << 0;
    QTest::newRow("right moves no row") << 5 << 0 << false << int(Qt::Key_Right) << none << 5 << 0;
    QTest::newRow("home moves no row") << 5 << 0 << false << int(Qt::Key_Home) << none << 5 << 0;
}

void tst_DBGrid::navigationKeys()
{
    QFETCH(int, start);
    QFETCH(int, upsFirst);
    QFETCH(bool, rowSelect);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, base);
    QFETCH(int, visible);

    TClientDataSet ds;
    MakeProducts(ds, 100);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    TDBGridOptions options = grid.Options();
    if (rowSelect) options.Include(TDBGridOption::dgRowSelect);
    grid.SetOptions(options);
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 400, 250));
    const int rows = grid.VisibleRowCount();
    QVERIFY(rows > 4 && rows < 40);
    ds.SetRecNo(start);
    for (int i = 0; i < upsFirst; ++i)
        QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key(key), modifiers);
    QCOMPARE(ds.RecNo(), base + visible * rows);
}

void tst_DBGrid::downOnTheLastRowAppendsNothing()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    ds.Last();
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(ds.RecordCount(), 3);
    QCOMPARE(ds.RecNo(), 3);
    QCOMPARE(ds.State(), TDataSetState::dsBrowse);
}

void tst_DBGrid::leftAndRightMoveAcrossColumnsAndScrollThem()
{
    TClientDataSet ds;
    MakeWideTable(ds, 40, 5);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 400, 200));
    QCOMPARE(grid.SelectedIndex(), 0);
    for (int i = 1; i < 40; ++i) {
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(grid.SelectedIndex(), i);
        const QRect cell = grid.CellRect(i + 1, 1);
        QVERIFY2(!cell.isEmpty() && cell.right() < grid.viewport()->width(),
                 qPrintable(QStringLiteral("column %1 scrolled out").arg(i)));
        QCOMPARE(grid.horizontalScrollBar()->value(), grid.LeftCol());
    }
    QVERIFY(grid.LeftCol() > 20);
    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(grid.SelectedIndex(), 39);
    QTest::keyClick(&grid, Qt::Key_Home);
    QCOMPARE(grid.SelectedIndex(), 0);
    QCOMPARE(grid.LeftCol(), 0);
    QTest::keyClick(&grid, Qt::Key_End);
    QCOMPARE(grid.SelectedIndex(), 39);
    QCOMPARE(ds.RecNo(), 1);

    grid.horizontalScrollBar()->setValue(3);
    QCOMPARE(grid.LeftCol(), 3);
}

void tst_DBGrid::clickMovesTheCurrentRowAndColumn()
{
    TClientDataSet ds;
    MakeProducts(ds, 50);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 400, 250));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 3, 4));
    QCOMPARE(ds.RecNo(), 4);
    QCOMPARE(grid.SelectedIndex(), 2);
    // The indicator column moves the row too, and keeps the column.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 0, 2));
    QCOMPARE(ds.RecNo(), 2);
    QCOMPARE(grid.SelectedIndex(), 2);
}

void tst_DBGrid::pressBelowTheLastRowChangesNothing()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 400, 300));
    ds.SetRecNo(2);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCenter(grid, 1, 6));
    QCOMPARE(ds.RecNo(), 2);
}

void tst_DBGrid::wheelMovesRows()
{
    TClientDataSet ds;
    MakeProducts(ds, 50);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 400, 250));
    ds.SetRecNo(10);
    const QPointF at = grid.viewport()->rect().center();
    QWheelEvent down(at, grid.viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &down);
    QCOMPARE(ds.RecNo(), 11);
    QWheelEvent up(at, grid.viewport()->mapToGlobal(at), {}, QPoint(0, 240), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &up);
    QCOMPARE(ds.RecNo(), 9);
}

void tst_DBGrid::verticalScrollBarFollowsRecNo()
{
    TClientDataSet ds;
    MakeProducts(ds, 1000);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 400, 250));
    QScrollBar* bar = grid.verticalScrollBar();
    QCOMPARE(bar->maximum(), 999);
    QCOMPARE(bar->value(), 0);
    ds.Last();
    QCOMPARE(bar->value(), 999);
    ds.SetRecNo(500);
    QCOMPARE(bar->value(), 499);
    bar->setValue(200);
    QCOMPARE(ds.RecNo(), 201);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(ds.RecNo(), 202);

    ds.Close();
    QCOMPARE(bar->maximum(), 0);
}

void tst_DBGrid::keyDownEventRunsFirst_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<int>("recNo");
    QTest::addColumn<int>("errorBoxes");
    QTest::newRow("leaves the key") << "none" << 2 << 0;
    QTest::newRow("sets Key to 0") << "zero" << 1 << 0;
    QTest::newRow("raises a silent abort") << "abort" << 1 << 0;
    QTest::newRow("raises an error") << "error" << 1 << 1;
}

void tst_DBGrid::ctrlTabLeavesTheGrid_data()
{
    QTest::addColumn<bool>("rowSelect");
    QTest::addColumn<bool>("active");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("forward");
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    for (const bool rowSelect : {false, true}) {
        for (const bool active : {true, false}) {
            const QByteArray name =
                QByteArray(rowSelect ? "rows" : "cells") + (active ? ", open" : ", closed");
            QTest::newRow(name + ": Ctrl+Tab")
                << rowSelect << active << int(Qt::Key_Tab) << ctrl << true;
            QTest::newRow(name + ": Ctrl+Shift+Tab")
                << rowSelect << active << int(Qt::Key_Tab) << ctrlShift << false;
            QTest::newRow(name + ": Ctrl+Backtab")
                << rowSelect << active << int(Qt::Key_Backtab) << ctrlShift << false;
        }
    }
}

void tst_DBGrid::ctrlTabLeavesTheGrid()
{
    QFETCH(bool, rowSelect);
    QFETCH(bool, active);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, forward);
    TClientDataSet ds;
    MakeProducts(ds, 5);
    if (!active) ds.Close();
    TDataSource source;
    source.SetDataSet(&ds);
    QWidget window;
    auto* before = new QLineEdit(&window);
    auto* grid = new TDBGrid(&window);
    auto* after = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* w :
         {static_cast<QWidget*>(before), static_cast<QWidget*>(grid), static_cast<QWidget*>(after)})
        layout->addWidget(w);
    grid->SetDataSource(&source);
    if (rowSelect) {
        TDBGridOptions options = grid->Options();
        grid->SetOptions(options.Include(TDBGridOption::dgRowSelect));
    }
    QVERIFY(ShowAt(window, 300, 200));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
    QCOMPARE(QApplication::focusWidget(), grid);
    const int column = grid->SelectedIndex();
    const int recNo = active ? ds.RecNo() : 0;

    QTest::keyClick(grid, Qt::Key(key), modifiers);
    QCOMPARE(QApplication::focusWidget(), forward ? after : before);
    QCOMPARE(grid->SelectedIndex(), column);
    if (active) QCOMPARE(ds.RecNo(), recNo);

    // Plain Tab keeps its meaning: between columns with cells, on with rows.
    if (!active) return;
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(),
             rowSelect ? static_cast<QWidget*>(after) : static_cast<QWidget*>(grid));
}

void tst_DBGrid::keyDownEventRunsFirst()
{
    QFETCH(QString, handler);
    QFETCH(int, recNo);
    QFETCH(int, errorBoxes);
    TRecordingMessages messages;
    TClientDataSet ds;
    MakeProducts(ds, 5);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    int seenKey = 0;
    grid.OnKeyDown = [&](QObject* sender, int& key, Qt::KeyboardModifiers) {
        QCOMPARE(sender, &grid);
        seenKey = key;
        QCOMPARE(ds.RecNo(), 1);
        if (handler == "zero")
            key = 0;
        else if (handler == "abort")
            throw EAbort();
        else if (handler == "error")
            throw Exception(QStringLiteral("no keys today"));
    };
    QTest::keyClick(&grid, Qt::Key_Down);
    QCOMPARE(seenKey, int(Qt::Key_Down));
    QCOMPARE(ds.RecNo(), recNo);
    QCOMPARE(messages.Boxes.size(), errorBoxes);
    if (errorBoxes) QCOMPARE(messages.Boxes[0].Text, QStringLiteral("no keys today."));
}

void tst_DBGrid::failingHandlerShowsTheErrorBox()
{
    TRecordingMessages messages;
    TClientDataSet ds;
    MakeProducts(ds, 5);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 300, 200));
    grid.OnDblClick = [](QObject*) { throw EDatabaseError(QStringLiteral("Record not found")); };
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(1, 2).center());
    QCOMPARE(messages.Texts(), QStringList({"Record not found."}));
}

void tst_DBGrid::customizedColumnsSurviveAReopen()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.SetDataSource(&source);
    grid.Columns()[0]->SetVisible(false);
    grid.Columns()[1]->SetWidth(20);
    grid.Columns()[3]->SetTitleCaption(QStringLiteral("代碼"));
    QCOMPARE(grid.Columns().State(), TDBGridColumnsState::csCustomized);
    QCOMPARE(grid.ShownColumnCount(), 3);

    MakeProducts(ds, 4); // new fields: the columns find them by name
    QCOMPARE(ColumnNames(grid), QStringList({"NAME", "QTY", "PRICE", "CODE"}));
    QCOMPARE(grid.Columns()[1]->Field(), ds.FieldByName("QTY"));
    QVERIFY(!grid.Columns()[0]->Visible());
    QCOMPARE(grid.Columns()[1]->Width(), 20);
    QCOMPARE(grid.Columns()[3]->TitleCaption(), QStringLiteral("代碼"));
    QCOMPARE(grid.Columns()[2]->TitleCaption(), QStringLiteral("PRICE"));

    grid.Columns().SetState(TDBGridColumnsState::csDefault);
    QCOMPARE(grid.ShownColumnCount(), 4);
    QVERIFY(grid.Columns()[1]->Width() > 20);
}

void tst_DBGrid::resizingAColumnStoresTheDisplayWidth()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 500, 200));
    const QRect title = grid.CellRect(1, 0);
    const QPoint border(title.right() + 1, title.center().y());
    const int zero = QFontMetrics(grid.font()).horizontalAdvance(QLatin1Char('0'));
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(grid.viewport(), border + QPoint(60, 0));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, border + QPoint(60, 0));
    const int width = title.width() + 60;
    QCOMPARE(ds.FieldByName("NAME")->DisplayWidth(), (width + qMax(0, zero / 2 - 3) - 4) / zero);
    QCOMPARE(grid.Columns()[0]->Width(), ds.FieldByName("NAME")->DisplayWidth() * zero + 4);
    QCOMPARE(grid.Columns().State(), TDBGridColumnsState::csDefault);
}

void tst_DBGrid::draggingATitleMovesTheField()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 600, 200));
    const QPoint from = grid.CellRect(1, 0).center();
    const QPoint to = grid.CellRect(3, 0).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(grid.viewport(), from + QPoint(5, 0));
    QTest::mouseMove(grid.viewport(), to);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    QCOMPARE(ColumnNames(grid), QStringList({"QTY", "PRICE", "NAME", "CODE"}));
    QCOMPARE(ds.Fields()[2]->FieldName(), QStringLiteral("NAME"));
}

void tst_DBGrid::titleClickRaisesOnTitleClick()
{
    TClientDataSet ds;
    MakeProducts(ds, 3);
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetDataSource(&source);
    QVERIFY(ShowAt(grid, 600, 200));
    QStringList clicked;
    grid.OnTitleClick = [&](TColumn* column) { clicked << column->FieldName(); };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 0).center());
    QCOMPARE(clicked, QStringList({"QTY"}));
    QCOMPARE(ds.RecNo(), 1);
}

void tst_DBGrid::switchingDataSetsRebuildsTheColumns()
{
    TClientDataSet products, wide;
    MakeProducts(products, 3);
    MakeWideTable(wide, 3, 2);
    TDataSource source, other;
    source.SetDataSet(&products);
    other.SetDataSet(&wide);
    TDBGrid grid;
    grid.SetDataSource(&source);
    source.SetDataSet(&wide);
    QCOMPARE(ColumnNames(grid), QStringList({"C0", "C1", "C2"}));
    source.SetDataSet(&products);
    QCOMPARE(ColumnNames(grid), QStringList({"NAME", "QTY", "PRICE", "CODE"}));
    grid.SetDataSource(&other);
    QCOMPARE(ColumnNames(grid), QStringList({"C0", "C1", "C2"}));
    grid.SetDataSource(nullptr);
    QCOMPARE(grid.Columns().Count(), 0);
}

void tst_DBGrid::titlesGetTheirFullWidth()
{
    TClientDataSet ds;
    MakeProducts(ds, 1);
    ds.FieldByName("QTY")->SetDisplayLabel(QStringLiteral("一個很長很長的數量標題"));
    TDataSource source;
    source.SetDataSet(&ds);
    TDBGrid grid;
    grid.setFont(TestFont());
    grid.SetTitleFont(TestFont());
    grid.SetDataSource(&source);
    const QFontMetrics metrics(TestFont());
    QCOMPARE(grid.Columns()[1]->Width(),
             metrics.horizontalAdvance(QStringLiteral("一個很長很長的數量標題")) + 4);
    QCOMPARE(grid.Columns()[0]->Width(), metrics.horizontalAdvance(QLatin1Char('0')) * 10 + 4);
}

void tst_DBGrid::dataSourceOrDataSetDestroyedFirst()
{
    auto ds = std::make_unique<TClientDataSet>();
    MakeProducts(*ds, 3);
    auto source = std::make_unique<TDataSource>();
    source->SetDataSet(ds.get());
    TDBGrid grid;
    grid.SetDataSource(source.get());
    QVERIFY(ShowAt(grid, 300, 200));
    ds.reset();
    QCOMPARE(grid.Columns().Count(), 0);
    grid.grab();
    MakeProducts(*(ds = std::make_unique<TClientDataSet>()), 2);
    source->SetDataSet(ds.get());
    QCOMPARE(grid.Columns().Count(), 4);
    source.reset();
    QCOMPARE(grid.DataSource(), nullptr);
    QCOMPARE(grid.Columns().Count(), 0);
    grid.grab();
}

QTEST_MAIN(tst_DBGrid)
#include "tst_dbgrid.moc"
