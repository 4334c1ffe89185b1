#pragma once

#include "base/Mutex.h"
#include "base/Owned.h"
#include "device/CameraDevice.h"
#include "device/CaptureThread.h"
#include "device/v4l2/ControlMemory.h"
#include "device/v4l2/Modes.h"
#include "device/v4l2/Query.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace camcore::v4l2 {

// One capture node as enumeration found it.
struct NodeInfo {
    std::string path; // /dev/videoN
    int number = -1;  // N
    NodeCapabilities capabilities;
    std::string vendorId;  // 4 upper-case hex digits for USB devices, else empty
    std::string productId; // likewise
};

// A V4L2 camera. The node stays open while the object lives: controls are read and set through
// it, and it tells when the device has gone (ENODEV). After an unplug the object stays absent;
// the device source makes a new one when the camera comes back.
class V4l2Camera final : public CameraDevice {
public:
    V4l2Camera(UniqueFd fd, NodeInfo node, ModeTable modes, std::shared_ptr<ControlMemory> memory);
    ~V4l2Camera() override;

    DeviceIdentity identity() const override;
    std::vector<Resolution> resolutions() const override;
    bool isPresent() const override;
    bool start(Resolution resolution, FrameHandler onFrame, LostHandler onLost) override;
    void stop() override;
    bool isStreaming() const override;
    std::vector<Control> controls() const override;
    // A value the device takes is remembered for this camera model and set again at each start.
    bool setControl(std::uint32_t id, int value) override;

    const NodeInfo& node() const { return m_node; }
    // The format, size and frame interval `resolution` streams in.
    std::optional<StreamMode> mode(Resolution resolution) const { return m_modes.mode(resolution); }
    // The frame interval the driver accepted for the running stream; none when not streaming or
    // when the driver cannot set it.
    std::optional<Interval> streamInterval() const;

private:
    void applyRememberedControls();

    const UniqueFd m_fd;
    const NodeInfo m_node;
    const ModeTable m_modes;
    const std::shared_ptr<ControlMemory> m_memory;
    const UniqueFd m_stopEvent; // an eventfd the capture loop polls beside the device

    CaptureThread m_capture;
    mutable Mutex m_mutex;
    bool m_streaming GUARDED_BY(m_mutex) = false;
    std::optional<Interval> m_interval GUARDED_BY(m_mutex);
    mutable std::atomic<bool> m_gone{false};
};

} // namespace camcore::v4l2
