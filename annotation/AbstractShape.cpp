#include "AbstractShape.h"

#include <QPainter>

AbstractShape::AbstractShape() : QWidget(nullptr, Qt::WindowFlags()) {
    setBackgroundRole(QPalette::Base);
}

void AbstractShape::applyStrokePen(QPainter* painter) {
    color.setAlpha(alpha);
    painter->setPen(QPen(QBrush(color, Qt::SolidPattern), static_cast<qreal>(lineWidth),
                         Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}
