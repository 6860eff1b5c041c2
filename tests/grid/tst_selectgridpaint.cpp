#include "Exceptions.h"
#include "SelectGridFixture.h"

#include <QTest>
#include <algorithm>

namespace
{
QRgb Tinted(QRgb pixel, const QColor& color)
{
    const auto channel = [](int value, int tint) {
        return std::clamp(value + tint / 2 - 128, 0, 255);
    };
    return qRgb(channel(qRed(pixel), color.red()), channel(qGreen(pixel), color.green()),
                channel(qBlue(pixel), color.blue()));
}

QString Rgb(QRgb pixel)
{
    return QStringLiteral("(%1,%2,%3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}

const QColor Alternating = ColorToQColor(QueryDialogSettings::AlternatingRowColor);

struct Fixture {
    TClientDataSet ds;
    TDataSource source;
    TestSelectGrid grid;

    explicit Fixture(int rows)
    {
        MakeProducts(ds, rows);
        source.SetDataSet(&ds);
        grid.SetDataSource(&source);
    }
    bool Show(int width = 500, int height = 300) { return ShowAt(grid, width, height); }
    QImage Grab()
    {
        return grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QRgb Ground(const QPoint& point) const
    {
        return grid.PaintOptions().BackgroundImage().pixel(point) | 0xFF000000u;
    }
    // Whether the cell's top-left pixel shows the alternating band.
    bool Banded(const QImage& image, int windowRow) const
    {
        const QPoint p = grid.DataCell(windowRow, 1).topLeft();
        return image.pixel(p) == Tinted(Ground(p), Alternating);
    }
};
} // namespace

class tst_SelectGridPaint : public QObject
{
    Q_OBJECT

private slots:
    void oddRowsAtParityZeroShowTheBand();
    void recordsKeepTheirShadeAcrossAShortScroll();
    void aLongJumpKeepsTheParity();
    void fastScrollingLeavesTheScreenAsAFullPaint();
    void selectedRowShowsTheHighlight();
    void dataRowsAreSeparatedBySilverLinesAndColumnsByNone();
    void rowLineStyle_data();
    void rowLineStyle();
    void currentRowIsRepaintedByTheDialogHandler();
    void throwingDrawDataCellHandlerIsIgnored();
    void handlerReadsTheCellsRow();
    void eightBitScreenPaintsSolidColours();
    void noAlternatingColourNoBands();
    void resizingRebuildsTheImages();
    void padAreaAndSpaceBelowTheRows();
    void fixedCellsWithoutThemes();
};

void tst_SelectGridPaint::oddRowsAtParityZeroShowTheBand()
{
    Fixture f(50);
    QVERIFY(f.Show());
    const QImage image = f.Grab();
    QCOMPARE(f.grid.AlternationParity(), 0);
    QVERIFY(f.grid.VisibleRowCount() >= 10);
    for (int r = 1; r < 10; ++r) {
        const QPoint p = f.grid.DataCell(r, 1).topLeft();
        const QRgb expected = r % 2 ? Tinted(f.Ground(p), Alternating) : f.Ground(p);
        QVERIFY2(image.pixel(p) == expected,
                 qPrintable(QStringLiteral("row %1: %2, expected %3")
                                .arg(r)
                                .arg(Rgb(image.pixel(p)), Rgb(expected))));
    }
    // The picture's cream of its top rows, and the same blended with the
    // dialog's pale yellow.
    const QPoint odd = f.grid.DataCell(1, 1).topLeft();
    const QPoint even = f.grid.DataCell(2, 1).topLeft();
    QCOMPARE(Rgb(f.Ground(odd)), QStringLiteral("(255,255,236)"));
    QCOMPARE(Rgb(image.pixel(odd)), QStringLiteral("(254,254,172)"));
    QCOMPARE(Rgb(image.pixel(even)), QStringLiteral("(255,255,236)"));
}

void tst_SelectGridPaint::recordsKeepTheirShadeAcrossAShortScroll()
{
    Fixture f(50);
    // Without the dialog's handler the current row shows its shade as well.
    f.grid.OnDrawDataCell = nullptr;
    QVERIFY(f.Show());
    const int rows = f.grid.VisibleRowCount();
    f.ds.SetRecNo(rows - 1);
    QImage image = f.Grab();
    QMap<int, bool> before;
    for (int r = 0; r < rows - 1; ++r)
        before[r + 1] = f.Banded(image, r); // RecNo = window row + 1
    f.ds.SetRecNo(rows);
    f.ds.Next(); // the window scrolls by one row
    QCOMPARE(f.grid.DataLink()->FirstRecord(), 1);
    QCOMPARE(f.grid.AlternationParity(), 1);
    image = f.Grab();
    for (int r = 0; r < rows - 2; ++r) {
        const int recNo = r + 2;
        QVERIFY2(f.Banded(image, r) == before[recNo],
                 qPrintable(QStringLiteral("record %1 changed its shade").arg(recNo)));
    }
    f.ds.MoveBy(2);
    QCOMPARE(f.grid.AlternationParity(), 1);
    f.ds.Next();
    QCOMPARE(f.grid.AlternationParity(), 0);
}

void tst_SelectGridPaint::aLongJumpKeepsTheParity()
{
    Fixture f(50);
    QVERIFY(f.Show());
    f.ds.Last();
    QCOMPARE(f.grid.AlternationParity(), 0);
    const QImage image = f.Grab();
    QVERIFY(!f.Banded(image, 0));
    QVERIFY(f.Banded(image, 1));
}

void tst_SelectGridPaint::fastScrollingLeavesTheScreenAsAFullPaint()
{
    Fixture f(50);
    QVERIFY(f.Show());
    f.ds.SetRecNo(4);
    f.grid.AddCurrentRowToSelection();
    f.ds.SetRecNo(f.grid.VisibleRowCount());
    QTest::qWait(50);
    for (int step = 0; step < 3; ++step) {
        QVERIFY(!f.grid.UpdatePending());
        f.ds.Next(); // moves the painted rows up by one on the screen
        QTest::qWait(50);
        const QImage screen = f.grid.screen()
                                  ->grabWindow(f.grid.winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32)
                                  .copy(QRect(f.grid.viewport()->pos(), f.grid.viewport()->size()));
        const QImage painted = f.Grab();
        QCOMPARE(screen.size(), painted.size());
        // Moved rows keep the picture's faint stripes of their old place: a
        // step of a few units at most, never another shade or text.
        int worst = 0;
        for (int y = 0; y < painted.height(); ++y)
            for (int x = 0; x < painted.width(); ++x) {
                const QRgb a = screen.pixel(x, y), b = painted.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)),
                                  std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            }
        QVERIFY2(worst <= 4,
                 qPrintable(QStringLiteral("step %1: difference %2").arg(step).arg(worst)));
    }
}

void tst_SelectGridPaint::selectedRowShowsTheHighlight()
{
    Fixture f(50);
    QVERIFY(f.Show());
    f.ds.SetRecNo(4);
    f.grid.AddCurrentRowToSelection();
    f.ds.First();
    const QColor highlight = ColorToQColor(TColor::clHighlight);
    QImage image = f.Grab();
    for (int column = 0; column < 4; ++column)
        QCOMPARE(Rgb(image.pixel(f.grid.DataCell(3, column).topLeft())), Rgb(highlight.rgb()));
    QVERIFY(f.Banded(image, 1));
    f.ds.SetRecNo(4);
    f.grid.RemoveCurrentRowFromSelection();
    f.ds.First();
    image = f.Grab();
    QVERIFY(f.Banded(image, 3));
}

void tst_SelectGridPaint::dataRowsAreSeparatedBySilverLinesAndColumnsByNone()
{
    Fixture f(50);
    QVERIFY(f.Show());
    const QImage image = f.Grab();
    for (int r = 1; r < 8; ++r) {
        const QRect cell = f.grid.DataCell(r, 1);
        QCOMPARE(Rgb(image.pixel(cell.center().x(), cell.bottom() + 1)),
                 QStringLiteral("(192,192,192)"));
        const QPoint gap(cell.right() + 1, cell.center().y());
        const QRgb expected = r % 2 ? Tinted(f.Ground(gap), Alternating) : f.Ground(gap);
        QCOMPARE(Rgb(image.pixel(gap)), Rgb(expected));
    }
    // Nor is there a line under the titles.
    const QPoint title(f.grid.DataCell(1, 1).center().x(), f.grid.TitleRowHeight());
    QCOMPARE(Rgb(image.pixel(title)), Rgb(f.Ground(title)));
}

void tst_SelectGridPaint::rowLineStyle_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("whiteGround");
    QTest::addColumn<bool>("raised");
    QTest::newRow("dynamic on white") << int(TGridLineStyle::glsDynamic) << true << false;
    QTest::newRow("dynamic on a colour") << int(TGridLineStyle::glsDynamic) << false << true;
    QTest::newRow("single on a colour") << int(TGridLineStyle::glsSingle) << false << false;
}

void tst_SelectGridPaint::rowLineStyle()
{
    QFETCH(int, style);
    QFETCH(bool, whiteGround);
    QFETCH(bool, raised);
    Fixture f(20);
    f.grid.PaintOptions().SetBackgroundBitmap(QImage());
    f.grid.SetColor(whiteGround ? TColor::clWhite : RGBToColor(200, 220, 240));
    f.grid.SetLineStyle(TGridLineStyle(style));
    QVERIFY(f.Show());
    const QImage image = f.Grab();
    const QRect cell = f.grid.DataCell(3, 1);
    const QRgb bottom = image.pixel(cell.center().x(), cell.bottom() + 1);
    const QRgb top = image.pixel(cell.center().x(), cell.top());
    if (raised) {
        QCOMPARE(Rgb(bottom), Rgb(ColorToQColor(TColor::clBtnShadow).rgb()));
        QCOMPARE(Rgb(top), Rgb(ColorToQColor(TColor::clBtnHighlight).rgb()));
    } else {
        QCOMPARE(Rgb(bottom), QStringLiteral("(192,192,192)"));
        QCOMPARE(Rgb(top), Rgb(ColorToQColor(f.grid.Color()).rgb()));
    }
}

void tst_SelectGridPaint::currentRowIsRepaintedByTheDialogHandler()
{
    Fixture f(20);
    QVERIFY(f.Show());
    f.grid.clearFocus();
    QVERIFY(!f.grid.hasFocus());
    f.ds.SetRecNo(3);
    const QRgb highlight = ColorToQColor(TColor::clHighlight).rgb();
    QImage image = f.Grab();
    // Without the focus every cell of the current row is highlighted.
    for (int column = 0; column < 4; ++column)
        QCOMPARE(Rgb(image.pixel(f.grid.DataCell(2, column).topLeft())), Rgb(highlight));

    f.grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.grid));
    f.grid.setFocus();
    QVERIFY(f.grid.hasFocus());
    image = f.Grab();
    const QPoint focused = f.grid.DataCell(2, 0).topLeft();
    QCOMPARE(Rgb(image.pixel(focused)), Rgb(f.Ground(focused)));
    for (int column = 1; column < 4; ++column)
        QCOMPARE(Rgb(image.pixel(f.grid.DataCell(2, column).topLeft())), Rgb(highlight));
}

void tst_SelectGridPaint::throwingDrawDataCellHandlerIsIgnored()
{
    Fixture f(20);
    QVERIFY(f.Show());
    int calls = 0;
    f.grid.OnDrawDataCell = [&](QObject*, const QRect&, TField* field, TGridDrawState) {
        ++calls;
        if (field && field->FieldName() == QLatin1String("NAME"))
            throw Exception(QStringLiteral("handler failed"));
        throw 42;
    };
    const QImage image = f.Grab();
    QCOMPARE(calls, 4 * std::min(20, f.grid.VisibleRowCount()));
    const int last = std::min(20, f.grid.VisibleRowCount()) - 1;
    QVERIFY(f.Banded(image, last) == (last % 2 == 1));
    QCOMPARE(
        Rgb(image.pixel(f.grid.DataCell(1, 3).center().x(), f.grid.DataCell(1, 3).bottom() + 1)),
        QStringLiteral("(192,192,192)"));
}

void tst_SelectGridPaint::handlerReadsTheCellsRow()
{
    Fixture f(20);
    QVERIFY(f.Show());
    f.grid.clearFocus();
    f.ds.SetRecNo(5);
    QMap<int, QString> names;
    QList<TGridDrawState> currentRowStates;
    f.grid.OnDrawDataCell = [&](QObject* sender, const QRect& rect, TField* field,
                                TGridDrawState state) {
        QCOMPARE(sender, &f.grid);
        QCOMPARE(f.grid.Canvas()->Painter() != nullptr, true);
        const int row = (rect.top() - f.grid.DataTop()) / f.grid.RowPitch();
        if (field->FieldName() == QLatin1String("NAME"))
            names[row] = f.ds.FieldByName("NAME")->AsString();
        if (row == 4) currentRowStates << state;
    };
    f.Grab();
    QCOMPARE(names.value(0), QStringLiteral("P0"));
    QCOMPARE(names.value(7), QStringLiteral("P7"));
    QCOMPARE(currentRowStates.size(), 4);
    for (TGridDrawState state : currentRowStates)
        QCOMPARE(state, TGridDrawState({TGridDrawStateFlag::gdSelected}));
    QCOMPARE(f.ds.RecNo(), 5);
    QCOMPARE(f.ds.FieldByName("NAME")->AsString(), QStringLiteral("P4"));
}

void tst_SelectGridPaint::eightBitScreenPaintsSolidColours()
{
    Fixture f(20);
    f.grid.Depth = 8;
    f.grid.SetThemesInUse(false);
    QVERIFY(f.Show());
    const QImage image = f.Grab();
    QVERIFY(f.grid.PaintOptions().BackgroundImage().isNull());
    QVERIFY(f.grid.PaintOptions().AlternatingTint().isNull());
    QVERIFY(!f.grid.PaintOptions().PaintImagesStale());
    for (int r = 1; r < 5; ++r)
        QCOMPARE(Rgb(image.pixel(f.grid.DataCell(r, 1).topLeft())),
                 QStringLiteral("(255,255,255)"));
    QCOMPARE(Rgb(image.pixel(f.grid.CellRect(0, 3).topLeft())),
             Rgb(ColorToQColor(TColor::clBtnFace).rgb()));
}

void tst_SelectGridPaint::noAlternatingColourNoBands()
{
    Fixture f(20);
    QVERIFY(f.Show());
    f.Grab();
    QVERIFY(!f.grid.PaintOptions().AlternatingTint().isNull());
    f.grid.PaintOptions().SetAlternatingRowColor(TColor::clNone);
    QVERIFY(f.grid.PaintOptions().PaintImagesStale());
    const QImage image = f.Grab();
    QVERIFY(f.grid.PaintOptions().AlternatingTint().isNull());
    const QPoint p = f.grid.DataCell(1, 1).topLeft();
    QCOMPARE(Rgb(image.pixel(p)), Rgb(f.Ground(p)));
}

void tst_SelectGridPaint::resizingRebuildsTheImages()
{
    Fixture f(20);
    QVERIFY(f.Show());
    f.Grab();
    const QSize before = f.grid.PaintOptions().BackgroundImage().size();
    f.grid.resize(640, 420);
    const QImage image = f.Grab();
    QVERIFY(f.grid.PaintOptions().BackgroundImage().size() != before);
    QCOMPARE(f.grid.PaintOptions().BackgroundImage().size(), f.grid.viewport()->size());
    // Below the last of the 20 rows: the picture's ground at the new bottom.
    const QPoint corner(f.grid.DataCell(0, 1).center().x(), f.grid.viewport()->height() - 2);
    QVERIFY(corner.y() > f.grid.DataTop() + 20 * f.grid.RowPitch());
    QCOMPARE(Rgb(image.pixel(corner)), Rgb(f.Ground(corner)));
}

void tst_SelectGridPaint::padAreaAndSpaceBelowTheRows()
{
    Fixture f(3);
    QVERIFY(f.Show(700, 300));
    const QImage image = f.Grab();
    const QRect pad = f.grid.PadRect();
    QVERIFY(pad.width() > 10);
    for (const QPoint& p : {pad.center(), pad.topLeft(), QPoint(pad.center().x(), pad.bottom())})
        QCOMPARE(Rgb(image.pixel(p)), Rgb(f.grid.PaintOptions().FixedColumnTint().pixel(p)));
    const QPoint below(f.grid.DataCell(0, 1).center().x(),
                       f.grid.DataTop() + 6 * f.grid.RowPitch());
    QCOMPARE(Rgb(image.pixel(below)), Rgb(f.Ground(below)));
}

void tst_SelectGridPaint::fixedCellsWithoutThemes()
{
    Fixture f(10);
    f.grid.SetThemesInUse(false);
    QVERIFY(f.Show());
    QImage image = f.Grab();
    const QPoint title = f.grid.CellRect(2, 0).topLeft() + QPoint(1, 1);
    const QPoint indicator = f.grid.CellRect(0, 5).bottomLeft();
    QCOMPARE(Rgb(image.pixel(title)), Rgb(ColorToQColor(TColor::clBtnFace).rgb()));
    QCOMPARE(Rgb(image.pixel(indicator)),
             Rgb(f.grid.PaintOptions().FixedColumnTint().pixel(indicator)));
    QCOMPARE(Rgb(f.grid.PaintOptions().FixedColumnTint().pixel(indicator)),
             Rgb(Tinted(f.Ground(indicator), ColorToQColor(TColor::clBtnFace))));

    TBackgroundOptions options = f.grid.PaintOptions().BackgroundOptions();
    f.grid.PaintOptions().SetBackgroundOptions(options.Include(TBackgroundOption::coBlendFixedRow));
    image = f.Grab();
    QCOMPARE(f.grid.PaintOptions().FixedRowTint().height(), f.grid.TitleRowHeight());
    QCOMPARE(Rgb(image.pixel(title)), Rgb(f.grid.PaintOptions().FixedRowTint().pixel(title)));
}

QTEST_MAIN(tst_SelectGridPaint)
#include "tst_selectgridpaint.moc"
