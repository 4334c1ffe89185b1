#include "EngineFixture.h"
#include "ZoApi.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstring>

using namespace engine_test;

namespace {

// Vivid green: nothing in the virtual cameras' scene is this colour.
bool isMark(QColor c) {
    return c.green() > 180 && c.red() < 90 && c.blue() < 90;
}

QRect markedArea(const QImage& picture) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (isMark(picture.pixelColor(x, y)))
                area |= QRect(x, y, 1, 1);
    return area;
}

_WATERMARKPARAM greenMark(int points, int place) {
    _WATERMARKPARAM r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.szText, "水印 Mark");
    std::strcpy(r.szFontName, "宋体");
    r.nFontSize = points;
    r.byGreen = 255;
    r.byAlpha = 255;
    r.bFixedPos = 1;
    r.nFixedPos = place;
    return r;
}

// Camera 1 streams 640 x 480 at 100 DPI (72 points are 100 pixels) without a window.
class EngineWatermarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZoInit();
        ZoSetDefaultResolution(cam, 5);
        ASSERT_EQ(ZoOpenCamera(cam, 0), 1);
        ASSERT_EQ(ZoSetDPI(cam, 100), 1);
    }
    void TearDown() override {
        ZoClearWatermark(cam);
        ZoSetRotate(cam, 0);
        ZoCloseCamera(cam);
    }
    QImage capture() {
        const QString path = dir.filePath(QStringLiteral("c%1.png").arg(++count));
        EXPECT_EQ(ZoCapture(cam, QFile::encodeName(path).constData()), 1);
        return QImage(path).convertToFormat(QImage::Format_RGB888);
    }

    const int cam = 1;
    QTemporaryDir dir;
    int count = 0;
};

TEST_F(EngineWatermarkTest, CapturesCarryTheMarkUntilItIsCleared) {
    _WATERMARKPARAM record = greenMark(36, 2);
    ASSERT_EQ(ZoAddWaterMark(cam, 2, &record), 1);
    std::memset(&record, 0xFF, sizeof record); // the engine keeps its own copy
    EXPECT_TRUE(traceLines().contains("ZoAddWaterMark(1, 2, ptr) -> 1"));

    const QImage marked = capture();
    ASSERT_EQ(marked.size(), QSize(640, 480));
    const QRect area = markedArea(marked);
    ASSERT_FALSE(area.isEmpty()) << "no watermark in the capture";
    EXPECT_GT(area.left(), 320);
    EXPECT_GT(area.top(), 380);
    EXPECT_LE(area.bottom(), 480 - 9); // a margin of 2 % of 480
    EXPECT_GT(area.height(), 25);

    ASSERT_EQ(ZoClearWatermark(cam), 1);
    EXPECT_TRUE(markedArea(capture()).isEmpty());

    record = greenMark(36, 2);
    EXPECT_EQ(ZoAddWaterMark(cam, 3, &record), 0);
    EXPECT_EQ(ZoAddWaterMark(cam, 2, nullptr), 0);
    EXPECT_EQ(ZoAddWaterMark(99, 2, &record), 0);
    EXPECT_TRUE(markedArea(capture()).isEmpty()) << "a refused record installed a mark";
}

// A resized capture carries the mark resized with it: the same share of the picture, whole.
TEST_F(EngineWatermarkTest, AResizedCaptureCarriesTheMarkScaledWithIt) {
    _WATERMARKPARAM record = greenMark(72, 2);
    ASSERT_EQ(ZoAddWaterMark(cam, 2, &record), 1);
    const QRect full = markedArea(capture());
    ZoSetResize(cam, true, 0.5F);
    const QImage half = capture();
    ZoSetResize(cam, false, 1.0F);
    ASSERT_EQ(half.size(), QSize(320, 240));
    const QRect area = markedArea(half);
    EXPECT_NEAR(area.width(), full.width() / 2.0, 4);
    EXPECT_NEAR(area.height(), full.height() / 2.0, 4);
    EXPECT_GT(area.left(), 0);
    EXPECT_LT(area.right(), half.width() - 1);
}

// The offsets are source pixels: the source's top-left corner lies at the top right of a
// picture turned a quarter clockwise, and the mark is kept inside it.
TEST_F(EngineWatermarkTest, OffsetsFollowTheTurnedPicture) {
    _WATERMARKPARAM record = greenMark(18, 0);
    record.bFixedPos = 0;
    ASSERT_EQ(ZoAddWaterMark(cam, 2, &record), 1);
    ASSERT_EQ(ZoSetRotate(cam, 1), 1);
    const QImage turned = capture();
    ASSERT_EQ(turned.size(), QSize(480, 640));
    const QRect area = markedArea(turned);
    ASSERT_FALSE(area.isEmpty());
    EXPECT_GT(area.right(), 470);
    EXPECT_LT(area.top(), 20);
}

TEST_F(EngineWatermarkTest, PreviewShowsTheMark) {
    auto window = makeWindow(640, 480);
    ASSERT_EQ(ZoSetHwnd(cam, handleOf(*window)), 1);
    ASSERT_TRUE(waitForPicture(*window));
    _WATERMARKPARAM record = greenMark(36, 4);
    ASSERT_EQ(ZoAddWaterMark(cam, 5, &record), 1);
    QRect area;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        area = markedArea(grabVideo(*window, cam));
        return !area.isEmpty();
    }));
    const QRect video = videoRectEx(cam);
    EXPECT_NEAR(area.center().x(), video.width() / 2, video.width() / 10);
    EXPECT_NEAR(area.center().y(), video.height() / 2, video.height() / 10);
    ZoSetHwnd(cam, 0);
}

} // namespace
