#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

// A video device that came or went.
struct DeviceEvent {
    enum class Kind { Arrived, Removed };
    Kind kind = Kind::Arrived;
    QString device; // the node (/dev/video0), or the key of a virtual camera (virtual:1)
};

// Tells the thread that owns it (the GUI thread) when video devices arrive and go: the kernel's
// video4linux nodes through a libudev monitor, and virtual cameras through report(). Both come
// through socket notifiers of this object's event loop, so handlers never run on another thread.
// A camera with a metadata node (every UVC camera) reports each of its nodes.
class DeviceMonitor final : public QObject {
    Q_OBJECT
public:
    explicit DeviceMonitor(QObject* parent = nullptr);
    ~DeviceMonitor() override;

    // False when the kernel's events cannot be received (no netlink socket); virtual cameras
    // still report.
    bool watchesKernel() const;
    // Thread-safe: queues the event of a device the kernel does not know about (a virtual
    // camera); it is delivered like the kernel's.
    void report(const DeviceEvent& event);

signals:
    void deviceArrived(const platform::DeviceEvent& event);
    void deviceRemoved(const platform::DeviceEvent& event);

private:
    void readKernelEvents();
    void readReportedEvents();
    void deliver(const DeviceEvent& event);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
