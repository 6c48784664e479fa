#include "app/StatusSymbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace {

void drawCircle(QPainter& painter, const QColor& color, qreal side)
{
    const qreal pen = side / 10;
    painter.setPen(QPen(color, pen));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = side * 0.15;
    painter.drawEllipse(QRectF(inset, inset, side - 2 * inset, side - 2 * inset));
}

void drawRadioWaves(QPainter& painter, const QColor& color, qreal side)
{
    const QPointF centre(side / 2, side / 2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(centre, side * 0.11, side * 0.11);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, side / 11, Qt::SolidLine, Qt::RoundCap));
    for (const qreal radius : {side * 0.26, side * 0.42}) {
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        // Sixteenths of a degree: one arc to the right, one to the left.
        painter.drawArc(box, -45 * 16, 90 * 16);
        painter.drawArc(box, 135 * 16, 90 * 16);
    }
}

void drawWarning(QPainter& painter, const QColor& color, qreal side)
{
    QPainterPath triangle;
    triangle.moveTo(side / 2, side * 0.06);
    triangle.lineTo(side * 0.96, side * 0.9);
    triangle.lineTo(side * 0.04, side * 0.9);
    triangle.closeSubpath();
    painter.setPen(QPen(color, side / 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(color);
    painter.drawPath(triangle);
    painter.setPen(QPen(Qt::white, side / 9, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(side / 2, side * 0.36), QPointF(side / 2, side * 0.6));
    painter.drawPoint(QPointF(side / 2, side * 0.76));
}

// A clock face for waiting: it stands still, unlike the spinner, so that a
// long wait costs no repaints between its once-a-second texts.
void drawClock(QPainter& painter, const QColor& color, qreal side)
{
    drawCircle(painter, color, side);
    const QPointF centre(side / 2, side / 2);
    painter.setPen(QPen(color, side / 10, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre - QPointF(0, side * 0.24));
    painter.drawLine(centre, centre + QPointF(side * 0.18, 0));
}

} // namespace

QPixmap statusSymbol(StatusSymbol symbol, const QColor& color, int side, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (symbol) {
    case StatusSymbol::circle:
        drawCircle(painter, color, side);
        break;
    case StatusSymbol::radioWaves:
        drawRadioWaves(painter, color, side);
        break;
    case StatusSymbol::warning:
        drawWarning(painter, color, side);
        break;
    case StatusSymbol::clock:
        drawClock(painter, color, side);
        break;
    }
    return pixmap;
}
