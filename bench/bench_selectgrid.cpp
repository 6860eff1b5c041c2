// The query dialog's result grid under load: select-all (add the current row,
// move next, repeat) with the grid attached, against a bare walk over the
// same rows with the same grid attached; and a full repaint of a 30-row
// window over a small and a large dataset, every row selected.

#include "QueryDialogSettings.h"
#include "TClientDataSet.h"
#include "TDataSource.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <ctime>

namespace
{
// The CPU time of this thread: the machine that runs this is shared, and
// wall-clock time would count the other processes' turns.
class TCpuTimer
{
public:
    TCpuTimer() { restart(); }
    void restart() { FStart = Now(); }
    double Ms() const { return (Now() - FStart) / 1e6; }

private:
    static double Now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
    }
    double FStart = 0;
};

void MakeRows(TClientDataSet& ds, int rows)
{
    ds.FieldDefs().Add(QStringLiteral("PROD_ID"), TFieldType::ftString, 20);
    ds.FieldDefs().Add(QStringLiteral("PROD_NAME"), TFieldType::ftString, 50);
    ds.FieldDefs().Add(QStringLiteral("NOW_QTY"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("SALE_PRICE"), TFieldType::ftFloat);
    ds.FieldDefs().Add(QStringLiteral("PROVIDER_NAME"), TFieldType::ftString, 50);
    ds.CreateDataSet();
    for (int i = 0; i < rows; ++i) {
        ds.Append();
        ds.Fields()[0]->SetAsString(QStringLiteral("47%1").arg(i, 8, 10, QLatin1Char('0')));
        ds.Fields()[1]->SetAsString(QStringLiteral("商品名稱 %1").arg(i));
        ds.Fields()[2]->SetAsInteger(i % 500);
        ds.Fields()[3]->SetAsFloat(10.5 + i % 300);
        ds.Fields()[4]->SetAsString(QStringLiteral("供應廠商 %1").arg(i % 40));
        ds.Post();
    }
    ds.First();
}

// A shown dialog grid of exactly 30 visible rows over a dataset.
struct Stage {
    TClientDataSet ds;
    TDataSource source;
    TSelectGrid grid;

    explicit Stage(int rows)
    {
        MakeRows(ds, rows);
        source.SetDataSet(&ds);
        QueryDialogSettings::Apply(grid);
        grid.SetDataSource(&source);
        grid.resize(760, 560);
        grid.show();
        if (!QTest::qWaitForWindowExposed(&grid)) std::printf("  !! the grid was not shown\n");
        for (int i = 0; i < 5 && grid.VisibleRowCount() != 30; ++i) {
            // Rows are one pixel line apart.
            const int pitch = grid.DefaultRowHeight() + 1;
            grid.resize(760, grid.height() + (30 - grid.VisibleRowCount()) * pitch);
            QApplication::processEvents();
        }
    }
};

double SelectAllMs(int rows, double& walkMs)
{
    Stage stage(rows);
    TCpuTimer timer;
    for (stage.ds.First(); !stage.ds.Eof(); stage.ds.Next()) {
    }
    walkMs = timer.Ms();
    timer.restart();
    for (stage.ds.First(); !stage.ds.Eof(); stage.ds.Next())
        stage.grid.AddCurrentRowToSelection();
    const double ms = timer.Ms();
    if (stage.grid.SelectionBookmarks().Count() != rows)
        std::printf("  !! selected %d of %d rows\n", stage.grid.SelectionBookmarks().Count(), rows);
    return ms;
}

double RepaintMs(int rows, int& visibleRows)
{
    Stage stage(rows);
    for (stage.ds.First(); !stage.ds.Eof(); stage.ds.Next())
        stage.grid.AddCurrentRowToSelection();
    stage.ds.SetRecNo(rows / 2);
    visibleRows = stage.grid.VisibleRowCount();
    stage.grid.viewport()->repaint(); // images prepared outside the measurement
    const int rounds = 200;
    TCpuTimer timer;
    for (int i = 0; i < rounds; ++i)
        stage.grid.viewport()->repaint();
    return timer.Ms() / rounds;
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf("select-all with the grid attached (30 visible rows), CPU time\n");
    std::printf("%8s %12s %12s %10s %14s\n", "rows", "select ms", "walk ms", "x walk",
                "us per row");
    double first = 0, last = 0;
    for (int rows : {10000, 50000, 100000}) {
        double walk = 0;
        const double ms = SelectAllMs(rows, walk);
        if (first == 0) first = ms;
        last = ms;
        std::printf("%8d %12.1f %12.1f %10.2f %14.2f\n", rows, ms, walk, ms / walk,
                    ms * 1000 / rows);
    }
    std::printf("growth 10k -> 100k: %.2fx the time for 10x the rows\n\n", last / first);

    std::printf("full repaint of the visible window, every row selected, CPU time\n");
    int visible1k = 0, visible100k = 0;
    const double small = RepaintMs(1000, visible1k);
    const double large = RepaintMs(100000, visible100k);
    std::printf("%8s %8s %12s\n", "rows", "visible", "ms/repaint");
    std::printf("%8d %8d %12.3f\n", 1000, visible1k, small);
    std::printf("%8d %8d %12.3f\n", 100000, visible100k, large);
    std::printf("100k / 1k: %.2f\n", large / small);
    return 0;
}
