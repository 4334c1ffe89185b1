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

// The camera whose capture loop runs on this thread, if any: stop() and start() called from a
// handler must not join the thread they run on.
thread_local const void* t_capturing = nullptr;

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
    if (!onFrame || t_capturing == this || !m_stopEvent)
        return false;
    const std::optional<StreamMode> mode = m_modes.mode(resolution);
    if (!mode)
        return false;
    std::lock_guard life(m_lifecycle);
    {
        std::lock_guard lock(m_mutex);
        if (m_streaming)
            return false;
    }
    // A stream that ended by itself (lost, or stopped from a handler) still needs joining.
    if (m_thread.joinable())
        m_thread.join();
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
        std::lock_guard lock(m_mutex);
        m_streaming = true;
        m_interval = stream->interval();
    }
    m_thread = std::thread([this, stream = std::move(stream), onFrame = std::move(onFrame),
                            onLost = std::move(onLost)]() mutable {
        t_capturing = this;
        const CaptureStream::End end = stream->run(m_stopEvent.get(), onFrame);
        // Lost is not gone: a fatal streaming error ends the stream of a device that can start
        // again; isPresent() asks the device.
        stream.reset();
        {
            std::lock_guard lock(m_mutex);
            m_streaming = false;
            m_interval.reset();
        }
        if (end == CaptureStream::End::Lost && onLost)
            onLost();
        t_capturing = nullptr;
    });
    return true;
}

void V4l2Camera::stop() {
    if (!m_stopEvent)
        return;
    // From a handler the loop ends once the handler returns; the next start() or stop() joins.
    if (t_capturing == this) {
        signal(m_stopEvent.get());
        return;
    }
    std::lock_guard life(m_lifecycle);
    if (!m_thread.joinable())
        return;
    signal(m_stopEvent.get());
    m_thread.join();
    drain(m_stopEvent.get());
}

bool V4l2Camera::isStreaming() const {
    std::lock_guard lock(m_mutex);
    return m_streaming;
}

std::optional<Interval> V4l2Camera::streamInterval() const {
    std::lock_guard lock(m_mutex);
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
