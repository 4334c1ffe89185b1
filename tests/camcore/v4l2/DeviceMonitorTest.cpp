#include "platform/DeviceMonitor.h"
#include "device/virtual/VirtualCamera.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {

using camcore::DeviceIdentity;
using camcore::VirtualCamera;
using platform::DeviceEvent;
using platform::DeviceMonitor;

// Virtual cameras report their unplugs and replugs through the monitor, which delivers them on
// its own thread whatever thread unplugged the camera.
TEST(DeviceMonitorTest, VirtualCameraEventsArriveOnTheMonitorsThreadInOrder) {
    DeviceMonitor monitor;
    QList<QPair<bool, QString>> events;
    bool onOwnThread = true;
    QObject::connect(&monitor, &DeviceMonitor::deviceArrived, [&](const DeviceEvent& e) {
        onOwnThread = onOwnThread && QThread::currentThread() == monitor.thread();
        events.append({true, e.device});
    });
    QObject::connect(&monitor, &DeviceMonitor::deviceRemoved, [&](const DeviceEvent& e) {
        onOwnThread = onOwnThread && QThread::currentThread() == monitor.thread();
        events.append({false, e.device});
    });
    VirtualCamera::setPlugObserver([&monitor](const DeviceIdentity& identity, bool plugged) {
        monitor.report({plugged ? DeviceEvent::Kind::Arrived : DeviceEvent::Kind::Removed,
                        QString::fromStdString(identity.key)});
    });

    VirtualCamera first(1);
    VirtualCamera second(2);
    std::thread([&] {
        first.unplug();
        first.unplug(); // already out: no second event
        second.unplug();
        first.replug();
        first.replug();
    }).join();
    EXPECT_TRUE(events.isEmpty()) << "delivered before the event loop ran";
    for (int i = 0; i < 100 && events.size() < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    VirtualCamera::setPlugObserver({});
    second.replug(); // no observer: nothing

    QCoreApplication::processEvents();
    EXPECT_TRUE(onOwnThread);
    EXPECT_EQ(events, (QList<QPair<bool, QString>>{{false, QStringLiteral("virtual:1")},
                                                   {false, QStringLiteral("virtual:2")},
                                                   {true, QStringLiteral("virtual:1")}}));
}

} // namespace
