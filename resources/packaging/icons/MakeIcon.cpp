// Draws the program's icon: a product list whose one column has been given a
// new value in every row. Writes massamend-<size>.png for the freedesktop
// hicolor sizes into the folder given as argument.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace
{

const QColor Ground(0x2b, 0x6a, 0x8c);
const QColor GroundEdge(0x1d, 0x4e, 0x69);
const QColor Sheet(0xff, 0xff, 0xff);
const QColor Header(0xd6, 0xe2, 0xea);
const QColor Rule(0xb4, 0xc3, 0xcd);
const QColor Amended(0xf2, 0x9b, 0x1d);
const QColor AmendedEdge(0xc8, 0x76, 0x0a);

// On a 256-unit square; smaller sizes leave out the rules they can't show.
void Draw(QPainter& p, int size)
{
    p.scale(size / 256.0, size / 256.0);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(GroundEdge, 6));
    p.setBrush(Ground);
    p.drawRoundedRect(QRectF(11, 11, 234, 234), 40, 40);

    const QRectF sheet(44, 52, 168, 152);
    p.setPen(Qt::NoPen);
    p.setBrush(Sheet);
    p.drawRoundedRect(sheet, 10, 10);

    p.save();
    QPainterPath clip;
    clip.addRoundedRect(sheet, 10, 10);
    p.setClipPath(clip);
    p.setBrush(Header);
    p.drawRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 34));
    // The changed column, from its title down through every row.
    p.setBrush(Amended);
    p.drawRect(QRectF(118, sheet.top() + 34, 44, sheet.height() - 34));
    p.setBrush(AmendedEdge);
    p.drawRect(QRectF(118, sheet.top(), 44, 34));
    p.restore();

    if (size >= 32) {
        p.setPen(QPen(Rule, size >= 64 ? 4 : 6));
        for (int y = 120; y < 204; y += 28)
            p.drawLine(QPointF(sheet.left() + 4, y - 2), QPointF(sheet.right() - 4, y - 2));
        p.drawLine(QPointF(86, sheet.top() + 34), QPointF(86, sheet.bottom() - 4));
        p.drawLine(QPointF(190, sheet.top() + 34), QPointF(190, sheet.bottom() - 4));
    }

    // A downward arrow over the title: the value goes into every row.
    QPainterPath arrow;
    arrow.moveTo(140, 98);
    arrow.lineTo(124, 74);
    arrow.lineTo(134, 74);
    arrow.lineTo(134, 58);
    arrow.lineTo(146, 58);
    arrow.lineTo(146, 74);
    arrow.lineTo(156, 74);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Sheet);
    p.drawPath(arrow);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Draw(painter, size);
        painter.end();
        const QString path = folder.filePath(QStringLiteral("massamend-%1.png").arg(size));
        if (!image.save(path)) {
            std::fprintf(stderr, "can't write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
