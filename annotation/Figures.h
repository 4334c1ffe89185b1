#pragma once

#include "AbstractShape.h"

// The figures spanned by the press point and the end point of a drag.

class Line : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { end = pt; }
};

// An isosceles triangle in the drag box: the apex at the middle of the edge through the press
// point, the base on the edge through the end point, so a drag upwards points it down.
class Trangle : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { end = pt; }
};

namespace Papyra {

class Rectangle : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { end = pt; }
};

} // namespace Papyra

class ZoEllipse : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint pt) override { end = pt; }
};
