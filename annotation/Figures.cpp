#include "Figures.h"

#include <QLine>
#include <QPainter>
#include <QRect>

void Line::draw(QPainter* painter) {
    applyStrokePen(painter);
    const QLine line(start, end);
    painter->drawLines(&line, 1);
}

void Trangle::draw(QPainter* painter) {
    painter->setPen(pen);
    painter->setBrush(brush);
    applyStrokePen(painter);
    // Truncated like the integer midpoint it has always been, so a triangle keeps its pixels.
    const int midX = (start.x() + end.x()) / 2;
    const QLine left(midX, start.y(), start.x(), end.y());
    const QLine right(midX, start.y(), end.x(), end.y());
    const QLine base(start.x(), end.y(), end.x(), end.y());
    painter->drawLines(&left, 1);
    painter->drawLines(&right, 1);
    painter->drawLines(&base, 1);
}

namespace Papyra {

void Rectangle::draw(QPainter* painter) {
    applyStrokePen(painter);
    // Built from the two corners as they are: the painter normalises a drag up or left.
    const QRect box(start, end);
    painter->drawRects(&box, 1);
}

} // namespace Papyra

void ZoEllipse::draw(QPainter* painter) {
    applyStrokePen(painter);
    painter->drawEllipse(QRect(start, end));
}
