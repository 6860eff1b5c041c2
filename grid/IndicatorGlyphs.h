#pragma once

#include <QColor>
#include <QRect>

class QPainter;

enum class TIndicatorGlyph { igCurrent, igEdit, igInsert, igSelected, igCurrentSelected };

// The small pictures of a grid's indicator column, drawn for this program as
// one-colour pixel patterns: an arrow for the current row, an I-beam while it
// is edited, an asterisk while it is inserted, a dot for a selected row and
// the arrow with the dot for the current row when it is selected.
class TIndicatorGlyphs
{
public:
    // Draws the glyph centred across the cell and vertically within the first
    // rowHeight pixels of it, its set pixels in color.
    static void Draw(QPainter& painter, const QRect& cell, int rowHeight, TIndicatorGlyph glyph,
                     const QColor& color);
    static QSize Size(TIndicatorGlyph glyph);
};
