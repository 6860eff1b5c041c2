#pragma once

#include "GridColor.h"
#include "TSet.h"

#include <QImage>
#include <QSize>

class QWidget;

enum class TBackgroundDrawStyle { bdsTile, bdsStretch, bdsTopLeft, bdsCenter };

enum class TBackgroundOption {
    coFillDataCells,
    coBlendFixedRow,
    coBlendFixedColumn,
    coBlendActiveRecord,
    coBlendAlternatingRow
};
using TBackgroundOptions = TSet<TBackgroundOption>;

enum class TAlternatingRowRegion { arrFixedColumns, arrDataColumns, arrActiveDataColumn };
using TAlternatingRowRegions = TSet<TAlternatingRowRegion>;

// How a select grid paints its ground: a picture drawn over the grid by a
// draw style, and the images prepared from it once, so that a paint only
// copies rectangles.
//
// The prepared images are built when PaintImagesStale() is set and a picture
// is there: at the start of the grid's next paint. Every change of the
// picture, its draw style, the background options, the alternating or the
// active record colour marks them stale and repaints the grid, and so does a
// resize of the grid. On a screen of 8 bits per pixel or fewer nothing is
// built, and the grid paints solid colours.
//
// Tinting with colour (R, G, B) turns every pixel's red r into
// min(255, max(0, r + R div 2 - 128)), green and blue alike.
class TSelectGridPaintOptions
{
public:
    // grid: repainted at every change; may be null.
    explicit TSelectGridPaintOptions(QWidget* grid = nullptr);

    QImage BackgroundBitmap() const { return FBackgroundBitmap; }
    void SetBackgroundBitmap(const QImage& picture);
    TBackgroundDrawStyle BackgroundDrawStyle() const { return FBackgroundDrawStyle; }
    void SetBackgroundDrawStyle(TBackgroundDrawStyle style);
    TBackgroundOptions BackgroundOptions() const { return FBackgroundOptions; }
    void SetBackgroundOptions(TBackgroundOptions options);
    TColor AlternatingRowColor() const { return FAlternatingRowColor; }
    void SetAlternatingRowColor(TColor color);
    // Only repaints: the images don't depend on it.
    TAlternatingRowRegions AlternatingRowRegions() const { return FAlternatingRowRegions; }
    void SetAlternatingRowRegions(TAlternatingRowRegions regions);
    TColor ActiveRecordColor() const { return FActiveRecordColor; }
    void SetActiveRecordColor(TColor color);
    bool FastRecordScrolling() const { return FFastRecordScrolling; }
    void SetFastRecordScrolling(bool value) { FFastRecordScrolling = value; }

    // Null images do not exist.
    const QImage& BackgroundImage() const { return FBackgroundImage; }
    const QImage& AlternatingTint() const { return FAlternatingTint; }
    const QImage& FixedColumnTint() const { return FFixedColumnTint; }
    const QImage& FixedRowTint() const { return FFixedRowTint; }
    const QImage& ActiveRecordTint() const { return FActiveRecordTint; }

    bool PaintImagesStale() const { return FPaintImagesStale; }
    void SetPaintImagesStale() { FPaintImagesStale = true; }

    // Builds the images for a grid of the given size. titleColor tints the
    // fixed images (an invalid colour: untinted copies); firstRowHeight is the
    // height of the fixed row strip; screenDepth the screen's bits per pixel.
    void PrepareImages(QSize size, const QColor& titleColor, int firstRowHeight, int screenDepth);

    static void Tint(QImage& image, const QColor& color);
    // The picture drawn on a white canvas of the given size by a draw style.
    static QImage DrawBackground(const QImage& picture, TBackgroundDrawStyle style, QSize size);

private:
    void Changed();
    void Discard();

    QWidget* FGrid;
    QImage FBackgroundBitmap;
    TBackgroundDrawStyle FBackgroundDrawStyle = TBackgroundDrawStyle::bdsTile;
    TBackgroundOptions FBackgroundOptions;
    TColor FAlternatingRowColor = TColor::clNone;
    TAlternatingRowRegions FAlternatingRowRegions{TAlternatingRowRegion::arrFixedColumns,
                                                  TAlternatingRowRegion::arrDataColumns,
                                                  TAlternatingRowRegion::arrActiveDataColumn};
    TColor FActiveRecordColor = TColor::clNone;
    bool FFastRecordScrolling = true;

    QImage FBackgroundImage;
    QImage FAlternatingTint;
    QImage FFixedColumnTint;
    QImage FFixedRowTint;
    QImage FActiveRecordTint;
    bool FPaintImagesStale = true;
};
