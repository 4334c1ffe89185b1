#include "PipGeometry.h"
#include "InsetFigures.h"
#include "ZoomScale.h"

#include <gtest/gtest.h>

namespace {

TEST(PipGeometry, RegionKeepsTheWindowOverTheVideo) {
    const PipRegion region = pipRegion(QPoint(176, 40), {10, 20, 610, 470}, QSize(136, 100));
    EXPECT_EQ(region, (PipRegion{186, 60, 176 + 610 - 136, 40 + 470 - 100}));
}

TEST(PipGeometry, VideoWithoutWidthCountsAs200By200) {
    const PipRegion region = pipRegion(QPoint(176, 40), {0, 0, 0, 0}, QSize(136, 100));
    EXPECT_EQ(region, (PipRegion{176, 40, 176 + 200 - 136, 40 + 200 - 100}));
}

TEST(PipGeometry, ClampRaisesToTheStartThenLowersToTheEnd) {
    const PipRegion region{10, 20, 110, 120};
    EXPECT_EQ(clampToRegion(QPoint(50, 60), region), QPoint(50, 60));
    EXPECT_EQ(clampToRegion(QPoint(-5, 500), region), QPoint(10, 120));
    const PipRegion narrow{100, 20, 40, 120}; // video narrower than the window
    EXPECT_EQ(clampToRegion(QPoint(70, 60), narrow), QPoint(40, 60));
    EXPECT_EQ(clampToRegion(clampToRegion(QPoint(70, 60), narrow), narrow), QPoint(40, 60));
}

TEST(PipGeometry, ZonesCursorsAndDrags) {
    const QSize size(136, 100);
    EXPECT_EQ(grabZone(QPoint(0, 0), size), 0);
    EXPECT_EQ(grabZone(QPoint(135, 3), size), 2);
    EXPECT_EQ(grabZone(QPoint(4, 4), size), 11);
    EXPECT_EQ(grabZone(QPoint(132, 96), size), 11);
    EXPECT_EQ(grabZone(QPoint(133, 97), size), 22);
    EXPECT_EQ(grabZone(QPoint(0, 50), size), 10);
    EXPECT_EQ(zoneCursor(0), Qt::SizeFDiagCursor);
    EXPECT_EQ(zoneCursor(20), Qt::SizeBDiagCursor);
    EXPECT_EQ(zoneCursor(12), Qt::SizeHorCursor);
    EXPECT_EQ(zoneCursor(1), Qt::SizeVerCursor);
    EXPECT_EQ(zoneCursor(11), Qt::ArrowCursor);

    const QPoint delta(7, -3);
    EXPECT_EQ(dragShift(11, delta), delta);
    EXPECT_EQ(dragShift(0, delta), delta);
    EXPECT_EQ(dragShift(2, delta), QPoint(0, -3));
    EXPECT_EQ(dragShift(20, delta), QPoint(7, 0));
    EXPECT_EQ(dragShift(12, delta), QPoint());
    EXPECT_EQ(dragShift(22, delta), QPoint());
}

TEST(ZoomScale, SliderAndRatioMapOntoEachOther) {
    EXPECT_FLOAT_EQ(zoomForSlider(1.0F, 4.0F, 50), 2.5F);
    EXPECT_FLOAT_EQ(zoomForSlider(1.0F, 4.0F, 0), 1.0F);
    EXPECT_EQ(sliderForZoom(1.0F, 4.0F, 2.5F), 50);
    EXPECT_EQ(sliderForZoom(1.0F, 4.0F, 3.99F), 99); // truncated
    EXPECT_EQ(sliderForZoom(1.0F, 4.0F, 5.0F), std::nullopt);
    EXPECT_EQ(sliderForZoom(1.0F, 4.0F, 0.5F), std::nullopt);
    // No camera reported a range: no division by zero.
    EXPECT_EQ(sliderForZoom(0.0F, 0.0F, 0.0F), std::nullopt);
}

// The floating window's place over the video, in picture pixels: ratios in single precision and
// products truncated, so 100 screen pixels of 1944/540 give 359, not 360; a video or picture
// without area gives nothing rather than a division by zero.
TEST(InsetFigures, WindowPlaceScalesToThePictureAsTheEngineExpectsIt) {
    const auto figures = [](QSize picture, QRect video, QRect window) {
        const std::optional<InsetFigures> f = insetFigures(picture, video, window);
        return f ? std::vector<int>{f->width, f->height, f->x, f->y} : std::vector<int>{};
    };
    // 100 right of and 50 above the video's bottom-left corner.
    EXPECT_EQ(figures({1920, 1080}, {40, 30, 960, 540}, {140, 30 + 540 - 50 - 100, 136, 100}),
              (std::vector<int>{272, 200, 200, 100}));
    // 10 from the left, 20 above the bottom.
    EXPECT_EQ(figures({2592, 1944}, {0, 0, 720, 540}, {10, 540 - 20 - 100, 136, 100}),
              (std::vector<int>{489, 359, 35, 71}));
    for (const QRect video : {QRect(0, 0, 0, 540), QRect(0, 0, 720, 0)})
        EXPECT_EQ(figures({2592, 1944}, video, {10, 10, 136, 100}), std::vector<int>{});
    EXPECT_EQ(figures({0, 1944}, {0, 0, 720, 540}, {10, 10, 136, 100}), std::vector<int>{});
}

} // namespace
