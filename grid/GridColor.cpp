#include "GridColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace
{
QPalette::ColorRole SystemRole(quint32 index)
{
    switch (index) {
    case 0x05:
        return QPalette::Base;
    case 0x08:
        return QPalette::Text;
    case 0x0D:
        return QPalette::Highlight;
    case 0x0E:
        return QPalette::HighlightedText;
    case 0x10:
        return QPalette::Dark;
    case 0x14:
        return QPalette::Light;
    default:
        return QPalette::Button;
    }
}
} // namespace

QColor ColorToQColor(TColor color)
{
    const quint32 value = quint32(color);
    if (color == TColor::clNone) return {};
    if ((value & 0xFF000000u) == 0xFF000000u)
        return QGuiApplication::palette().color(QPalette::Active, SystemRole(value & 0xFFu));
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}
