#include "GridPictures.h"
#include "SelectGridPaintOptions.h"

#include <QTest>
#include <functional>

using enum TBackgroundOption;

namespace
{
// A 16 by 16 picture, grey, with one red pixel at (1, 1) and a blue one at (15, 15).
QImage MarkedPicture()
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(QColor(100, 100, 100));
    picture.setPixel(1, 1, qRgb(255, 0, 0));
    picture.setPixel(15, 15, qRgb(0, 0, 255));
    return picture;
}

QString Rgb(QRgb pixel)
{
    return QStringLiteral("(%1,%2,%3)").arg(qRed(pixel)).arg(qGreen(pixel)).arg(qBlue(pixel));
}
} // namespace

class tst_SelectGridPaintOptions : public QObject
{
    Q_OBJECT

private slots:
    void tint_data();
    void tint();
    void drawStyles_data();
    void drawStyles();
    void theCarriedPicture();
    void imagesAreBuiltByTheirConditions();
    void fixedColumnTintIsAnUntintedCopyWithoutTitleColour();
    void eightBitScreenBuildsNothing();
    void settersMarkTheImagesStale_data();
    void settersMarkTheImagesStale();
};

void tst_SelectGridPaintOptions::tint_data()
{
    QTest::addColumn<QColor>("pixel");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("the picture's cream with the pale yellow")
        << QColor(255, 255, 236) << QColor(255, 255, 128) << QColor(254, 254, 172);
    QTest::newRow("128 lowers by 64")
        << QColor(200, 100, 64) << QColor(128, 128, 128) << QColor(136, 36, 0);
    QTest::newRow("clamped at 0") << QColor(10, 127, 128) << QColor(0, 0, 0) << QColor(0, 0, 0);
    QTest::newRow("odd channels round down")
        << QColor(50, 50, 50) << QColor(1, 3, 255) << QColor(0, 0, 49);
}

void tst_SelectGridPaintOptions::tint()
{
    QFETCH(QColor, pixel);
    QFETCH(QColor, color);
    QFETCH(QColor, expected);
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(pixel);
    TSelectGridPaintOptions::Tint(image, color);
    QCOMPARE(Rgb(image.pixel(2, 1)), Rgb(expected.rgb()));
    QCOMPARE(Rgb(image.pixel(0, 0)), Rgb(expected.rgb()));
}

void tst_SelectGridPaintOptions::drawStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");
    const QColor red(255, 0, 0), blue(0, 0, 255), grey(100, 100, 100), white(255, 255, 255);
    // The canvas is 40 by 30.
    QTest::newRow("tile, first copy") << int(TBackgroundDrawStyle::bdsTile) << QPoint(1, 1) << red;
    QTest::newRow("tile, third across")
        << int(TBackgroundDrawStyle::bdsTile) << QPoint(33, 17) << red;
    QTest::newRow("stretch, scaled corner")
        << int(TBackgroundDrawStyle::bdsStretch) << QPoint(39, 29) << blue;
    QTest::newRow("stretch, covers all")
        << int(TBackgroundDrawStyle::bdsStretch) << QPoint(20, 20) << grey;
    QTest::newRow("top left") << int(TBackgroundDrawStyle::bdsTopLeft) << QPoint(1, 1) << red;
    QTest::newRow("top left, white beyond")
        << int(TBackgroundDrawStyle::bdsTopLeft) << QPoint(16, 16) << white;
    QTest::newRow("centre at (12, 7)")
        << int(TBackgroundDrawStyle::bdsCenter) << QPoint(13, 8) << red;
    QTest::newRow("centre, white before")
        << int(TBackgroundDrawStyle::bdsCenter) << QPoint(11, 7) << white;
}

void tst_SelectGridPaintOptions::drawStyles()
{
    QFETCH(int, style);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    const QImage canvas = TSelectGridPaintOptions::DrawBackground(
        MarkedPicture(), TBackgroundDrawStyle(style), QSize(40, 30));
    QCOMPARE(canvas.size(), QSize(40, 30));
    QCOMPARE(Rgb(canvas.pixel(point)), Rgb(expected.rgb()));
}

void tst_SelectGridPaintOptions::theCarriedPicture()
{
    const QImage picture = TGridPictures::SelectGridBackground();
    QCOMPARE(picture.size(), QSize(16, 16));
    const QList<int> blues{236, 236, 236, 236, 235, 233, 234, 235,
                           235, 233, 233, 235, 236, 236, 236, 236};
    for (int y = 0; y < 16; ++y) {
        QMap<int, int> counts;
        for (int x = 0; x < 16; ++x) {
            const QRgb p = picture.pixel(x, y);
            QCOMPARE(qRed(p), 255);
            QCOMPARE(qGreen(p), 255);
            QVERIFY(qAbs(qBlue(p) - blues[y]) <= 1);
            ++counts[qBlue(p)];
        }
        QVERIFY2(counts.value(blues[y]) >= 14, qPrintable(QStringLiteral("row %1").arg(y)));
    }
}

void tst_SelectGridPaintOptions::imagesAreBuiltByTheirConditions()
{
    TSelectGridPaintOptions options;
    options.SetBackgroundBitmap(MarkedPicture());
    options.SetBackgroundDrawStyle(TBackgroundDrawStyle::bdsStretch);
    options.PrepareImages(QSize(50, 40), QColor(240, 240, 240), 12, 32);
    QCOMPARE(options.BackgroundImage().size(), QSize(50, 40));
    QVERIFY(options.AlternatingTint().isNull());
    QVERIFY(options.FixedColumnTint().isNull());
    QVERIFY(options.FixedRowTint().isNull());
    QVERIFY(options.ActiveRecordTint().isNull());
    QVERIFY(!options.PaintImagesStale());

    options.SetBackgroundOptions({coFillDataCells, coBlendAlternatingRow, coBlendFixedColumn,
                                  coBlendFixedRow, coBlendActiveRecord});
    options.SetAlternatingRowColor(RGBToColor(255, 255, 128));
    options.PrepareImages(QSize(50, 40), QColor(240, 240, 240), 12, 32);
    QVERIFY(options.AlternatingTint().size() == QSize(50, 40));
    QCOMPARE(Rgb(options.AlternatingTint().pixel(20, 20)), Rgb(qRgb(99, 99, 36)));
    QCOMPARE(Rgb(options.FixedColumnTint().pixel(20, 20)), Rgb(qRgb(92, 92, 92)));
    QCOMPARE(options.FixedRowTint().size(), QSize(50, 12));
    // No active record colour: no image for it.
    QVERIFY(options.ActiveRecordTint().isNull());

    options.SetActiveRecordColor(TColor::clWhite);
    options.SetAlternatingRowRegions({});
    options.PrepareImages(QSize(50, 40), QColor(240, 240, 240), 12, 32);
    QVERIFY(!options.ActiveRecordTint().isNull());
    QVERIFY(options.AlternatingTint().isNull());

    options.SetBackgroundBitmap(QImage());
    options.PrepareImages(QSize(50, 40), QColor(240, 240, 240), 12, 32);
    QVERIFY(options.BackgroundImage().isNull());
    QVERIFY(options.FixedColumnTint().isNull());
}

void tst_SelectGridPaintOptions::fixedColumnTintIsAnUntintedCopyWithoutTitleColour()
{
    TSelectGridPaintOptions options;
    options.SetBackgroundBitmap(MarkedPicture());
    options.SetBackgroundOptions({coBlendFixedColumn});
    options.PrepareImages(QSize(20, 20), QColor(), 10, 24);
    QCOMPARE(options.FixedColumnTint(), options.BackgroundImage());
}

void tst_SelectGridPaintOptions::eightBitScreenBuildsNothing()
{
    TSelectGridPaintOptions options;
    options.SetBackgroundBitmap(MarkedPicture());
    options.SetBackgroundOptions({coFillDataCells, coBlendFixedColumn});
    options.PrepareImages(QSize(20, 20), QColor(240, 240, 240), 10, 32);
    QVERIFY(!options.FixedColumnTint().isNull());
    options.SetPaintImagesStale();
    options.PrepareImages(QSize(20, 20), QColor(240, 240, 240), 10, 8);
    QVERIFY(options.BackgroundImage().isNull());
    QVERIFY(options.FixedColumnTint().isNull());
    QVERIFY(!options.PaintImagesStale());
}

void tst_SelectGridPaintOptions::settersMarkTheImagesStale_data()
{
    using Setter = std::function<void(TSelectGridPaintOptions&)>;
    QTest::addColumn<Setter>("setter");
    QTest::addColumn<bool>("stale");
    QTest::newRow("picture") << Setter([](auto& o) { o.SetBackgroundBitmap(MarkedPicture()); })
                             << true;
    QTest::newRow("draw style") << Setter([](auto& o) {
        o.SetBackgroundDrawStyle(TBackgroundDrawStyle::bdsCenter);
    }) << true;
    QTest::newRow("options") << Setter([](auto& o) { o.SetBackgroundOptions({coFillDataCells}); })
                             << true;
    QTest::newRow("alternating colour")
        << Setter([](auto& o) { o.SetAlternatingRowColor(TColor::clWhite); }) << true;
    QTest::newRow("active record colour")
        << Setter([](auto& o) { o.SetActiveRecordColor(TColor::clWhite); }) << true;
    QTest::newRow("regions only repaint")
        << Setter([](auto& o) { o.SetAlternatingRowRegions({}); }) << false;
}

void tst_SelectGridPaintOptions::settersMarkTheImagesStale()
{
    using Setter = std::function<void(TSelectGridPaintOptions&)>;
    QFETCH(Setter, setter);
    QFETCH(bool, stale);
    TSelectGridPaintOptions options;
    options.PrepareImages(QSize(10, 10), QColor(), 5, 32);
    QVERIFY(!options.PaintImagesStale());
    setter(options);
    QCOMPARE(options.PaintImagesStale(), stale);
}

QTEST_MAIN(tst_SelectGridPaintOptions)
#include "tst_selectgridpaintoptions.moc"
