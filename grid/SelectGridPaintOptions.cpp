#include "SelectGridPaintOptions.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>

using enum TBackgroundOption;

TSelectGridPaintOptions::TSelectGridPaintOptions(QWidget* grid) : FGrid(grid) {}

void TSelectGridPaintOptions::Changed()
{
    FPaintImagesStale = true;
    if (FGrid) FGrid->update();
}

void TSelectGridPaintOptions::SetBackgroundBitmap(const QImage& picture)
{
    FBackgroundBitmap = picture;
    Changed();
}

void TSelectGridPaintOptions::SetBackgroundDrawStyle(TBackgroundDrawStyle style)
{
    FBackgroundDrawStyle = style;
    Changed();
}

void TSelectGridPaintOptions::SetBackgroundOptions(TBackgroundOptions options)
{
    FBackgroundOptions = options;
    Changed();
}

void TSelectGridPaintOptions::SetAlternatingRowColor(TColor color)
{
    FAlternatingRowColor = color;
    Changed();
}

void TSelectGridPaintOptions::SetAlternatingRowRegions(TAlternatingRowRegions regions)
{
    FAlternatingRowRegions = regions;
    if (FGrid) FGrid->update();
}

void TSelectGridPaintOptions::SetActiveRecordColor(TColor color)
{
    FActiveRecordColor = color;
    Changed();
}

void TSelectGridPaintOptions::Discard()
{
    FBackgroundImage = FAlternatingTint = FFixedColumnTint = FFixedRowTint = FActiveRecordTint =
        QImage();
}

QImage TSelectGridPaintOptions::DrawBackground(const QImage& picture, TBackgroundDrawStyle style,
                                               QSize size)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    const int width = size.width(), height = size.height();
    const int w = picture.width(), h = picture.height();
    switch (style) {
    case TBackgroundDrawStyle::bdsTile:
        for (int i = 0; i <= width / w; ++i)
            for (int j = 0; j <= height / h; ++j)
                painter.drawImage(w * i, h * j, picture);
        break;
    case TBackgroundDrawStyle::bdsStretch:
        // Plain pixel stretching, as the old screen copies did: no smoothing.
        painter.drawImage(QRect(0, 0, width, height), picture);
        break;
    case TBackgroundDrawStyle::bdsTopLeft:
        painter.drawImage(0, 0, picture);
        break;
    case TBackgroundDrawStyle::bdsCenter:
        painter.drawImage((width - w) / 2, (height - h) / 2, picture);
        break;
    }
    return canvas;
}

void TSelectGridPaintOptions::Tint(QImage& image, const QColor& color)
{
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    const int dr = color.red() / 2 - 128, dg = color.green() / 2 - 128, db = color.blue() / 2 - 128;
    const auto channel = [](int value, int delta) { return std::clamp(value + delta, 0, 255); };
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(channel(qRed(p), dr), channel(qGreen(p), dg), channel(qBlue(p), db));
        }
    }
}

void TSelectGridPaintOptions::PrepareImages(QSize size, const QColor& titleColor,
                                            int firstRowHeight, int screenDepth)
{
    FPaintImagesStale = false;
    Discard();
    if (FBackgroundBitmap.isNull() || size.isEmpty() || screenDepth <= 8) return;
    FBackgroundImage = DrawBackground(FBackgroundBitmap, FBackgroundDrawStyle, size);
    const QColor alternating = ColorToQColor(FAlternatingRowColor);
    if (FBackgroundOptions.Contains(coBlendAlternatingRow) && alternating.isValid() &&
        !FAlternatingRowRegions.Empty()) {
        FAlternatingTint = FBackgroundImage.copy();
        Tint(FAlternatingTint, alternating);
    }
    if (FBackgroundOptions.Contains(coBlendFixedColumn)) {
        FFixedColumnTint = FBackgroundImage.copy();
        if (titleColor.isValid()) Tint(FFixedColumnTint, titleColor);
    }
    if (FBackgroundOptions.Contains(coBlendFixedRow)) {
        FFixedRowTint = FBackgroundImage.copy(0, 0, size.width(), std::max(1, firstRowHeight));
        if (titleColor.isValid()) Tint(FFixedRowTint, titleColor);
    }
    const QColor active = ColorToQColor(FActiveRecordColor);
    if (FBackgroundOptions.Contains(coBlendActiveRecord) && active.isValid()) {
        FActiveRecordTint = FBackgroundImage.copy();
        Tint(FActiveRecordTint, active);
    }
}
