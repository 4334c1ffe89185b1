#include "ShapeText.h"

#include "TextFont.h"

#include <QPainter>

void ShapeText::draw(QPainter* painter) {
    applyStrokePen(painter);
    painter->setFont(annotationTextFont());
    painter->drawText(rect, Qt::AlignLeft, text);
}
