#include "CameraFixture.h"

#include "ZoApi.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest/QTest>

namespace {

using namespace app_test;

class PictureInPictureTest : public CameraTest {
protected:
    // Two cameras, the main one drawing, the sub camera floating over it.
    void SetUp() override {
        CameraTest::SetUp();
        form = makeFormWith(2, "DevIndex=0\nOpenSub=1\n");
        ASSERT_TRUE(waitForVideo(*form));
        pipFrom = traceLines().size();
        button(*form, "checkBoxInVideo")->click();
        small = form->smallWidget();
        ASSERT_TRUE(small->isVisible());
    }
    void TearDown() override {
        form.reset();
        CameraTest::TearDown();
    }

    // Presses at `local` in the floating window, moves the pointer by `delta` and releases.
    void drag(QPoint local, QPoint delta) {
        const QPoint global = small->pos() + local;
        send(QEvent::MouseButtonPress, local, global, Qt::LeftButton);
        send(QEvent::MouseMove, local + delta, global + delta, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, local + delta, global + delta, Qt::NoButton);
    }
    void send(QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(small, &event);
    }
    QPoint middle() const {
        const PipRegion& r = small->region();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    std::unique_ptr<MainForm> form;
    QSmallWidget* small = nullptr;
    int pipFrom = 0;
};

TEST_F(PictureInPictureTest, FloatingWindowOpensAtTheVideoBottomRightWithTheSubCamera) {
    EXPECT_EQ(small->size(), QSize(136, 100));
    EXPECT_EQ(small->region(), expectedRegion(*form));
    EXPECT_EQ(small->pos(), small->region().bottomRight());
    EXPECT_FALSE(form->zoomEnabled());
    QTest::keyClick(small, Qt::Key_Escape);
    EXPECT_TRUE(small->isVisible());
    EXPECT_EQ(traceLines().mid(pipFrom).filter(callWithWindow("ZoSetHwnd", 1, small)).size(), 1);
    const QStringList calls = callsSince(pipFrom);
    EXPECT_TRUE(calls.contains("ZoResetVideo(0)"));
    EXPECT_TRUE(calls.contains("ZoSetMouseMode(0, -1)"));
}

TEST_F(PictureInPictureTest, DraggingBeyondTheVideoStopsAtItsEdge) {
    drag(QPoint(68, 50), QPoint(-5000, -5000));
    EXPECT_EQ(small->pos(), small->region().topLeft());
    drag(QPoint(68, 50), QPoint(5000, 5000));
    EXPECT_EQ(small->pos(), small->region().bottomRight());
}

TEST_F(PictureInPictureTest, CornerDragMovesTheWindowAndTheRightEdgeDoesNothing) {
    small->placeAt(middle());
    const QPoint start = small->pos();
    drag(QPoint(1, 1), QPoint(-20, -10));
    EXPECT_EQ(small->pos(), start + QPoint(-20, -10));
    EXPECT_EQ(small->size(), QSize(136, 100));

    drag(QPoint(134, 50), QPoint(30, 5));
    EXPECT_EQ(small->pos(), start + QPoint(-20, -10));
    EXPECT_EQ(small->size(), QSize(136, 100));
}

// Moves that bypass placeAt, like a window manager's, are corrected as well.
TEST_F(PictureInPictureTest, AnyMoveEndsInsideTheRegion) {
    small->move(-3000, 40000);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return small->pos() == QPoint(small->region().left, small->region().bottom); }));
}

// At the region's end, the window must be clamped against the region the move brought.
TEST_F(PictureInPictureTest, FloatingWindowFollowsTheMainWindow) {
    const QPoint start = small->pos();
    ASSERT_EQ(start, small->region().bottomRight());
    form->move(form->pos() + QPoint(40, 25));
    EXPECT_TRUE(QTest::qWaitFor([&] { return small->pos() == start + QPoint(40, 25); }));
    EXPECT_EQ(small->region(), expectedRegion(*form));
}

TEST_F(PictureInPictureTest, RotationAndResizePutTheWindowBackOverTheVideo) {
    button(*form, "pushButtonRotateRight")->click();
    ASSERT_TRUE(waitForVideo(*form));
    EXPECT_EQ(small->region(), expectedRegion(*form));
    EXPECT_EQ(small->pos(), small->region().topLeft());

    form->resize(form->size() - QSize(100, 60));
    EXPECT_TRUE(QTest::qWaitFor([&] { return small->region() == expectedRegion(*form); }));
    EXPECT_EQ(small->pos(), small->region().bottomRight());
}

TEST_F(PictureInPictureTest, WheelAndZoomCommandsLeaveTheMainPictureAlone) {
    QWidget* preview = form->previewWidget();
    const auto wheel = [&] {
        const QPointF at(preview->width() / 2, preview->height() / 2);
        QWheelEvent event(at, preview->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(preview, &event);
    };
    const QStringList zoomCalls{"ZoOnWheel", "ZoZoomIn", "ZoZoomOut", "ZoZoom("};
    const auto zoomed = [&](int from) {
        for (const QString& call : callsSince(from))
            for (const QString& name : zoomCalls)
                if (call.startsWith(name))
                    return true;
        return false;
    };

    int from = traceLines().size();
    wheel();
    button(*form, "pushButtonZoomIn")->click();
    button(*form, "pushButtonZoomOut")->click();
    QMetaObject::invokeMethod(control<QObject>(*form, "horizontalSliderScale"), "sliderReleased");
    EXPECT_FALSE(zoomed(from));

    button(*form, "checkBoxInVideo")->click();
    EXPECT_FALSE(small->isVisible());
    EXPECT_TRUE(form->zoomEnabled());
    from = traceLines().size();
    wheel();
    EXPECT_TRUE(callsSince(from).filter("ZoOnWheel").size() == 1);
}

// The box keeps its state while the sub camera is off; the main picture must not stay frozen.
TEST_F(PictureInPictureTest, SubCameraOffGivesTheMainPictureItsInputBack) {
    int from = traceLines().size();
    button(*form, "checkBoxPIP")->click();
    EXPECT_FALSE(small->isVisible());
    EXPECT_TRUE(form->zoomEnabled());
    EXPECT_TRUE(callsSince(from).contains("ZoSetMouseMode(0, 0)"));

    from = traceLines().size();
    button(*form, "checkBoxPIP")->click();
    EXPECT_TRUE(small->isVisible());
    EXPECT_FALSE(form->zoomEnabled());
    EXPECT_TRUE(traceLines().mid(from).filter(callWithWindow("ZoSetHwnd", 1, small)).size() == 1);
}

} // namespace
