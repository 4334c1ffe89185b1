// The engine's flat functions and the device monitor with real V4L2 devices, inside the test
// machine (run-vm): what the application does when its camera is unplugged and plugged in again.
#include "VmSupport.h"

#include "ZoApi.h"
#include "platform/DeviceMonitor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using platform::DeviceEvent;
using platform::DeviceMonitor;

// Runs the event loop until `done` or a generous limit (software emulation is slow).
template <typename Predicate> bool processUntil(Predicate done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// True once a capture of camera `cam` writes a picture: the camera has delivered a frame.
bool captures(int cam) {
    const QString path = QDir::tempPath() + QStringLiteral("/capture.jpg");
    return processUntil([&] {
        QFile::remove(path);
        return ZoCapture(cam, path.toLocal8Bit().constData()) == 1 && QFile::exists(path);
    });
}

TEST(EngineInVmTest, RemovalAndArrivalAreReportedAndTheCameraReopensAtItsIndex) {
    REQUIRE_VM_GUEST();
    DeviceMonitor monitor;
    ASSERT_TRUE(monitor.watchesKernel());
    QList<DeviceEvent> arrived;
    QList<DeviceEvent> removed;
    QObject::connect(&monitor, &DeviceMonitor::deviceArrived,
                     [&](const DeviceEvent& e) { arrived.append(e); });
    QObject::connect(&monitor, &DeviceMonitor::deviceRemoved,
                     [&](const DeviceEvent& e) { removed.append(e); });

    ZoInit();
    ASSERT_EQ(ZoGetCameraCount(), 2);
    EXPECT_STREQ(ZoGetDevName(0), "vivid");
    EXPECT_STREQ(ZoGetCameraPID(0), "");
    EXPECT_STREQ(ZoGetCameraVID(0), "");
    ASSERT_EQ(ZoGetResCount(0), 6);
    EXPECT_EQ(ZoGetResWidth(0, 0), 3840);
    EXPECT_EQ(ZoGetResWidth(0, 3), 640);
    ZoSetDefaultResolution(0, 3);
    ASSERT_EQ(ZoOpenCamera(0, 0), 1);
    ASSERT_TRUE(captures(0));
    ZoSetBrightness(0, false, 90);

    ASSERT_TRUE(vm::unbindVivid());
    ASSERT_TRUE(processUntil([&] { return !removed.isEmpty(); }));
    EXPECT_TRUE(removed.front().device.startsWith(QStringLiteral("/dev/video")));
    EXPECT_TRUE(arrived.isEmpty());
    EXPECT_EQ(ZoGetCameraCount(), 0);

    // The application's answer to an arrival after a removal: refresh, then open the same index.
    ASSERT_TRUE(vm::bindVivid());
    ASSERT_TRUE(processUntil([&] { return !arrived.isEmpty(); }));
    ASSERT_EQ(ZoGetCameraCount(), 2);
    EXPECT_STREQ(ZoGetDevName(0), "vivid");
    ASSERT_EQ(ZoOpenCamera(0, 0), 1);
    EXPECT_TRUE(captures(0)) << "no frame after the replug";
    bool automatic = true;
    int upper = 0, lower = 0, value = 0;
    ZoGetBrightness(0, automatic, upper, lower, value);
    EXPECT_EQ(value, 90) << "the user's brightness is set again";
    EXPECT_EQ(upper, 255);
    ZoCloseCamera(0);
}

} // namespace
