#include "Pixels.h"

#include "QBasePlate.h"
#include "Settings.h"
#include "Tools.h"

#include <QMouseEvent>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// The input layer above the canvas hands on its mouse events in the canvas's coordinates.
void send(QBasePlate& canvas, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), QPointF(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    if (type == QEvent::MouseButtonPress)
        canvas.mousePressEvent(&event);
    else if (type == QEvent::MouseMove)
        canvas.mouseMoveEvent(&event);
    else
        canvas.mouseReleaseEvent(&event);
}

void click(QBasePlate& canvas, QPoint at) {
    send(canvas, QEvent::MouseButtonPress, at);
    send(canvas, QEvent::MouseButtonRelease, at);
}

// A drag in steps of at most 10 pixels, as a hand moves the mouse.
void drag(QBasePlate& canvas, QPoint from, QPoint to) {
    send(canvas, QEvent::MouseButtonPress, from);
    const QPoint delta = to - from;
    const int steps = std::max(1, std::max(std::abs(delta.x()), std::abs(delta.y())) / 10);
    for (int i = 1; i <= steps; ++i)
        send(canvas, QEvent::MouseMove, from + delta * i / steps);
    send(canvas, QEvent::MouseButtonRelease, to);
}

QTextEdit* textBox(QBasePlate& canvas) {
    return canvas.findChild<QTextEdit*>();
}

class CanvasTest : public ::testing::Test {
protected:
    Settings settings;
    QBasePlate canvas{settings};
};

} // namespace

TEST_F(CanvasTest, PressWithoutMovementLeavesADotOnlyForFigures) {
    for (const int tool : {tool::kLine, tool::kTriangle, tool::kRectangle, tool::kEllipse}) {
        SCOPED_TRACE(tool);
        canvas.clear();
        canvas.setTool(tool);
        click(canvas, QPoint(50, 50));
        EXPECT_GT(inkIn(paintedBy(canvas), around(QPoint(50, 50))), 0);
    }
    for (const int tool : {tool::kPen, tool::kArrow, tool::kEraser}) {
        SCOPED_TRACE(tool);
        canvas.clear();
        canvas.setTool(tool);
        click(canvas, QPoint(50, 50));
        EXPECT_EQ(inkIn(paintedBy(canvas), canvas.rect()), 0);
    }
}

TEST_F(CanvasTest, EraserClearsOnlyWhatWasDrawnBeforeIt) {
    canvas.setTool(tool::kEraser);
    drag(canvas, QPoint(20, 150), QPoint(380, 150)); // nothing to erase yet
    EXPECT_FALSE(canvas.cursor().pixmap().isNull());

    canvas.setTool(tool::kLine);
    drag(canvas, QPoint(20, 100), QPoint(380, 100));
    canvas.setTool(tool::kEraser);
    drag(canvas, QPoint(200, 80), QPoint(200, 120));
    canvas.setTool(tool::kPen);
    drag(canvas, QPoint(190, 100), QPoint(210, 100)); // into the erased gap: from 200 to 210

    const QImage painted = paintedBy(canvas);
    EXPECT_EQ(qAlpha(painted.pixel(50, 100)), 255);  // the line beyond the eraser's reach
    EXPECT_EQ(qAlpha(painted.pixel(205, 100)), 255); // the later stroke
    EXPECT_EQ(inkIn(painted, around(QPoint(185, 100))), 0);
    EXPECT_EQ(inkIn(painted, around(QPoint(215, 150))), 0);
}

TEST_F(CanvasTest, NoToolDrawsNothingAndClosesTheTextBox) {
    canvas.setTool(tool::kText);
    click(canvas, QPoint(40, 40));
    ASSERT_NE(textBox(canvas), nullptr);
    const int shapes = canvas.shapeCount();

    canvas.setTool(tool::kNone);
    drag(canvas, QPoint(20, 20), QPoint(200, 200));
    EXPECT_EQ(textBox(canvas), nullptr);
    EXPECT_EQ(canvas.currentShape(), nullptr);
    EXPECT_EQ(canvas.shapeCount(), shapes);
    EXPECT_EQ(inkIn(paintedBy(canvas), canvas.rect()), 0);
    canvas.setTextItemContent(); // no text shape to follow: nothing happens
}

TEST_F(CanvasTest, TextBoxGrowsWithTheTextAndMovesOnTheNextPress) {
    canvas.resize(800, 400);
    canvas.setColor(QColor(0, 0, 255));
    canvas.setTool(tool::kText);
    click(canvas, QPoint(40, 40));
    QTextEdit* box = textBox(canvas);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget()->pos(), QPoint(38, 38));
    QTest::keyClicks(box, "i");
    EXPECT_EQ(box->width(), 100);
    QTest::keyClicks(box, "WWWW");
    const int wide = box->width();
    EXPECT_GT(wide, 100);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_LT(box->width(), wide);
    QTest::keyClicks(box, "W");

    click(canvas, QPoint(40, 250));
    QTextEdit* moved = textBox(canvas);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->parentWidget()->pos(), QPoint(38, 248));
    EXPECT_TRUE(moved->toPlainText().isEmpty());
    EXPECT_EQ(canvas.shapeCount(), 2);

    // The first text stays, drawn in the canvas's colour where it was typed.
    const QImage painted = paintedBy(canvas);
    const QRect typed(40, 40, wide, 80);
    EXPECT_GT(inkIn(painted, typed), 500);
    EXPECT_EQ(inkIn(painted, QRect(0, 200, 800, 200)), 0);
    int blue = 0;
    for (int y = typed.top(); y <= typed.bottom(); ++y)
        for (int x = typed.left(); x <= typed.right(); ++x)
            blue += painted.pixel(x, y) == qRgba(0, 0, 255, 255) ? 1 : 0;
    EXPECT_GT(blue, 100);
}

TEST_F(CanvasTest, ClearKeepsToolColourWidthAndOpacity) {
    EXPECT_EQ(canvas.lineWidth(), settings.lineWidth);
    EXPECT_EQ(canvas.opacity(), settings.opcity);
    EXPECT_EQ(canvas.color(), QColor(settings.rval, settings.gval, settings.bval));
    canvas.setTool(tool::kRectangle);
    canvas.setColor(QColor(0, 0, 255));
    canvas.setLineWidth(9);
    canvas.setOpacity(120);
    drag(canvas, QPoint(20, 20), QPoint(100, 100));
    canvas.clear();
    EXPECT_EQ(canvas.shapeCount(), 0);
    EXPECT_EQ(canvas.currentShape(), nullptr);
    EXPECT_EQ(inkIn(paintedBy(canvas), canvas.rect()), 0);

    drag(canvas, QPoint(200, 100), QPoint(300, 200));
    const QRgb edge = paintedBy(canvas).pixel(250, 100);
    EXPECT_NEAR(qAlpha(edge), 120, 1);
    EXPECT_GT(qBlue(edge), 0);
    EXPECT_EQ(qRed(edge), 0);
    EXPECT_GT(inkIn(paintedBy(canvas), around(QPoint(250, 104), 0)), 0); // 9 pixels wide
}

TEST(CanvasWindowTest, HidingClosesTheTextBoxAndKeepsTheShapes) {
    Settings settings;
    QWidget presentation;
    presentation.resize(400, 300);
    QBasePlate canvas(settings, &presentation);
    presentation.show();
    canvas.setTool(tool::kText);
    click(canvas, QPoint(20, 20));
    QTest::keyClicks(textBox(canvas), "A");
    canvas.hide();
    EXPECT_EQ(textBox(canvas), nullptr);
    canvas.show();
    EXPECT_EQ(canvas.shapeCount(), 1);
    EXPECT_GT(inkIn(paintedBy(canvas), canvas.rect()), 0);
}

TEST(CanvasWindowTest, CtrlZTakesBackTheLastShapeUnlessTheTextBoxHasFocus) {
    Settings settings;
    QWidget presentation;
    presentation.resize(400, 300);
    QBasePlate canvas(settings, &presentation);
    presentation.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&presentation));

    canvas.setTool(tool::kLine);
    drag(canvas, QPoint(20, 50), QPoint(380, 50));
    canvas.setTool(tool::kRectangle);
    drag(canvas, QPoint(50, 100), QPoint(150, 200));
    QTest::keyClick(&presentation, Qt::Key_Z, Qt::ControlModifier);
    QImage painted = paintedBy(canvas);
    EXPECT_GT(inkIn(painted, around(QPoint(200, 50))), 0);
    EXPECT_EQ(inkIn(painted, around(QPoint(100, 100))), 0);

    canvas.setTool(tool::kText);
    click(canvas, QPoint(50, 150));
    QTextEdit* box = textBox(canvas);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->hasFocus(); }));
    QTest::keyClicks(box, "AB");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(box->toPlainText(), "AB"); // the typing was taken back, not a shape
    EXPECT_EQ(canvas.shapeCount(), 2);

    canvas.setTool(tool::kNone);
    click(canvas, QPoint(300, 250)); // closes the box
    QTest::keyClick(&presentation, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&presentation, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(canvas.shapeCount(), 0);
    EXPECT_EQ(inkIn(paintedBy(canvas), canvas.rect()), 0);
}
