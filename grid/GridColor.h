#pragma once

#include <QColor>
#include <QtGlobal>

// A colour as the stored forms write it: red in the low byte, then green,
// then blue. A top byte of 0xFF names a system colour, resolved from the
// application's palette when used; clNone is no colour at all. A scoped
// enumeration, so that it never passes silently for a QRgb, whose bytes run
// the other way.
enum class TColor : quint32 {
    clBlack = 0x000000,
    clSilver = 0xC0C0C0,
    clGray = 0x808080,
    clWhite = 0xFFFFFF,
    clNone = 0x1FFFFFFF,
    clWindow = 0xFF000005,
    clWindowText = 0xFF000008,
    clHighlight = 0xFF00000D,
    clHighlightText = 0xFF00000E,
    clBtnFace = 0xFF00000F,
    clBtnShadow = 0xFF000010,
    clBtnHighlight = 0xFF000014
};

constexpr TColor RGBToColor(int red, int green, int blue)
{
    return TColor(quint32(red & 0xFF) | quint32(green & 0xFF) << 8 | quint32(blue & 0xFF) << 16);
}

// The colour to paint with; an invalid QColor for clNone.
QColor ColorToQColor(TColor color);
