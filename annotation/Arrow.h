#pragma once

#include "AbstractShape.h"

// A line from the press point with an open head at the end point. The head has a fixed size
// whatever the line width, and an arrow shorter than 10 pixels is not drawn at all.
class Arrow : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { end = pt; }
};

// The direction from the start to (start + (dx, dy)) in whole degrees, clockwise from the
// positive x axis with y growing downwards.
int arrowAngle(int dx, int dy);
