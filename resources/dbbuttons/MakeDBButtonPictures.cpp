// Draws the data-aware buttons' standard pictures: for each kind a strip of
// two images side by side, the normal look and the disabled look, in 16
// colours, written as DBN_<kind>.png into the folder given as argument.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cstdio>
#include <functional>

namespace
{
using Draw = std::function<void(QPainter&, const QColor&)>;

// The classic 16-colour palette; entry 0 stands for the transparent ground.
const QList<QRgb> Palette{
    qRgba(0, 0, 0, 0),   qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(0, 0, 0),     qRgb(0, 255, 255), qRgb(255, 255, 255)};

const QColor Ink(0, 0, 0);
const QColor Navy(0, 0, 128);
const QColor Green(0, 128, 0);
const QColor Maroon(128, 0, 0);
const QColor Shadow(128, 128, 128);
const QColor Highlight(255, 255, 255);

void Triangle(QPainter& p, const QColor& c, int x, int y, int w, int h, bool left)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int i = 0; i < w; ++i) {
        const int col = left ? x + i : x + w - 1 - i;
        const int half = i * (h / 2) / qMax(1, w - 1);
        p.drawRect(col, y + h / 2 - half, 1, 2 * half + 1);
    }
}

void Bar(QPainter& p, const QColor& c, int x, int y, int w, int h)
{
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRect(x, y, w, h);
}

// One image: the picture in its colours, or, for the disabled look, etched:
// a white copy one pixel down and right under a grey one.
QImage Image(int width, int height, const Draw& draw, bool disabled)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    if (disabled) {
        p.translate(1, 1);
        draw(p, Highlight);
        p.translate(-1, -1);
        draw(p, Shadow);
    } else {
        draw(p, QColor());
    }
    return image;
}

QImage Indexed(const QImage& argb)
{
    QImage out(argb.size(), QImage::Format_Indexed8);
    out.setColorTable(Palette);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb px = argb.pixel(x, y);
            int best = 0;
            if (qAlpha(px) >= 128) {
                int bestDistance = INT_MAX;
                for (int i = 1; i < Palette.size(); ++i) {
                    const int dr = qRed(px) - qRed(Palette[i]);
                    const int dg = qGreen(px) - qGreen(Palette[i]);
                    const int db = qBlue(px) - qBlue(Palette[i]);
                    const int distance = dr * dr + dg * dg + db * db;
                    if (distance < bestDistance) {
                        bestDistance = distance;
                        best = i;
                    }
                }
            }
            out.setPixel(x, y, best);
        }
    return out;
}

QImage Strip(int imageWidth, const Draw& draw)
{
    const int height = 13;
    QImage argb(imageWidth * 2, height, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    QPainter p(&argb);
    p.drawImage(0, 0, Image(imageWidth, height, draw, false));
    p.drawImage(imageWidth, 0, Image(imageWidth, height, draw, true));
    p.end();
    return Indexed(argb);
}

QColor Or(const QColor& c, const QColor& normal)
{
    return c.isValid() ? c : normal;
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    struct Picture {
        const char* name;
        int width;
        Draw draw;
    };
    const QList<Picture> pictures{
        {"FIRST", 14,
         [](QPainter& p, const QColor& c) {
             Bar(p, Or(c, Ink), 3, 2, 2, 9);
             Triangle(p, Or(c, Ink), 5, 2, 5, 9, true);
         }},
        {"PRIOR", 10,
         [](QPainter& p, const QColor& c) { Triangle(p, Or(c, Ink), 2, 2, 5, 9, true); }},
        {"NEXT", 10,
         [](QPainter& p, const QColor& c) { Triangle(p, Or(c, Ink), 2, 2, 5, 9, false); }},
        {"LAST", 14,
         [](QPainter& p, const QColor& c) {
             Triangle(p, Or(c, Ink), 3, 2, 5, 9, false);
             Bar(p, Or(c, Ink), 8, 2, 2, 9);
         }},
        {"INSERT", 14,
         [](QPainter& p, const QColor& c) {
             Bar(p, Or(c, Ink), 2, 5, 9, 2);
             Bar(p, Or(c, Ink), 6, 1, 2, 10);
         }},
        {"DELETE", 14, [](QPainter& p, const QColor& c) { Bar(p, Or(c, Ink), 2, 5, 9, 2); }},
        {"EDIT", 14,
         [](QPainter& p, const QColor& c) {
             p.setPen(Qt::NoPen);
             p.setBrush(Or(c, Ink));
             for (int i = 0; i < 5; ++i)
                 p.drawRect(6 - i, 3 + i, 2 * i + 1, 1);
             Bar(p, Or(c, Ink), 2, 9, 9, 1);
         }},
        {"POST", 14,
         [](QPainter& p, const QColor& c) {
             p.setPen(QPen(Or(c, Green), 2));
             p.drawPolyline(QPolygon{QPoint(2, 6), QPoint(5, 9), QPoint(11, 3)});
         }},
        {"CANCEL", 14,
         [](QPainter& p, const QColor& c) {
             p.setPen(QPen(Or(c, Maroon), 2));
             p.drawLine(3, 3, 10, 10);
             p.drawLine(10, 3, 3, 10);
         }},
        {"REFRESH", 14,
         [](QPainter& p, const QColor& c) {
             p.setPen(QPen(Or(c, Navy), 2));
             p.drawArc(QRect(3, 3, 8, 8), 90 * 16, 270 * 16);
             p.setPen(Qt::NoPen);
             p.setBrush(Or(c, Navy));
             p.drawPolygon(QPolygon{QPoint(7, 0), QPoint(11, 3), QPoint(7, 6)});
         }},
    };
    for (const Picture& picture : pictures) {
        const QString file = folder.filePath(QStringLiteral("DBN_%1.png").arg(picture.name));
        if (!Strip(picture.width, picture.draw).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
