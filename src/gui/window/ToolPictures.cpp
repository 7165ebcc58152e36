#include "gui/window/ToolPictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int Width = 24;
constexpr int Height = 23;

QImage canvas()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    return image;
}

void drawCurvedArrow(QPainter &p)
{
    // Curves from the bottom right up and back to the left.
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bend;
    bend.moveTo(17.5, 19.5);
    bend.cubicTo(23.0, 14.0, 21.0, 6.5, 11.0, 7.5);
    p.setPen(QPen(QColor(0, 0, 150), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bend);
    QPainterPath head;
    head.moveTo(3.0, 7.5);
    head.lineTo(11.5, 1.5);
    head.lineTo(11.5, 13.5);
    head.closeSubpath();
    p.setPen(QPen(QColor(0, 0, 100), 1.0));
    p.setBrush(QColor(0, 0, 150));
    p.drawPath(head);
}

} // namespace

namespace ToolPictures {

QPixmap diskette()
{
    QImage image = canvas();
    QPainter p(&image);
    const QPolygon body({{2, 1}, {19, 1}, {21, 3}, {21, 21}, {2, 21}});
    p.setPen(Qt::black);
    p.setBrush(QColor(40, 40, 120));
    p.drawPolygon(body);
    // Metal shutter with its slot.
    p.setBrush(QColor(210, 210, 210));
    p.drawRect(6, 1, 10, 7);
    p.fillRect(12, 2, 3, 5, QColor(40, 40, 120));
    // Label.
    p.setBrush(Qt::white);
    p.drawRect(5, 12, 13, 9);
    p.setPen(QColor(0, 0, 160));
    p.drawLine(7, 15, 16, 15);
    p.drawLine(7, 18, 16, 18);
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap openingFolder()
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(96, 64, 0);
    p.setPen(outline);
    p.setBrush(QColor(200, 160, 40));
    p.drawPolygon(QPolygonF({{1.5, 8.5}, {6.5, 8.5}, {8.5, 10.5}, {16.5, 10.5}, {16.5, 21.5}, {1.5, 21.5}}));
    // The open front flap.
    p.setBrush(QColor(255, 222, 90));
    p.drawPolygon(QPolygonF({{1.5, 21.5}, {5.5, 13.5}, {22.5, 13.5}, {17.5, 21.5}}));
    // Arrow rising out of the folder and turning down to the right.
    QPainterPath rise;
    rise.moveTo(10.0, 11.0);
    rise.quadTo(12.0, 2.0, 19.0, 3.5);
    p.setPen(QPen(QColor(0, 120, 0), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rise);
    p.setPen(QPen(QColor(0, 90, 0), 1.0));
    p.setBrush(QColor(0, 140, 0));
    p.drawPolygon(QPolygonF({{16.0, 1.0}, {23.0, 4.0}, {17.0, 8.0}}));
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap undoArrow()
{
    QImage image = canvas();
    QPainter p(&image);
    drawCurvedArrow(p);
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap redoArrow()
{
    return QPixmap::fromImage(undoArrow().toImage().mirrored(true, false));
}

} // namespace ToolPictures
