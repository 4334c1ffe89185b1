#include "Pixels.h"

#include "Arrow.h"
#include "Figures.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage draw(AbstractShape& shape) {
    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    shape.draw(&painter);
    return image;
}

} // namespace

TEST(ShapesTest, ArrowShorterThanTenPixelsIsNotDrawn) {
    Arrow arrow;
    arrow.start = QPoint(50, 50);
    arrow.end = QPoint(59, 50);
    EXPECT_EQ(inkIn(draw(arrow), QRect(0, 0, 200, 200)), 0);

    arrow.end = QPoint(60, 50);
    const QImage drawn = draw(arrow);
    EXPECT_GT(inkIn(drawn, around(QPoint(55, 50))), 0);    // shaft
    EXPECT_GT(inkIn(drawn, around(QPoint(53, 46), 1)), 0); // upper barb, clear of the shaft
    EXPECT_GT(inkIn(drawn, around(QPoint(53, 54), 1)), 0); // lower barb
}

TEST(ShapesTest, ArrowPointsTheWayItWasDragged) {
    struct Case {
        QPoint delta;
        int angle;
    };
    const Case cases[] = {{{0, -40}, 270}, {{0, 40}, 90}, {{-40, 0}, 180}, {{40, 0}, 0}};
    const QPoint start(100, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(arrowAngle(c.delta.x(), c.delta.y()), c.angle);
        Arrow arrow;
        arrow.start = start;
        arrow.end = start + c.delta;
        const QImage drawn = draw(arrow);
        const QPoint along = c.delta / 40;         // one pixel towards the tip
        const QPoint aside(along.y(), -along.x()); // one pixel to the side
        EXPECT_GT(inkIn(drawn, around(start + along * 20)), 0);
        EXPECT_EQ(inkIn(drawn, around(start - along * 20)), 0);
        // Both barbs, 3 pixels to either side of the shaft 6 pixels back from the tip.
        EXPECT_GT(inkIn(drawn, around(start + along * 34 + aside * 3, 1)), 0);
        EXPECT_GT(inkIn(drawn, around(start + along * 34 - aside * 3, 1)), 0);
    }
}

TEST(ShapesTest, OpacityIsAppliedAtEveryDraw) {
    Line line;
    line.start = QPoint(20, 100);
    line.end = QPoint(180, 100);
    line.setLineWidth(6);
    line.setColor(QColor(0, 0, 255, 30)); // the colour's own alpha plays no part
    EXPECT_EQ(qAlpha(draw(line).pixel(100, 100)), 255);
    line.setAlpha(100);
    const QRgb faint = draw(line).pixel(100, 100);
    EXPECT_NEAR(qAlpha(faint), 100, 1);
    EXPECT_GT(qBlue(faint), qRed(faint));
}
