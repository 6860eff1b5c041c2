#include "GridGeometry.h"

#include <algorithm>

int TGridGeometry::VisibleRows() const
{
    return std::max(1, (Viewport.height() - DataTop()) / RowPitch());
}

int TGridGeometry::ColumnLeft(int displayPosition) const
{
    if (displayPosition < LeftCol) return -1;
    int x = FixedWidth();
    for (int d = LeftCol; d < displayPosition; ++d)
        x += Widths[std::size_t(d)] + ColLineWidth;
    return x;
}

std::vector<TGridGeometry::TColumnSpan> TGridGeometry::ColumnSpans() const
{
    std::vector<TColumnSpan> spans;
    int x = FixedWidth();
    for (int d = LeftCol; d < ColumnCount() && x < Viewport.width(); ++d) {
        const int width = Widths[std::size_t(d)];
        spans.push_back({d, x, width});
        x += width + ColLineWidth;
    }
    return spans;
}

QRect TGridGeometry::PadRect() const
{
    int x = FixedWidth();
    for (int d = LeftCol; d < ColumnCount() && x < Viewport.width(); ++d)
        x += Widths[std::size_t(d)] + ColLineWidth;
    if (x >= Viewport.width()) return {};
    return QRect(x, 0, Viewport.width() - x, Viewport.height());
}

int TGridGeometry::MaxLeftCol() const
{
    const int room = Viewport.width() - FixedWidth();
    int used = 0;
    int first = ColumnCount();
    while (first > 0) {
        used += Widths[std::size_t(first - 1)] + ColLineWidth;
        if (used > room) break;
        --first;
    }
    return std::min(first, std::max(0, ColumnCount() - 1));
}

int TGridGeometry::LeftColShowing(int displayPosition) const
{
    int left = std::min(LeftCol, displayPosition);
    while (left < displayPosition) {
        int right = FixedWidth();
        for (int d = left; d <= displayPosition; ++d)
            right += Widths[std::size_t(d)] + ColLineWidth;
        if (right <= Viewport.width()) break;
        ++left;
    }
    return left;
}

QRect TGridGeometry::CellRect(int col, int row) const
{
    QRect rect;
    if (col < IndicatorOffset()) {
        rect.setLeft(0);
        rect.setWidth(IndicatorWidth);
    } else {
        const int d = col - IndicatorOffset();
        if (d < LeftCol || d >= ColumnCount()) return {};
        rect.setLeft(ColumnLeft(d));
        rect.setWidth(Widths[std::size_t(d)]);
    }
    if (row < TitleOffset()) {
        rect.setTop(0);
        rect.setHeight(TitleHeight);
    } else {
        rect.setTop(DataTop() + (row - TitleOffset()) * RowPitch());
        rect.setHeight(RowHeight);
    }
    return rect;
}

TGridCoord TGridGeometry::MouseCoord(const QPoint& point) const
{
    if (!QRect(QPoint(), Viewport).contains(point)) return {};
    TGridCoord cell;
    if (point.x() < FixedWidth()) {
        cell.X = 0;
    } else {
        for (const TColumnSpan& span : ColumnSpans())
            if (point.x() < span.Left + span.Width + ColLineWidth) {
                cell.X = span.DisplayPosition + IndicatorOffset();
                break;
            }
    }
    if (point.y() < DataTop()) {
        cell.Y = 0;
    } else if (const int row = (point.y() - DataTop()) / RowPitch(); row < VisibleRows()) {
        cell.Y = row + TitleOffset();
    }
    return cell;
}

int TGridGeometry::ColumnBorderAt(const QPoint& point) const
{
    for (const TColumnSpan& span : ColumnSpans()) {
        const int border = span.Left + span.Width;
        if (point.x() >= border - 2 && point.x() <= border + 2) return span.DisplayPosition;
    }
    return -1;
}

int TGridGeometry::DropPosition(const QPoint& point) const
{
    if (point.x() < FixedWidth()) return LeftCol;
    for (const TColumnSpan& span : ColumnSpans())
        if (point.x() < span.Left + span.Width + ColLineWidth) return span.DisplayPosition;
    return ColumnCount() - 1;
}
