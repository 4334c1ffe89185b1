#include "pipeline/ViewTransform.h"

#include <gtest/gtest.h>

using namespace camcore;

namespace {

const QSize kWindow(1000, 500);

void expectNear(QPointF got, QPointF expected, double tolerance = 1e-6) {
    EXPECT_NEAR(got.x(), expected.x(), tolerance) << "expected x " << expected.x();
    EXPECT_NEAR(got.y(), expected.y(), tolerance) << "expected y " << expected.y();
}

void expectInside(const ViewTransform& view) {
    const QRectF base = view.cut() ? QRectF(*view.cut()) : QRectF(QPoint(0, 0), view.sourceSize());
    const QRectF visible = view.visibleSourceRect();
    EXPECT_GE(visible.left(), base.left() - 1e-9);
    EXPECT_GE(visible.top(), base.top() - 1e-9);
    EXPECT_LE(visible.right(), base.right() + 1e-9);
    EXPECT_LE(visible.bottom(), base.bottom() + 1e-9);
}

ViewTransform view1600x1200(int rotation = 0) {
    ViewTransform view;
    view.setSourceSize({1600, 1200});
    view.setRotation(rotation);
    return view;
}

} // namespace

TEST(ViewTransform, VideoRectKeepsTheAspectOfTheTurnedPicture) {
    ViewTransform view = view1600x1200();
    EXPECT_EQ(view.videoRect(kWindow), QRect(166, 0, 667, 500));
    EXPECT_EQ(view.videoRect({400, 900}), QRect(0, 300, 400, 300));
    view.setRotation(5); // one quarter turn
    EXPECT_EQ(view.rotation(), 1);
    EXPECT_EQ(view.orientedVisibleSize(), QSizeF(1200, 1600));
    EXPECT_EQ(view.videoRect(kWindow), QRect(312, 0, 375, 500));
    view.setRotation(-2);
    EXPECT_EQ(view.videoRect({400, 900}), QRect(0, 300, 400, 300));
    EXPECT_TRUE(view.videoRect({0, 500}).isEmpty());
    EXPECT_TRUE(ViewTransform().videoRect(kWindow).isEmpty());
}

TEST(ViewTransform, SourceCornersLandOnTheTurnedVideoCorners) {
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE(rotation);
        ViewTransform view = view1600x1200(rotation);
        view.setCut({200, 100, 800, 500});
        view.setZoom(2);
        const QRectF visible = view.visibleSourceRect();
        const QRectF video(view.videoRect(kWindow));
        // Clockwise corners of the picture, and where they go after `rotation` quarter turns.
        const QPointF from[] = {visible.topLeft(), visible.topRight(), visible.bottomRight(),
                                visible.bottomLeft()};
        const QPointF to[] = {video.topLeft(), video.topRight(), video.bottomRight(),
                              video.bottomLeft()};
        const QTransform map = view.sourceToWindow(kWindow);
        for (int i = 0; i < 4; ++i) {
            expectNear(map.map(from[i]), to[(i + rotation) % 4]);
            expectNear(view.windowToSource(to[(i + rotation) % 4], kWindow), from[i]);
        }
    }
}

TEST(ViewTransform, ZoomIsClampedAndStaysInsideThePicture) {
    ViewTransform view = view1600x1200();
    EXPECT_EQ(view.setZoom(10), ViewTransform::kMaxZoom);
    EXPECT_EQ(view.setZoom(0.2), ViewTransform::kMinZoom);
    EXPECT_EQ(view.setZoom(std::nan("")), ViewTransform::kMinZoom);
    EXPECT_EQ(view.setZoom(2), 2);
    EXPECT_EQ(view.visibleSourceRect(), QRectF(400, 300, 800, 600));
    view.setZoom(1);
    view.zoomAt(4, QPointF(833, 500), kWindow); // the picture's bottom right corner
    EXPECT_EQ(view.visibleSourceRect(), QRectF(1200, 900, 400, 300));
    // Far outside, the point cannot stay put without the view leaving the picture.
    view.zoomAt(2, QPointF(-3000, 2000), kWindow);
    expectInside(view);
    view.setZoom(1);
    EXPECT_EQ(view.visibleSourceRect(), QRectF(0, 0, 1600, 1200));
}

TEST(ViewTransform, ZoomAtKeepsThePointUnderThePointer) {
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE(rotation);
        ViewTransform view = view1600x1200(rotation);
        const QPointF pointer(420, 180);
        const QPointF under = view.windowToSource(pointer, kWindow);
        view.zoomAt(2, pointer, kWindow);
        view.zoomAt(2 * ViewTransform::kZoomStep, pointer, kWindow);
        EXPECT_EQ(view.zoom(), 2.5);
        expectNear(view.windowToSource(pointer, kWindow), under);
    }
}

TEST(ViewTransform, PanMovesTheContentWithThePointerUpToTheEdge) {
    for (int rotation = 0; rotation < 4; ++rotation) {
        SCOPED_TRACE(rotation);
        ViewTransform view = view1600x1200(rotation);
        view.pan({100, 0}, kWindow); // nothing to move at zoom 1
        EXPECT_EQ(view.visibleSourceRect(), QRectF(0, 0, 1600, 1200));
        view.setZoom(3);
        const QPointF grabbed = view.windowToSource(QPointF(500, 250), kWindow);
        view.pan({30, -20}, kWindow);
        expectNear(view.sourceToWindow(kWindow).map(grabbed), QPointF(530, 230));
        view.pan({-5000, 5000}, kWindow);
        expectInside(view);
        view.pan({5000, -5000}, kWindow);
        expectInside(view);
    }
}

TEST(ViewTransform, CutIsClippedAndRestartsZoom) {
    ViewTransform view = view1600x1200(1);
    view.setZoom(2);
    view.setCut({-100, 200, 900, 300});
    EXPECT_EQ(view.cut(), QRect(0, 200, 800, 300));
    EXPECT_EQ(view.zoom(), 1);
    EXPECT_EQ(view.visibleSourceRect(), QRectF(0, 200, 800, 300));
    EXPECT_EQ(view.videoRect(kWindow), QRect(406, 0, 188, 500));
    view.setZoom(2);
    EXPECT_EQ(view.visibleSourceRect(), QRectF(200, 275, 400, 150));
    view.setCut({2000, 0, 10, 10}); // outside the picture
    EXPECT_FALSE(view.cut());

    view.setCut({1000, 0, 600, 400});
    view.setSourceSize({3264, 2448});
    EXPECT_EQ(view.cut(), QRect(1000, 0, 600, 400));
    view.setZoom(2);
    view.setSourceSize({1280, 960}); // the cut no longer fits
    EXPECT_FALSE(view.cut());
    EXPECT_EQ(view.zoom(), 1);
    view.setCut({0, 0, 100, 100});
    view.reset();
    EXPECT_FALSE(view.cut());
    EXPECT_EQ(view.rotation(), 1);
}
