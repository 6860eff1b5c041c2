#include "GetdataPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace
{

QImage Draw(const std::function<void(QPainter&)>& paint)
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

QPen Pen(const QColor& color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

QImage GetdataPictures::AddCondition()
{
    return Draw([](QPainter& p) {
        p.setPen(Pen(QColor(0, 128, 0), 3));
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
    });
}

QImage GetdataPictures::Search()
{
    return Draw([](QPainter& p) {
        p.setPen(Pen(QColor(0, 0, 128), 2));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QRectF(2, 2, 8, 8));
        p.setPen(Pen(QColor(96, 64, 0), 3));
        p.drawLine(QPointF(10, 10), QPointF(14, 14));
    });
}

QImage GetdataPictures::Reset()
{
    return Draw([](QPainter& p) {
        p.setPen(Pen(QColor(0, 96, 160), 2));
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        QPainterPath head;
        head.moveTo(8, 0.5);
        head.lineTo(12, 3);
        head.lineTo(8, 5.5);
        head.closeSubpath();
        p.setBrush(QColor(0, 96, 160));
        p.drawPath(head);
    });
}

QImage GetdataPictures::Ok()
{
    return Draw([](QPainter& p) {
        p.setPen(Pen(QColor(0, 128, 0), 3));
        p.drawPolyline(QList<QPointF>{{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}});
    });
}

QImage GetdataPictures::Cancel()
{
    return Draw([](QPainter& p) {
        p.setPen(Pen(QColor(192, 0, 0), 3));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}
