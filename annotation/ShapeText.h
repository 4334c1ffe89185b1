#pragma once

#include "AbstractShape.h"

#include <QRect>
#include <QString>

// Text typed into the canvas's text box, drawn left-aligned from the top of `rect` and clipped
// to it; the canvas keeps the rectangle sized to the text.
class ShapeText : public AbstractShape {
public:
    void draw(QPainter* painter) override;
    void extendTo(QPoint) override {}

    void setText(QString t) { text = std::move(t); }
    void setRect(QRect r) { rect = r; }

    QString text;
    QRect rect;
};
