#include "platform/DeviceMonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>

namespace platform {
namespace {

template <auto Release> struct ReleaseWith {
    template <typename T> void operator()(T* handle) const { Release(handle); }
};
using Udev = std::unique_ptr<udev, ReleaseWith<udev_unref>>;
using UdevMonitor = std::unique_ptr<udev_monitor, ReleaseWith<udev_monitor_unref>>;
using UdevDevice = std::unique_ptr<udev_device, ReleaseWith<udev_device_unref>>;

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

// With udevd running, its events come after it has made the node and set its permissions, so
// a handler can open the device at once. Without it (containers, a test machine) only the
// kernel's own events exist, and devtmpfs has made the node before the kernel sends one.
const char* eventSource() {
    return ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
}

bool isVideoNode(const char* sysname) {
    return sysname != nullptr && std::strncmp(sysname, "video", 5) == 0;
}

} // namespace

struct DeviceMonitor::Private {
    Udev context;
    UdevMonitor monitor;
    QSocketNotifier* kernelNotifier = nullptr;

    Fd wake; // an eventfd that report() signals
    QSocketNotifier* reportNotifier = nullptr;
    std::mutex mutex;
    std::deque<DeviceEvent> reported;
};

DeviceMonitor::DeviceMonitor(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {
    d->context.reset(udev_new());
    if (d->context)
        d->monitor.reset(udev_monitor_new_from_netlink(d->context.get(), eventSource()));
    if (d->monitor && (udev_monitor_filter_add_match_subsystem_devtype(
                           d->monitor.get(), "video4linux", nullptr) < 0 ||
                       udev_monitor_enable_receiving(d->monitor.get()) < 0))
        d->monitor.reset();
    if (d->monitor) {
        d->kernelNotifier =
            new QSocketNotifier(udev_monitor_get_fd(d->monitor.get()), QSocketNotifier::Read, this);
        connect(d->kernelNotifier, &QSocketNotifier::activated, this,
                &DeviceMonitor::readKernelEvents);
    } else {
        qWarning("device monitor: cannot receive the kernel's device events");
    }

    d->wake.fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (d->wake.fd >= 0) {
        d->reportNotifier = new QSocketNotifier(d->wake.fd, QSocketNotifier::Read, this);
        connect(d->reportNotifier, &QSocketNotifier::activated, this,
                &DeviceMonitor::readReportedEvents);
    }
}

DeviceMonitor::~DeviceMonitor() {
    // The notifiers go before the descriptors they watch.
    delete d->kernelNotifier;
    delete d->reportNotifier;
}

bool DeviceMonitor::watchesKernel() const {
    return d->monitor != nullptr;
}

void DeviceMonitor::report(const DeviceEvent& event) {
    {
        const std::lock_guard lock(d->mutex);
        d->reported.push_back(event);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(d->wake.fd, &one, sizeof one);
}

void DeviceMonitor::readKernelEvents() {
    // The socket does not block: this ends when the queued events are read.
    while (const UdevDevice device{udev_monitor_receive_device(d->monitor.get())}) {
        if (!isVideoNode(udev_device_get_sysname(device.get())))
            continue; // vbi, radio and sub-device nodes
        const char* action = udev_device_get_action(device.get());
        const char* node = udev_device_get_devnode(device.get());
        DeviceEvent event;
        event.device = QString::fromLocal8Bit(node ? node : udev_device_get_syspath(device.get()));
        if (action != nullptr && std::strcmp(action, "add") == 0)
            event.kind = DeviceEvent::Kind::Arrived;
        else if (action != nullptr && std::strcmp(action, "remove") == 0)
            event.kind = DeviceEvent::Kind::Removed;
        else
            continue; // change, bind, unbind: the node stays as it is
        deliver(event);
    }
}

void DeviceMonitor::readReportedEvents() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(d->wake.fd, &count, sizeof count);
    std::deque<DeviceEvent> events;
    {
        const std::lock_guard lock(d->mutex);
        events.swap(d->reported);
    }
    for (const DeviceEvent& event : events)
        deliver(event);
}

void DeviceMonitor::deliver(const DeviceEvent& event) {
    if (event.kind == DeviceEvent::Kind::Arrived)
        emit deviceArrived(event);
    else
        emit deviceRemoved(event);
}

} // namespace platform
