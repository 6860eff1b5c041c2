#include "GridCanvas.h"

#include <QPainter>

void TGridCanvas::FillRect(const QRect& rect) const
{
    if (FPainter && FBrushColor.isValid()) FPainter->fillRect(rect, FBrushColor);
}

void TGridCanvas::DrawCellText(const QRect& cell, const QString& text, TAlignment alignment,
                               bool wordWrap) const
{
    if (!FPainter || text.isEmpty()) return;
    int flags = Qt::AlignTop | Qt::TextExpandTabs;
    flags |= wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine;
    switch (alignment) {
    case TAlignment::taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case TAlignment::taCenter:
        flags |= Qt::AlignHCenter;
        break;
    default:
        flags |= Qt::AlignLeft;
    }
    const QRect inner = cell.adjusted(2, 2, -2, 0);
    FPainter->save();
    FPainter->setClipRect(cell, Qt::IntersectClip);
    FPainter->setFont(FFont);
    FPainter->setPen(FFontColor);
    FPainter->drawText(inner, flags, text);
    FPainter->restore();
}
