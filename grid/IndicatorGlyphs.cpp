#include "IndicatorGlyphs.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <array>
#include <string_view>

namespace
{
using Pattern = std::array<std::string_view, 9>;

constexpr Pattern Current{"X....", "XX...", "XXX..", "XXXX.", "XXXXX",
                          "XXXX.", "XXX..", "XX...", "X...."};
constexpr Pattern Edit{"XX.XX", "..X..", "..X..", "..X..", "..X..",
                       "..X..", "..X..", "..X..", "XX.XX"};
constexpr Pattern Insert{".......", ".......", "...X...", "X..X..X", ".XXXXX.",
                         "X..X..X", "...X...", ".......", "......."};
constexpr Pattern Selected{".....", ".....", ".XXX.", "XXXXX", "XXXXX",
                           "XXXXX", ".XXX.", ".....", "....."};
constexpr Pattern CurrentSelected{"X........", "XX.......", "XXX......", "XXXX..XXX", "XXXXX.XXX",
                                  "XXXX..XXX", "XXX......", "XX.......", "X........"};

const Pattern& PatternOf(TIndicatorGlyph glyph)
{
    switch (glyph) {
    case TIndicatorGlyph::igEdit:
        return Edit;
    case TIndicatorGlyph::igInsert:
        return Insert;
    case TIndicatorGlyph::igSelected:
        return Selected;
    case TIndicatorGlyph::igCurrentSelected:
        return CurrentSelected;
    default:
        return Current;
    }
}

// Made once per glyph and colour: a paint draws one per visible row.
const QImage& GlyphImage(TIndicatorGlyph glyph, const QColor& color)
{
    static QHash<quint64, QImage> cache;
    const quint64 key = quint64(color.rgba()) << 8 | quint64(glyph);
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    const Pattern& pattern = PatternOf(glyph);
    QImage image(int(pattern[0].size()), int(pattern.size()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pattern[y][x] == 'X') image.setPixelColor(x, y, color);
    return *cache.insert(key, image);
}
} // namespace

QSize TIndicatorGlyphs::Size(TIndicatorGlyph glyph)
{
    const Pattern& pattern = PatternOf(glyph);
    return {int(pattern[0].size()), int(pattern.size())};
}

void TIndicatorGlyphs::Draw(QPainter& painter, const QRect& cell, int rowHeight,
                            TIndicatorGlyph glyph, const QColor& color)
{
    const QImage& image = GlyphImage(glyph, color);
    const int x = cell.left() + (cell.width() - image.width()) / 2;
    const int y = cell.top() + (rowHeight - image.height()) / 2;
    painter.drawImage(x, y, image);
}
