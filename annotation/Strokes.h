#pragma once

#include "AbstractShape.h"

#include <QVector>

// Shapes that follow the mouse: the positions of every move while the button is held, in order;
// the press point is not among them.

// The free-hand pen: an open polyline through the points.
class Curve : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { points.append(pt); }

    QVector<QPoint> points;
};

// Punches a 40-pixel transparent disc at every point into what the shapes before it painted;
// shapes after it paint over the cleared area again. Points are not joined, so a fast stroke
// leaves a chain of separate discs.
class Eraser : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { points.append(pt); }

    QVector<QPoint> points;
};
