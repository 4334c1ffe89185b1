#include "device/virtual/VirtualCamera.h"
#include "FrameCollector.h"

#include <gtest/gtest.h>

#include <linux/videodev2.h>

#include <chrono>

namespace {

using namespace camcore;
using device_test::decodeFrame;
using device_test::FrameCollector;
using device_test::meanLevel;

constexpr Resolution kVga{640, 480};

Control control(const CameraDevice& camera, std::uint32_t id) {
    for (const Control& c : camera.controls())
        if (c.id == id)
            return c;
    return {};
}

TEST(VirtualCameraTest, IdentityTellsCamerasApart) {
    const DeviceIdentity second = VirtualCamera(2).identity();
    EXPECT_EQ(second.name, "Virtual Document Camera 2");
    EXPECT_EQ(second.vendorId, "1209");
    EXPECT_EQ(second.productId, "DC02");
    EXPECT_EQ(second.key, "virtual:2");
    EXPECT_EQ(VirtualCamera(10).identity().productId, "DC0A");
    EXPECT_NE(VirtualCamera(1).identity().key, second.key);
}

TEST(VirtualCameraTest, StreamsDecodableFramesInSequenceAtTheRateAndRestarts) {
    VirtualCamera camera(1);
    FrameCollector frames;
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    EXPECT_TRUE(camera.isStreaming());
    const Frame frame = frames.frameAfterChange();
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(frame.format, PixelFormat::Mjpeg);
    EXPECT_EQ(QSize(frame.width, frame.height), QSize(640, 480));
    EXPECT_EQ(frame.stride, 0);
    const std::vector<std::uint8_t>& jpeg = *frame.bytes;
    EXPECT_TRUE(jpeg[0] == 0xff && jpeg[1] == 0xd8) << "no SOI";
    EXPECT_TRUE(jpeg[jpeg.size() - 2] == 0xff && jpeg.back() == 0xd9) << "no EOI";
    EXPECT_EQ(decodeFrame(frame).size(), QSize(640, 480));
    // About 15 a second: the time the next 15 frames take, within a band that allows for loaded
    // machines (5 to 30 a second).
    const int before = frames.count();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(frames.waitForFrames(before + 15));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double perSecond = 15 / took.count();
    EXPECT_TRUE(perSecond >= 5 && perSecond <= 30) << perSecond;
    camera.stop();
    EXPECT_FALSE(camera.isStreaming());

    // Another size, and the largest, each a stream of its own with its sequence from 1.
    for (Resolution size : {Resolution{1280, 960}, Resolution{3264, 2448}}) {
        frames.newStream();
        ASSERT_TRUE(camera.start(size, frames.onFrame(), frames.onLost()));
        EXPECT_EQ(decodeFrame(frames.frameAfterChange()).size(), QSize(size.width, size.height));
        camera.stop();
    }
    camera.stop();
    EXPECT_TRUE(frames.inSequence());
    EXPECT_EQ(frames.lost(), 0);
}

TEST(VirtualCameraTest, StartIsRefusedWhenItCannotStream) {
    VirtualCamera camera(1);
    FrameCollector frames;
    EXPECT_FALSE(camera.start({641, 480}, frames.onFrame(), frames.onLost()));
    EXPECT_FALSE(camera.start(kVga, nullptr, frames.onLost()));
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    EXPECT_FALSE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    camera.stop();
    camera.unplug();
    EXPECT_FALSE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    EXPECT_FALSE(camera.isStreaming());
}

TEST(VirtualCameraTest, UnplugEndsTheStreamOnceAndReplugAllowsANewOne) {
    VirtualCamera camera(2);
    FrameCollector frames;
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    ASSERT_TRUE(frames.waitForFrames(2));
    camera.unplug();
    camera.unplug();
    EXPECT_FALSE(camera.isPresent());
    ASSERT_TRUE(frames.waitFor([&] { return frames.lost() > 0 && !camera.isStreaming(); }));
    const int atLoss = frames.count();
    camera.stop(); // joins the ended thread: no handler runs after it
    EXPECT_EQ(frames.count(), atLoss) << "a frame came after the loss";
    camera.stop();

    camera.replug();
    EXPECT_TRUE(camera.isPresent());
    EXPECT_FALSE(camera.isStreaming()) << "replugging does not resume the stream";
    frames.newStream();
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    ASSERT_TRUE(frames.waitForFrames(atLoss + 2));
    camera.stop();
    EXPECT_EQ(frames.lost(), 1);

    // Replugged before the capture thread looked: the stream is still lost.
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    camera.unplug();
    camera.replug();
    ASSERT_TRUE(frames.waitFor([&] { return frames.lost() == 2; }));
    camera.stop();
}

TEST(VirtualCameraTest, ControlsRefuseBadValuesAndFlagManualExposure) {
    VirtualCamera camera(1);
    EXPECT_TRUE(control(camera, V4L2_CID_EXPOSURE_ABSOLUTE).inactive);
    EXPECT_EQ(control(camera, V4L2_CID_EXPOSURE_AUTO).menu.size(), 2u);
    EXPECT_EQ(control(camera, V4L2_CID_POWER_LINE_FREQUENCY).type, ControlType::Menu);
    for (auto [id, value] : {std::pair{V4L2_CID_BRIGHTNESS, 65},
                             {V4L2_CID_BRIGHTNESS, -65},
                             {V4L2_CID_EXPOSURE_AUTO, 2},
                             {V4L2_CID_EXPOSURE_ABSOLUTE, 0},
                             {V4L2_CID_EXPOSURE_ABSOLUTE, 10001},
                             {V4L2_CID_CONTRAST, 101},
                             {V4L2_CID_POWER_LINE_FREQUENCY, 3},
                             {V4L2_CID_HUE, 0}})
        EXPECT_FALSE(camera.setControl(id, value)) << id << " = " << value;
    EXPECT_EQ(control(camera, V4L2_CID_BRIGHTNESS).value, 0);

    EXPECT_TRUE(camera.setControl(V4L2_CID_BRIGHTNESS, -64));
    EXPECT_TRUE(camera.setControl(V4L2_CID_EXPOSURE_ABSOLUTE, 10000)); // kept while inactive
    EXPECT_TRUE(camera.setControl(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL));
    EXPECT_EQ(control(camera, V4L2_CID_BRIGHTNESS).value, -64);
    EXPECT_EQ(control(camera, V4L2_CID_EXPOSURE_ABSOLUTE).value, 10000);
    EXPECT_FALSE(control(camera, V4L2_CID_EXPOSURE_ABSOLUTE).inactive);
    EXPECT_FALSE(control(camera, V4L2_CID_BRIGHTNESS).inactive);
}

TEST(VirtualCameraTest, BrightnessContrastAndManualExposureChangeThePicture) {
    VirtualCamera camera(1);
    FrameCollector frames;
    ASSERT_TRUE(camera.start(kVga, frames.onFrame(), frames.onLost()));
    auto level = [&] {
        return meanLevel(decodeFrame(frames.frameAfterChange()));
    };
    const double normal = level();
    ASSERT_GT(normal, 60.0);
    auto levelWith = [&](std::uint32_t id, int value) {
        EXPECT_TRUE(camera.setControl(id, value));
        return level();
    };

    EXPECT_GT(levelWith(V4L2_CID_BRIGHTNESS, 64), normal + 30);
    EXPECT_LT(levelWith(V4L2_CID_BRIGHTNESS, -64), normal - 30);
    EXPECT_NEAR(levelWith(V4L2_CID_BRIGHTNESS, 0), normal, 0.5);

    // Auto exposure ignores the manual time; switching to manual applies it.
    EXPECT_NEAR(levelWith(V4L2_CID_EXPOSURE_ABSOLUTE, 1000), normal, 0.5);
    EXPECT_GT(levelWith(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL), normal + 30);
    EXPECT_LT(levelWith(V4L2_CID_EXPOSURE_ABSOLUTE, 100), normal * 0.5);
    EXPECT_NEAR(levelWith(V4L2_CID_EXPOSURE_ABSOLUTE, 312), normal, 0.5);
    ASSERT_TRUE(camera.setControl(V4L2_CID_EXPOSURE_ABSOLUTE, 5000));
    EXPECT_NEAR(levelWith(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY), normal, 0.5);

    EXPECT_NEAR(levelWith(V4L2_CID_CONTRAST, 0), 128.0, 3.0) << "no contrast leaves mid grey";
    camera.stop();
}

} // namespace
