#pragma once

#include "GridTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

// Where a grid's cells are, in viewport pixels: arithmetic over the heights
// of the title and data rows, the widths of the shown columns, the fixed
// indicator column, the one-pixel line gaps and the first scrolled column.
// Each column and row is followed by its line gap; a cell's rectangle leaves
// the gap out. The grid fills it in at every layout.
class TGridGeometry
{
public:
    struct TColumnSpan {
        int DisplayPosition;
        int Left;
        int Width;
    };

    QSize Viewport;
    bool Indicator = true;
    bool Titles = true;
    int IndicatorWidth = 12;
    int ColLineWidth = 1;
    int RowLineWidth = 1;
    int RowHeight = 18;
    int TitleHeight = 19;
    // The first data column right of the fixed ones, as a display position.
    int LeftCol = 0;
    // The shown columns' widths, in display order.
    std::vector<int> Widths;

    int ColumnCount() const { return int(Widths.size()); }
    int IndicatorOffset() const { return Indicator ? 1 : 0; }
    int TitleOffset() const { return Titles ? 1 : 0; }
    int FixedWidth() const { return Indicator ? IndicatorWidth + ColLineWidth : 0; }
    int DataTop() const { return Titles ? TitleHeight + RowLineWidth : 0; }
    int RowPitch() const { return RowHeight + RowLineWidth; }
    // Whole data rows that fit, at least one.
    int VisibleRows() const;
    // -1 for a column scrolled out to the left.
    int ColumnLeft(int displayPosition) const;
    // The shown columns that reach into the viewport, left to right.
    std::vector<TColumnSpan> ColumnSpans() const;
    // Right of the last column over the whole height; empty when the columns
    // fill the width.
    QRect PadRect() const;
    // The largest LeftCol that still has columns to show right of it.
    int MaxLeftCol() const;
    // The LeftCol nearest to the current one that shows all of a column.
    int LeftColShowing(int displayPosition) const;
    QRect CellRect(int col, int row) const;
    TGridCoord MouseCoord(const QPoint& point) const;
    // The column whose right border is within 2 pixels of the point, or -1.
    int ColumnBorderAt(const QPoint& point) const;
    // The display position a dragged column lands on: the column under the
    // point, the last one right of all columns.
    int DropPosition(const QPoint& point) const;
};
