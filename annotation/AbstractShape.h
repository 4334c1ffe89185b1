#pragma once

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPoint>
#include <QWidget>

class QPainter;

// One stroke or figure drawn over the live picture. The widget base only carries the meta-object
// and the two slots: a shape is never shown, parented or laid out. The canvas turns mouse events
// into calls on the shape and hands it a painter on every repaint.
class AbstractShape : public QWidget {
    Q_OBJECT

public:
    AbstractShape();

    // Paints the shape; the canvas calls it for each shape in list order.
    virtual void draw(QPainter* painter) = 0;
    // The mouse moved to `pt` while the button is held.
    virtual void extendTo(QPoint pt) = 0;

    void setLineWidth(int width) { lineWidth = width; }
    void setColor(const QColor& c) { color = c; }
    void setAlpha(int a) { alpha = a; }

    QPoint start;
    QPoint end;
    QBrush brush;
    QPen pen;
    int lineWidth = 2;
    QColor color = Qt::red;
    int alpha = 255; // applied to `color` at every draw, so a later change shows on the next paint
    int type = 0;    // the tool id that made the shape

public slots:
    void setPen(QPen p) { pen = p; }
    void setBrush(QBrush b) { brush = b; }

protected:
    // Gives `color` the shape's alpha and sets the round-capped solid stroke of `lineWidth` on
    // the painter; every shape but the eraser draws with it.
    void applyStrokePen(QPainter* painter);
};
