#include "CamCoreTesting.h"
#include "EngineFixture.h"
#include "ZoApi.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <thread>

using namespace engine_test;

namespace {

TEST(EngineDevicesTest, ListsVirtualCamerasWithDistinctIdentifiers) {
    ZoInit();
    ASSERT_EQ(ZoGetCameraCount(), 3);
    QSet<QString> products;
    for (int cam = 0; cam < 3; ++cam) {
        EXPECT_EQ(QString(ZoGetDevName(cam)), QString("Virtual Document Camera %1").arg(cam + 1));
        EXPECT_STREQ(ZoGetCameraVID(cam), "1209");
        const QString product = ZoGetCameraPID(cam);
        EXPECT_EQ(product.size(), 4);
        products.insert(product);
    }
    EXPECT_EQ(products.size(), 3);
    EXPECT_STREQ(ZoGetDevName(3), "");
    EXPECT_STREQ(ZoGetCameraPID(-1), "");
    EXPECT_TRUE(traceLines().contains("ZoGetDevName(3) -> \"\" [no such camera]"));
}

TEST(EngineDevicesTest, ResolutionsLargestFirstAndChecked) {
    ZoInit();
    ASSERT_GE(ZoGetResCount(0), 5);
    EXPECT_EQ(ZoGetResWidth(0, 0), 3264);
    EXPECT_EQ(ZoGetResHeight(0, 0), 2448);
    for (int i = 1; i < ZoGetResCount(0); ++i)
        EXPECT_LT(ZoGetResWidth(0, i), ZoGetResWidth(0, i - 1));
    EXPECT_EQ(ZoGetResWidth(0, ZoGetResCount(0)), 0);
    EXPECT_EQ(ZoGetResHeight(0, -1), 0);
    EXPECT_EQ(ZoGetResCount(9), 0);
    EXPECT_EQ(ZoSetResolution(0, 99), 0);
    EXPECT_EQ(ZoSetDefaultResolution(0, -1), 0);
    EXPECT_EQ(ZoSetDefaultResolution(0, 4), 1);
}

TEST(EngineDevicesTest, OpensClosesAndReopensWithAndWithoutWindow) {
    ZoInit();
    EXPECT_EQ(ZoOpenCamera(1, 0), 1);
    EXPECT_STREQ(ZoGetVideoRect(1), "0.0.0.0"); // nothing is drawn without a window
    EXPECT_EQ(ZoCloseCamera(1), 1);

    auto window = makeWindow(640, 480);
    ZoSetDefaultResolution(1, 4);
    ASSERT_EQ(ZoOpenCamera(1, handleOf(*window)), 1);
    EXPECT_TRUE(waitForPicture(*window));
    EXPECT_STREQ(ZoGetVideoRect(1), "0.0.640.480");
    EXPECT_EQ(ZoCloseCamera(1), 1);
    EXPECT_STREQ(ZoGetVideoRect(1), "0.0.0.0");

    ASSERT_EQ(ZoOpenCamera(1, handleOf(*window)), 1);
    EXPECT_TRUE(waitForPicture(*window));
    // A resolution switch while open keeps the video running.
    EXPECT_EQ(ZoSetResolution(1, 5), 1);
    EXPECT_TRUE(waitForPicture(*window));
    ZoCloseCamera(1);
}

TEST(EngineDevicesTest, VideoMovesToAnotherWindow) {
    ZoInit();
    auto first = makeWindow(400, 300);
    auto second = makeWindow(300, 400);
    ZoSetDefaultResolution(0, 4);
    ASSERT_EQ(ZoOpenCamera(0, handleOf(*first)), 1);
    ASSERT_TRUE(waitForPicture(*first));
    EXPECT_STREQ(ZoGetVideoRect(0), "0.0.400.300");

    ASSERT_EQ(ZoSetHwnd(0, handleOf(*second)), 1);
    EXPECT_TRUE(waitForPicture(*second));
    EXPECT_STREQ(ZoGetVideoRect(0), "0.87.300.312");        // 300 x 225 centred in 300 x 400
    EXPECT_TRUE(first->findChildren<QWidget*>().isEmpty()); // nothing draws there any more
    ZoCloseCamera(0);
}

TEST(EngineDevicesTest, BadInputHasNoEffectAndIsTraced) {
    ZoInit();
    auto window = makeWindow(320, 240);
    EXPECT_EQ(ZoOpenCamera(7, handleOf(*window)), 0);
    EXPECT_EQ(ZoOpenCamera(-1, 0), 0);
    EXPECT_EQ(ZoOpenCamera(0, 0xdead0000), 0);
    EXPECT_EQ(ZoSetHwnd(0, 0xdead0000), 0);
    EXPECT_EQ(ZoCloseCamera(5), 0);
    EXPECT_EQ(ZoSetRotate(0, 4), 0);
    EXPECT_EQ(ZoSetDevColor(0, 3), 0);
    EXPECT_EQ(ZoSetMouseMode(0, 2), 0);
    EXPECT_EQ(ZoOnLMousePress(0xdead0000, 1, 1), 0);
    EXPECT_EQ(ZoOnWheel(handleOf(*window), 120), 0); // no camera draws there
    EXPECT_EQ(ZoCapture(0, nullptr), 0);
    EXPECT_EQ(ZoCapture(0, "/no/such/folder/x.jpg"), 0);
    EXPECT_EQ(ZoSetDPI(0, 0), 0);
    int left = 1, top = 1, right = 1, bottom = 1;
    ZoGetVideoRectEx(12, left, top, right, bottom);
    EXPECT_EQ(left + top + right + bottom, 0);
    ZoZoomIn(12);
    ZoUpdateVideo(-3);

    const QStringList trace = traceLines();
    EXPECT_TRUE(trace.contains("ZoOpenCamera(7, 0x" + QString::number(handleOf(*window), 16) +
                               ") -> 0 [no such camera]"));
    EXPECT_TRUE(trace.contains("ZoOpenCamera(0, 0xdead0000) -> 0 [unknown window]"));
    EXPECT_TRUE(trace.contains("ZoCapture(0, null) -> 0 [no path]"));
    EXPECT_TRUE(trace.contains("ZoZoomIn(12) [no such camera]"));
    EXPECT_TRUE(trace.contains("ZoSetRotate(0, 4) -> 0 [no such rotation]"));
}

TEST(EngineDevicesTest, UnplugAndReplugDuringPreview) {
    ZoInit();
    auto window = makeWindow(480, 360);
    ZoSetDefaultResolution(2, 5);
    ASSERT_EQ(ZoOpenCamera(2, handleOf(*window)), 1);
    ASSERT_TRUE(waitForPicture(*window));

    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return meanLevel(window->grab().toImage()) < 20; }, 5000))
        << "the preview still shows the picture of an unplugged camera";
    // The line over the lost picture is drawn again in the language the program switches to.
    const QImage english = window->grab().toImage();
    ZoSetLanguage(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->grab().toImage() != english; }, 5000))
        << "the lost camera's line did not follow the language";
    ZoSetLanguage(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->grab().toImage() == english; }, 5000));
    EXPECT_EQ(ZoGetCameraCount(), 2);
    EXPECT_EQ(ZoOpenCamera(2, handleOf(*window)), 0); // index 2 no longer exists

    ASSERT_TRUE(camcore::testing::replugVirtualCamera(2));
    ASSERT_EQ(ZoGetCameraCount(), 3);
    ASSERT_EQ(ZoOpenCamera(2, handleOf(*window)), 1);
    EXPECT_TRUE(waitForPicture(*window));
    ZoCloseCamera(2);
}

TEST(EngineDevicesTest, LostCameraLeavesItsWindowToTheNextCamera) {
    ZoInit();
    auto window = makeWindow(640, 480);
    const ZoWindow handle = handleOf(*window);
    ZoSetDefaultResolution(1, 5);
    ASSERT_EQ(ZoOpenCamera(1, handle), 1);
    ASSERT_TRUE(waitForPicture(*window));

    ASSERT_TRUE(camcore::testing::unplugVirtualCamera(1));
    QTemporaryDir dir;
    const QByteArray probe = QFile::encodeName(dir.filePath("probe.jpg"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ZoCapture(1, probe.constData()) == 0; }, 5000));
    // Chosen while the camera is lost: kept for the next time it opens.
    EXPECT_EQ(ZoSetDefaultResolution(1, 4), 1);

    // Gone from the list: closed, and nothing of it is left in the window.
    ASSERT_EQ(ZoGetCameraCount(), 2);
    EXPECT_TRUE(window->findChildren<QWidget*>().isEmpty());
    // Index 1 is now the third camera; opened into the same window, it is seen and takes the
    // mouse.
    ZoSetDefaultResolution(1, 5);
    ASSERT_EQ(ZoOpenCamera(1, handle), 1);
    EXPECT_TRUE(waitForPicture(*window));
    ASSERT_EQ(ZoSetMouseMode(1, 1), 1);
    EXPECT_EQ(ZoOnLMousePress(handle, 100, 100), 1);
    EXPECT_EQ(ZoOnLMouseRelease(handle, 300, 200), 1);
    EXPECT_EQ(videoRectEx(1), QRect(0, 80, 640, 320));
    ZoSetMouseMode(1, 0);
    ZoResetVideo(1);
    ZoCloseCamera(1);

    ASSERT_TRUE(camcore::testing::replugVirtualCamera(1));
    ASSERT_EQ(ZoGetCameraCount(), 3);
    ASSERT_EQ(ZoOpenCamera(1, 0), 1);
    ASSERT_EQ(ZoCapture(1, probe.constData()), 1);
    EXPECT_EQ(QImage(dir.filePath("probe.jpg")).size(),
              QSize(ZoGetResWidth(1, 4), ZoGetResHeight(1, 4)));
    ZoCloseCamera(1);
}

TEST(EngineDevicesTest, CallsFromAnotherThreadAreRefused) {
    ZoInit();
    ASSERT_EQ(ZoOpenCamera(2, 0), 1);
    int count = -1, dpi = -1, opened = -1;
    std::thread([&] {
        count = ZoGetCameraCount();
        dpi = ZoSetDPI(2, 150);
        opened = ZoOpenCamera(0, 0);
        ZoZoomIn(2);
    }).join();
    EXPECT_EQ(count, 0);
    EXPECT_EQ(dpi, 0);
    EXPECT_EQ(opened, 0);
    const QStringList trace = traceLines();
    EXPECT_TRUE(trace.contains("ZoGetCameraCount() -> 0 [not on the GUI thread]"));
    EXPECT_TRUE(trace.contains("ZoSetDPI(2, 150) -> 0 [not on the GUI thread]"));
    EXPECT_TRUE(trace.contains("ZoOpenCamera(0, 0x0) -> 0 [not on the GUI thread]"));
    EXPECT_TRUE(trace.contains("ZoZoomIn(2) [not on the GUI thread]"));
    EXPECT_EQ(ZoSetDPI(2, 150), 1); // the same calls on the GUI thread work
    ZoSetDPI(2, 200);
    ZoCloseCamera(2);
}

TEST(EngineDevicesTest, WatermarkRecordHasTheSharedLayout) {
    static_assert(sizeof(_WATERMARKPARAM) == 696);
    static_assert(offsetof(_WATERMARKPARAM, szFontName) == 300);
    static_assert(offsetof(_WATERMARKPARAM, byAlpha) == 407);
    static_assert(offsetof(_WATERMARKPARAM, nFixedPos) == 676);
    static_assert(offsetof(_WATERMARKPARAM, reserved2) == 688);
    _WATERMARKPARAM record{};
    EXPECT_EQ(ZoAddWaterMark(0, 2, &record), 1); // an empty text installs a mark that draws nothing
    EXPECT_EQ(ZoClearWatermark(0), 1);
}

} // namespace
