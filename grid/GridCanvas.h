#pragma once

#include "GridColor.h"
#include "TField.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

// The drawing surface of a grid while a cell is painted: the painter, and the
// font and brush the cell is painted with. A data-cell handler may change the
// colours and have the grid draw the cell's default content again with them.
// Painter() is null outside a paint.
class TGridCanvas
{
public:
    QPainter* Painter() const { return FPainter; }

    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& font) { FFont = font; }
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor color) { FFontColor = ColorToQColor(color); }
    void SetFontColor(const QColor& color) { FFontColor = color; }
    QColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor color) { FBrushColor = ColorToQColor(color); }
    void SetBrushColor(const QColor& color) { FBrushColor = color; }

    void FillRect(const QRect& rect) const;
    // A cell's text in the canvas font and colour, 2 pixels in from the left
    // edge (from the right edge when right-aligned) and 2 pixels below the
    // top, clipped to the cell. Tabs expand and "&" shows as itself; with
    // wordWrap the text breaks at word boundaries, otherwise it stays on one
    // line.
    void DrawCellText(const QRect& cell, const QString& text, TAlignment alignment,
                      bool wordWrap = false) const;

private:
    friend class TCustomDBGrid;

    QPainter* FPainter = nullptr;
    QFont FFont;
    QColor FFontColor;
    QColor FBrushColor;
};
