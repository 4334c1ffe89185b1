#include "device/v4l2/V4l2Camera.h"

#include "device/v4l2/Capture.h"
#include "device/v4l2/Controls.h"
#include "device/v4l2/Ioctl.h"

#include <QtGlobal>

#include <linux/videodev2.h>
#include <sys/eventfd.h>

#include <cstdint>

namespace camcore::v4l2 {
namespace {

void signal(int eventFd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(eventFd, &one, sizeof one);
}

void drain(int eventFd) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(eventFd, &count, sizeof count);
}

} // namespace

V4l2Camera::V4l2Camera(UniqueFd fd, NodeInfo node, ModeTable modes,
                       std::shared_ptr<ControlMemory> memory)
    : m_fd(std::move(fd)), m_node(std::move(node)), m_modes(std::move(modes)),
      m_memory(std::move(memory)), m_stopEvent(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

V4l2Camera::~V4l2Camera() {
    stop();
}

DeviceIdentity V4l2Camera::identity() const {
    DeviceIdentity id;
    id.name = m_node.capabilities.card;
    id.vendorId = m_node.vendorId;
    id.productId = m_node.productId;
    // The bus position (a USB port path such as usb-0000:00:14.0-1) and the identifiers stay the
    // same when the camera is plugged into the same port again, whatever node number it gets.
    const std::string& bus =
        m_node.capabilities.busInfo.empty() ? m_node.path : m_node.capabilities.busInfo;
    id.key = "v4l2:" + bus + "|" + m_node.vendorId + ":" + m_node.productId;
    return id;
}

std::vector<Resolution> V4l2Camera::resolutions() const {
    return m_modes.resolutions();
}

bool V4l2Camera::isPresent() const {
    if (m_gone)
        return false;
    v4l2_capability cap{};
    if (xioctl(m_fd.get(), VIDIOC_QUERYCAP, &cap) != 0 && errno == ENODEV)
        m_gone = true;
    return !m_gone;
}

bool V4l2Camera::start(Resolution resolution, FrameHandler onFrame, LostHandler onLost) {
    if (!onFrame || m_capture.isCurrent() || !m_stopEvent)
        return false;
    const std::optional<StreamMode> mode = m_modes.mode(resolution);
    if (!mode)
        return false;
    const MutexLock life(m_capture.lifecycle());
    if (isStreaming())
        return false;
    m_capture.joinEnded();
    if (!isPresent())
        return false;
    applyRememberedControls();
    std::string error;
    std::unique_ptr<CaptureStream> stream = CaptureStream::open(m_fd.get(), *mode, error);
    if (!stream) {
        qWarning("v4l2: %s cannot stream %dx%d: %s", m_node.path.c_str(), resolution.width,
                 resolution.height, error.c_str());
        isPresent(); // an unplug during the set-up shows here
        return false;
    }
    drain(m_stopEvent.get());
    {
        const MutexLock lock(m_mutex);
        m_streaming = true;
        m_interval = stream->interval();
    }
    m_capture.launch([this, stream = std::move(stream), onFrame = std::move(onFrame),
                      onLost = std::move(onLost)]() mutable {
        const CaptureStream::End end = stream->run(m_stopEvent.get(), onFrame);
        // Lost is not gone: a fatal streaming error ends the stream of a device that can start
        // again; isPresent() asks the device.
        stream.reset();
        {
            const MutexLock lock(m_mutex);
            m_streaming = false;
            m_interval.reset();
        }
        if (end == CaptureStream::End::Lost && onLost)
            onLost();
    });
    return true;
}

void V4l2Camera::stop() {
    if (!m_stopEvent)
        return;
    if (m_capture.stop([this] { signal(m_stopEvent.get()); }))
        drain(m_stopEvent.get());
}

bool V4l2Camera::isStreaming() const {
    const MutexLock lock(m_mutex);
    return m_streaming;
}

std::optional<Interval> V4l2Camera::streamInterval() const {
    const MutexLock lock(m_mutex);
    return m_interval;
}

std::vector<Control> V4l2Camera::controls() const {
    if (m_gone)
        return {};
    return readControls(m_fd.get());
}

bool V4l2Camera::setControl(std::uint32_t id, int value) {
    if (m_gone)
        return false;
    const std::optional<Control> control = queryControl(m_fd.get(), id);
    if (!control)
        return false;
    const std::optional<int> kept = writeControl(m_fd.get(), id, value);
    if (!kept)
        return false;
    if (control->type != ControlType::Button)
        m_memory->remember(ControlMemory::deviceKey(identity()), id, *kept);
    return true;
}

void V4l2Camera::applyRememberedControls() {
    for (const auto& [id, value] : m_memory->recall(ControlMemory::deviceKey(identity())))
        writeControl(m_fd.get(), id, value); // a control the mode makes inactive may refuse
}

} // namespace camcore::v4l2
