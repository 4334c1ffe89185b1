#include "Strokes.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

void Curve::draw(QPainter* painter) {
    painter->setPen(pen);
    painter->setBrush(brush);
    applyStrokePen(painter);
    if (points.size() >= 2) // a single point would leave a dot where the pen only rested
        painter->drawPolyline(QPolygonF(QPolygon(points)));
}

void Eraser::draw(QPainter* painter) {
    const QPainter::CompositionMode mode = painter->compositionMode();
    painter->setCompositionMode(QPainter::CompositionMode_Clear);
    for (const QPoint& p : points) {
        QPainterPath disc;
        disc.addEllipse(QRectF(QRect(p.x() - 20, p.y() - 20, 40, 40)));
        painter->fillPath(disc, QBrush(Qt::SolidPattern));
    }
    painter->setCompositionMode(mode);
}
