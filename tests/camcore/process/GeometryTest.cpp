#include "process/Quad.h"
#include "process/crop/PageGeometry.h"
#include "process/crop/PerspectiveCrop.h"

#include <gtest/gtest.h>

using namespace camcore;

namespace {

cv::Point2d apply(const cv::Matx33d& h, cv::Point2d p) {
    const cv::Vec3d v = h * cv::Vec3d(p.x, p.y, 1);
    return {v[0] / v[2], v[1] / v[2]};
}

} // namespace

TEST(Geometry, StraightenedPageTakesTheLongerSidesAndMapsCornersToItsEdge) {
    Quad quad; // a trapezium: the far (top) edge is shorter
    quad.corners = {{{100, 50}, {300, 60}, {320, 260}, {90, 250}}};
    const PageGeometry g = straightened(quad);
    EXPECT_EQ(g.size, cv::Size(230, 201));
    const std::array<cv::Point2d, 4> edges{
        {{-0.5, -0.5}, {229.5, -0.5}, {229.5, 200.5}, {-0.5, 200.5}}};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_LT(cv::norm(apply(g.toPage, quad.corners[i]) - edges[i]), 1e-3) << i;
    EXPECT_LT(cv::norm(g.toPicture(edges[2]) - quad.corners[2]), 1e-3);
}

TEST(Geometry, ScalingKeepsOuterEdgesAndTurningKeepsTheCentre) {
    const PageGeometry whole = wholePicture({200, 100});
    const PageGeometry half = whole.scaled(0.5);
    EXPECT_EQ(half.size, cv::Size(100, 50));
    EXPECT_LT(cv::norm(apply(half.toPage, {-0.5, -0.5}) - cv::Point2d(-0.5, -0.5)), 1e-9);
    EXPECT_LT(cv::norm(apply(half.toPage, {199.5, 99.5}) - cv::Point2d(99.5, 49.5)), 1e-9);

    const PageGeometry turned = whole.rotated(3);
    EXPECT_LT(cv::norm(apply(turned.toPage, {99.5, 49.5}) - cv::Point2d(99.5, 49.5)), 1e-9);
    const cv::Point2d right = apply(turned.toPage, {199.5, 49.5});
    EXPECT_GT(right.y, 49.5); // clockwise on screen: the right end goes down
    EXPECT_NEAR(std::atan2(right.y - 49.5, right.x - 99.5) * 180 / CV_PI, 3, 1e-9);
}

TEST(Geometry, CropCopiesAPlainRectangleExactlyAndWarpsTheRest) {
    cv::Mat picture(60, 80, CV_8UC3);
    cv::randu(picture, 0, 255);
    const cv::Mat cut = CropTask({pictureArea({10, 5, 30, 20})}).run(picture).page;
    ASSERT_EQ(cut.size(), cv::Size(30, 20));
    EXPECT_EQ(cv::norm(cut, picture(cv::Rect(10, 5, 30, 20)), cv::NORM_INF), 0);

    const cv::Mat turned = CropTask({wholePicture(picture.size()).rotated(10)}).run(picture).page;
    EXPECT_EQ(turned.size(), picture.size());
    EXPECT_EQ(turned.type(), picture.type());
}

TEST(Geometry, UprightOrderStartsAtTheCornerWhoseTopSidePointsRight) {
    const Quad quad = uprightQuad({{{300, 250}, {100, 60}, {90, 260}, {310, 40}}});
    EXPECT_EQ(quad.corners[0], cv::Point2d(100, 60));
    EXPECT_EQ(quad.corners[1], cv::Point2d(310, 40));
    EXPECT_EQ(quad.corners[2], cv::Point2d(300, 250));
    EXPECT_EQ(quad.corners[3], cv::Point2d(90, 260));
}
