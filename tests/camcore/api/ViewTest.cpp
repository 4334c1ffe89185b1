#include "CamCoreTesting.h"
#include "EngineFixture.h"
#include "ZoApi.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <vector>

using namespace engine_test;

namespace {

std::vector<float> g_zooms;
bool g_zoomOffGuiThread = false;

void recordZoom(float ratio) {
    g_zooms.push_back(ratio);
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        g_zoomOffGuiThread = true;
}

// One camera open at 1280 x 960 in a 640 x 480 window.
class EngineViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ZoInit();
        window = makeWindow(640, 480);
        ZoSetDefaultResolution(cam, 4);
        ASSERT_EQ(ZoOpenCamera(cam, handleOf(*window)), 1);
        ASSERT_TRUE(waitForPicture(*window));
        g_zooms.clear();
        g_zoomOffGuiThread = false;
        ZoSetZoomCB(cam, recordZoom);
    }
    void TearDown() override {
        ZoSetZoomCB(cam, nullptr);
        ZoResetVideo(cam);
        ZoSetRotate(cam, 0);
        ZoSetDevColor(cam, 0);
        ZoSetMouseMode(cam, 0);
        ZoCloseCamera(cam);
    }
    // The picture once the view has been applied, which puts the video at `video`.
    QImage pictureAt(const QRect& video) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return videoRectEx(cam) == video; }, 10000));
        return grabVideo(*window, cam);
    }
    static double difference(const QImage& a, const QImage& b) {
        if (a.size() != b.size())
            return 255;
        double sum = 0;
        for (int y = 0; y < a.height(); y += 4)
            for (int x = 0; x < a.width(); x += 4)
                sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        return sum / ((a.height() / 4.0) * (a.width() / 4.0));
    }

    const int cam = 0;
    const QRect kWhole{0, 0, 640, 480};
    const QRect kQuarterTurned{140, 0, 360, 480};
    std::unique_ptr<QWidget> window;
};

TEST_F(EngineViewTest, VideoRectangleFollowsTheWindowSize) {
    EXPECT_EQ(parseVideoRect(ZoGetVideoRect(cam)), QRect(0, 0, 640, 480));
    window->resize(800, 480); // wider: bars left and right
    EXPECT_EQ(parseVideoRect(ZoGetVideoRect(cam)), QRect(80, 0, 640, 480));
    EXPECT_EQ(videoRectEx(cam), QRect(80, 0, 640, 480));
    window->resize(640, 600); // taller: bars above and below
    EXPECT_EQ(videoRectEx(cam), QRect(0, 60, 640, 480));
}

TEST_F(EngineViewTest, ZoomIsReportedOnTheGuiThreadAndClamped) {
    EXPECT_FLOAT_EQ(ZoGetMinZoomRatio(cam), 1.0F);
    EXPECT_FLOAT_EQ(ZoGetMaxZoomRatio(cam), 4.0F);
    const QImage whole = pictureAt(kWhole);

    ZoZoomIn(cam);
    ZoZoom(cam, 2.5F);
    ZoZoom(cam, 9.0F); // out of range: ignored
    ZoZoomOut(cam);
    ASSERT_EQ(g_zooms.size(), 3U);
    EXPECT_FLOAT_EQ(g_zooms[0], 1.25F);
    EXPECT_FLOAT_EQ(g_zooms[1], 2.5F);
    EXPECT_FLOAT_EQ(g_zooms[2], 2.0F);
    EXPECT_FALSE(g_zoomOffGuiThread);
    EXPECT_GT(difference(whole, pictureAt(kWhole)), 8.0) << "zooming did not change the picture";

    for (int i = 0; i < 10; ++i)
        ZoZoomIn(cam);
    EXPECT_FLOAT_EQ(g_zooms.back(), 4.0F);
    ZoResetVideo(cam);
    EXPECT_FLOAT_EQ(g_zooms.back(), 1.0F);
    EXPECT_LT(difference(whole, pictureAt(kWhole)), 8.0);
}

TEST_F(EngineViewTest, WheelZoomsTheWindowItIsTurnedIn) {
    EXPECT_EQ(ZoOnMouseMoving(handleOf(*window), 320, 240), 1);
    EXPECT_EQ(ZoOnWheel(handleOf(*window), 120), 1);
    EXPECT_EQ(ZoOnWheel(handleOf(*window), 240), 1);
    ASSERT_EQ(g_zooms.size(), 2U);
    EXPECT_NEAR(g_zooms[1], 1.25 * 1.25 * 1.25, 1e-4);
    EXPECT_EQ(ZoOnWheel(handleOf(*window), -360), 1);
    EXPECT_NEAR(g_zooms.back(), 1.0, 1e-4);
    ZoSetMouseMode(cam, -1); // while picture-in-picture is shown, the mouse does nothing
    EXPECT_EQ(ZoOnWheel(handleOf(*window), 120), 0);
    EXPECT_EQ(g_zooms.size(), 3U);
}

TEST_F(EngineViewTest, RotationTurnsTheVideoRectangleAndPicture) {
    const QImage upright = pictureAt(kWhole);
    ZoRotateRight(cam);
    const QImage turned = pictureAt(kQuarterTurned);
    EXPECT_EQ(turned.size(), QSize(360, 480));
    ZoRotateLeft(cam);
    ZoRotateLeft(cam);
    EXPECT_EQ(videoRectEx(cam), QRect(140, 0, 360, 480)); // 270 degrees
    EXPECT_EQ(ZoSetRotate(cam, 2), 1);
    EXPECT_EQ(videoRectEx(cam), QRect(0, 0, 640, 480));
    const QImage upsideDown = pictureAt(kWhole);
    // Turned half-way round, the picture equals the upright one mirrored in both axes.
    EXPECT_LT(difference(upright.mirrored(true, true), upsideDown), 10.0);
    EXPECT_GT(difference(upright, upsideDown), 10.0);
}

TEST_F(EngineViewTest, DrawnRectangleCutsTheViewUntilReset) {
    ASSERT_EQ(ZoSetMouseMode(cam, 1), 1);
    const ZoWindow handle = handleOf(*window);
    EXPECT_EQ(ZoOnLMousePress(handle, 100, 100), 1);
    EXPECT_EQ(ZoOnMouseMoving(handle, 200, 150), 1);
    EXPECT_EQ(ZoOnLMouseRelease(handle, 300, 200), 1);
    // The 200 x 100 cut fills the window at 2:1.
    EXPECT_EQ(videoRectEx(cam), QRect(0, 80, 640, 320));
    ZoResetVideo(cam);
    EXPECT_EQ(videoRectEx(cam), QRect(0, 0, 640, 480));

    // A click is not a cut.
    ZoOnLMousePress(handle, 50, 50);
    ZoOnLMouseRelease(handle, 52, 51);
    EXPECT_EQ(videoRectEx(cam), QRect(0, 0, 640, 480));
}

TEST_F(EngineViewTest, OnlyAWindowThatCanBeSeenDecodesPreviews) {
    using camcore::testing::frameCounts;
    QTemporaryDir dir;
    const QByteArray capturePath = QFile::encodeName(dir.filePath("unseen.jpg"));
    // While `window` cannot be seen, frames come (and are kept for captures), but none is
    // decoded for it; one decode may have been under way.
    auto decodesNothing = [&] {
        const camcore::testing::FrameCounts before = frameCounts(cam);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return frameCounts(cam).frames >= before.frames + 10; }, 30000));
        EXPECT_LE(frameCounts(cam).previewDecodes, before.previewDecodes + 1);
        EXPECT_EQ(ZoCapture(cam, capturePath.constData()), 1);
    };
    auto decodes = [&] {
        const std::uint64_t before = frameCounts(cam).previewDecodes;
        return QTest::qWaitFor([&] { return frameCounts(cam).previewDecodes >= before + 3; },
                               30000);
    };
    ASSERT_TRUE(decodes());

    window->hide();
    decodesNothing();
    window->show();
    EXPECT_TRUE(decodes());

    window->showMinimized();
    decodesNothing();
    window->showNormal();
    EXPECT_TRUE(decodes());

    // Moved into another window, the video is decoded for that one, whatever becomes of the
    // window it left.
    auto other = makeWindow(320, 240);
    ASSERT_EQ(ZoSetHwnd(cam, handleOf(*other)), 1);
    window->hide();
    EXPECT_TRUE(decodes());
    other->hide();
    decodesNothing();
}

TEST_F(EngineViewTest, DragPansTheZoomedPicture) {
    ZoZoom(cam, 2.0F);
    const QImage before = pictureAt(kWhole);
    const ZoWindow handle = handleOf(*window);
    ZoOnLMousePress(handle, 300, 200);
    ZoOnMouseMoving(handle, 400, 260);
    ZoOnLMouseRelease(handle, 400, 260);
    const QImage after = pictureAt(kWhole);
    EXPECT_GT(difference(before, after), 5.0) << "dragging did not move the zoomed picture";
    EXPECT_EQ(g_zooms.size(), 1U); // panning is not a zoom change
}

// Share of the picture that is (nearly) black or white.
double extremeShare(const QImage& picture) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    qint64 extreme = 0;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            extreme += (line[x] < 40 || line[x] > 215) ? 1 : 0;
    }
    return double(extreme) / (double(grey.width()) * grey.height());
}

int colourfulSamples(const QImage& picture) {
    int colourful = 0;
    for (int y = 0; y < picture.height(); y += 8)
        for (int x = 0; x < picture.width(); x += 8) {
            const QColor c = picture.pixelColor(x, y);
            colourful += std::max({c.red(), c.green(), c.blue()}) -
                                     std::min({c.red(), c.green(), c.blue()}) >
                                 12
                             ? 1
                             : 0;
        }
    return colourful;
}

TEST_F(EngineViewTest, ColourModesChangeThePreview) {
    EXPECT_GT(colourfulSamples(grabVideo(*window, cam)), 0);
    EXPECT_LT(extremeShare(grabVideo(*window, cam)), 0.7);
    // Smooth scaling leaves a grey fringe at edges; everything else is black or white.
    ASSERT_EQ(ZoSetDevColor(cam, 2), 1);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return extremeShare(grabVideo(*window, cam)) > 0.85; }, 20000));
    ASSERT_EQ(ZoSetDevColor(cam, 1), 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage shown = grabVideo(*window, cam);
            return colourfulSamples(shown) == 0 && extremeShare(shown) < 0.7;
        },
        20000));
}

} // namespace
