#include "Figures.h"

#include <QLine>
#include <QPainter>
#include <QRect>

namespace {

// The painter strokes nothing for a line of no length; a press without a drag still leaves the
// dot of the pen's width that the user sees for the other figures.
void drawSegment(QPainter* painter, const QLine& line) {
    if (line.p1() == line.p2())
        painter->drawPoint(line.p1());
    else
        painter->drawLines(&line, 1);
}

} // namespace

void Line::draw(QPainter* painter) {
    applyStrokePen(painter);
    drawSegment(painter, QLine(start, end));
}

void Trangle::draw(QPainter* painter) {
    painter->setPen(pen);
    painter->setBrush(brush);
    applyStrokePen(painter);
    // Truncated like the integer midpoint it has always been, so a triangle keeps its pixels.
    const int midX = (start.x() + end.x()) / 2;
    drawSegment(painter, QLine(midX, start.y(), start.x(), end.y()));
    drawSegment(painter, QLine(midX, start.y(), end.x(), end.y()));
    drawSegment(painter, QLine(start.x(), end.y(), end.x(), end.y()));
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
