#include "Arrow.h"

#include <QLine>
#include <QPainter>
#include <QVector>

#include <cmath>

namespace {

// The single-precision value of pi: the angle is truncated to whole degrees after the division,
// and this is the divisor the arrows have always been drawn with.
constexpr double kPi = 3.1415927410125732;

} // namespace

int arrowAngle(int dx, int dy) {
    if (dx == 0)
        return dy > 0 ? 90 : 270;
    const float radians = static_cast<float>(std::atan(static_cast<double>(dy) / dx));
    int degrees = static_cast<int>(radians * 180 / kPi);
    if (dx < 0)
        degrees += 180;
    else if (dy < 0)
        degrees += 360;
    return degrees;
}

void Arrow::draw(QPainter* painter) {
    applyStrokePen(painter);
    const int dx = end.x() - start.x();
    const int dy = end.y() - start.y();
    const int len = static_cast<int>(std::sqrt(static_cast<float>(dx * dx + dy * dy)));
    if (len < 10)
        return;
    painter->save();
    painter->translate(QPointF(start));
    painter->rotate(arrowAngle(dx, dy));
    // The shaft, then two barbs 8 pixels back and 4 aside.
    const QVector<QLine> lines{QLine(0, 0, len, 0), QLine(len, 0, len - 8, -4),
                               QLine(len, 0, len - 8, 4)};
    painter->drawLines(lines);
    painter->restore();
}
