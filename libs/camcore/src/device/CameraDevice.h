#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace camcore {

enum class PixelFormat { Mjpeg, Yuyv, Nv12 };

struct Resolution {
    int width = 0;
    int height = 0;
    friend bool operator==(const Resolution&, const Resolution&) = default;
};

// One frame as the device delivered it. The bytes are shared, never copied, between the capture
// thread, the preview and captures.
struct Frame {
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    PixelFormat format = PixelFormat::Mjpeg;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes per line of raw formats; 0 for MJPEG
    std::uint64_t sequence = 0;

    bool empty() const { return !bytes || bytes->empty(); }
};

enum class ControlType { Integer, Boolean, Menu, Button };

struct MenuEntry {
    int value = 0;
    std::string name;
};

// A device control. Ids are the V4L2 control ids (V4L2_CID_*); the virtual camera uses the same.
struct Control {
    std::uint32_t id = 0;
    std::string name;
    ControlType type = ControlType::Integer;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    int value = 0;
    std::vector<MenuEntry> menu; // for ControlType::Menu
    bool inactive = false;       // present but without effect now (e.g. manual exposure in auto)
    bool readOnly = false;
};

struct DeviceIdentity {
    std::string name;      // display name
    std::string productId; // 4 hex digits for USB devices, else empty
    std::string vendorId;  // 4 hex digits for USB devices, else empty
    std::string key;       // stable while the device is plugged in; tells devices apart
};

// A camera the engine can stream from: a V4L2 device or a virtual camera.
class CameraDevice {
public:
    using FrameHandler = std::function<void(const Frame&)>;
    using LostHandler = std::function<void()>;

    virtual ~CameraDevice() = default;

    virtual DeviceIdentity identity() const = 0;
    // The sizes the device can stream, largest first.
    virtual std::vector<Resolution> resolutions() const = 0;
    // False once the device has been unplugged.
    virtual bool isPresent() const = 0;

    // Starts the capture thread at `resolution`. `onFrame` runs on that thread for each frame;
    // `onLost` runs on it once if the device goes away while streaming, after which the thread
    // ends. False (and no thread) when the device is absent or cannot stream at that size.
    virtual bool start(Resolution resolution, FrameHandler onFrame, LostHandler onLost) = 0;
    // Stops and joins the capture thread; no handler runs once it returns. Safe to call twice.
    virtual void stop() = 0;
    virtual bool isStreaming() const = 0;

    // Every control with its current value, range and flags, read afresh.
    virtual std::vector<Control> controls() const = 0;
    // Sets a control; false when the device has no such control or refuses the value.
    virtual bool setControl(std::uint32_t id, int value) = 0;
};

// Finds the devices of one kind (V4L2 nodes, virtual cameras) in a stable order.
class DeviceSource {
public:
    virtual ~DeviceSource() = default;
    virtual std::vector<std::shared_ptr<CameraDevice>> devices() = 0;
};

} // namespace camcore
