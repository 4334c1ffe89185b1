#include "device/v4l2/Capture.h"

#include "device/v4l2/Ioctl.h"
#include "pipeline/FrameDecoder.h"

#include <QtGlobal>

#include <linux/videodev2.h>
#include <poll.h>
#include <sys/mman.h>

#include <algorithm>

namespace camcore::v4l2 {
namespace {

// Four buffers: one being copied out, one being filled, two in hand for a slow frame. UVC
// drivers allocate the largest frame size for each, so more would cost memory for nothing.
constexpr std::uint32_t kBufferCount = 4;
// The poll timeout is a few frame periods, within these limits.
constexpr int kFramePeriodsPerTimeout = 4;
constexpr int kMinTimeoutMs = 200;
constexpr int kMaxTimeoutMs = 2000;

std::size_t rawSize(const StreamFormat& f) {
    const std::size_t stride = static_cast<std::size_t>(f.stride);
    const std::size_t height = static_cast<std::size_t>(f.height);
    return f.format == PixelFormat::Nv12 ? stride * (height + (height + 1) / 2) : stride * height;
}

int minimalStride(PixelFormat format, int width) {
    return format == PixelFormat::Yuyv ? (width + 1) / 2 * 4 : (width + 1) / 2 * 2;
}

} // namespace

std::optional<Frame> frameFromBuffer(std::span<const std::uint8_t> used, const StreamFormat& format,
                                     std::uint64_t sequence) {
    std::size_t length = 0;
    if (format.format == PixelFormat::Mjpeg) {
        length = jpegLength(used);
        if (length == 0)
            return std::nullopt;
    } else {
        length = rawSize(format);
        if (length == 0 || used.size() < length)
            return std::nullopt;
    }
    Frame frame;
    frame.bytes =
        std::make_shared<const std::vector<std::uint8_t>>(used.begin(), used.begin() + length);
    frame.format = format.format;
    frame.width = format.width;
    frame.height = format.height;
    frame.stride = format.format == PixelFormat::Mjpeg ? 0 : format.stride;
    frame.sequence = sequence;
    return frame;
}

struct CaptureStream::Mapping {
    void* address = MAP_FAILED;
    std::size_t length = 0;

    Mapping() = default;
    Mapping(Mapping&& other) noexcept
        : address(std::exchange(other.address, MAP_FAILED)), length(other.length) {}
    Mapping& operator=(Mapping&&) = delete;
    ~Mapping() {
        if (address != MAP_FAILED)
            ::munmap(address, length);
    }
    std::span<const std::uint8_t> bytes(std::size_t used) const {
        return {static_cast<const std::uint8_t*>(address), std::min(used, length)};
    }
};

CaptureStream::CaptureStream(int fd) : m_fd(fd) {}

std::unique_ptr<CaptureStream> CaptureStream::open(int fd, const StreamMode& mode,
                                                   std::string& error) {
    std::unique_ptr<CaptureStream> stream(new CaptureStream(fd));
    if (!stream->setUp(mode, error))
        return nullptr; // the destructor undoes what was done
    return stream;
}

bool CaptureStream::setUp(const StreamMode& mode, std::string& error) {
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = static_cast<std::uint32_t>(mode.size.width);
    fmt.fmt.pix.height = static_cast<std::uint32_t>(mode.size.height);
    fmt.fmt.pix.pixelformat = mode.fourcc;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    if (xioctl(m_fd, VIDIOC_S_FMT, &fmt) != 0) {
        error = "VIDIOC_S_FMT failed";
        return false;
    }
    if (fmt.fmt.pix.pixelformat != mode.fourcc ||
        static_cast<int>(fmt.fmt.pix.width) != mode.size.width ||
        static_cast<int>(fmt.fmt.pix.height) != mode.size.height) {
        error = "the device changed the requested format";
        return false;
    }
    m_format.format = mode.format;
    m_format.width = mode.size.width;
    m_format.height = mode.size.height;
    if (mode.format != PixelFormat::Mjpeg)
        m_format.stride = std::max(static_cast<int>(fmt.fmt.pix.bytesperline),
                                   minimalStride(mode.format, mode.size.width));

    // The frame rate: drivers start slow (vivid at 5 a second, UVC cameras at their default);
    // the fastest interval the size offers is asked for.
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (mode.interval && xioctl(m_fd, VIDIOC_G_PARM, &parm) == 0 &&
        (parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME)) {
        parm.parm.capture.timeperframe = {mode.interval->numerator, mode.interval->denominator};
        if (xioctl(m_fd, VIDIOC_S_PARM, &parm) == 0 &&
            parm.parm.capture.timeperframe.denominator != 0)
            m_interval = Interval{parm.parm.capture.timeperframe.numerator,
                                  parm.parm.capture.timeperframe.denominator};
    }

    v4l2_requestbuffers request{};
    request.count = kBufferCount;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (xioctl(m_fd, VIDIOC_REQBUFS, &request) != 0 || request.count == 0) {
        error = "VIDIOC_REQBUFS failed";
        return false;
    }
    m_requested = true;
    for (std::uint32_t index = 0; index < request.count; ++index) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = index;
        if (xioctl(m_fd, VIDIOC_QUERYBUF, &buffer) != 0) {
            error = "VIDIOC_QUERYBUF failed";
            return false;
        }
        Mapping mapping;
        mapping.length = buffer.length;
        mapping.address =
            ::mmap(nullptr, buffer.length, PROT_READ, MAP_SHARED, m_fd, buffer.m.offset);
        if (mapping.address == MAP_FAILED) {
            error = "mmap failed";
            return false;
        }
        m_buffers.push_back(std::move(mapping));
        if (xioctl(m_fd, VIDIOC_QBUF, &buffer) != 0) {
            error = "VIDIOC_QBUF failed";
            return false;
        }
        ++m_queued;
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (xioctl(m_fd, VIDIOC_STREAMON, &type) != 0) {
        error = "VIDIOC_STREAMON failed";
        return false;
    }
    m_streaming = true;
    return true;
}

CaptureStream::~CaptureStream() {
    // After an unplug these fail with ENODEV; the kernel frees the buffers with the last close.
    if (m_streaming) {
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        xioctl(m_fd, VIDIOC_STREAMOFF, &type);
    }
    m_buffers.clear(); // mapped buffers cannot be freed
    if (m_requested) {
        v4l2_requestbuffers none{};
        none.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        none.memory = V4L2_MEMORY_MMAP;
        xioctl(m_fd, VIDIOC_REQBUFS, &none);
    }
}

int CaptureStream::pollTimeoutMs() const {
    if (!m_interval)
        return kMaxTimeoutMs;
    const std::uint64_t periodMs =
        std::uint64_t{m_interval->numerator} * 1000 / m_interval->denominator;
    return static_cast<int>(std::clamp<std::uint64_t>(periodMs * kFramePeriodsPerTimeout,
                                                      kMinTimeoutMs, kMaxTimeoutMs));
}

CaptureStream::End CaptureStream::run(int stopFd, const CameraDevice::FrameHandler& onFrame) {
    const int timeoutMs = pollTimeoutMs();
    bool warnedSilent = false;
    bool warnedDropped = false;
    for (;;) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return End::Lost;
        }
        if (fds[1].revents != 0)
            return End::Stopped;
        if (ready == 0) {
            // A device may pause (a long exposure, a busy USB bus); it is lost only when the
            // kernel says so.
            if (!warnedSilent)
                qWarning("v4l2: no frame for %d ms", timeoutMs);
            warnedSilent = true;
            continue;
        }
        // The device is gone: POLLHUP once it is unregistered, POLLERR once its queue is
        // cancelled (with buffers queued and streaming on, nothing else raises it).
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return End::Lost;
        if (!(fds[0].revents & POLLIN))
            continue;

        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        if (xioctl(m_fd, VIDIOC_DQBUF, &buffer) != 0) {
            if (errno == EAGAIN)
                continue;
            return End::Lost; // ENODEV after an unplug, EIO once the queue is cancelled
        }
        if (buffer.index >= m_buffers.size())
            continue; // not a buffer of ours; nothing to requeue
        const bool flaggedError = (buffer.flags & V4L2_BUF_FLAG_ERROR) != 0;
        const std::uint32_t used = buffer.bytesused;
        std::optional<Frame> frame;
        if (!flaggedError && used > 0)
            frame = frameFromBuffer(m_buffers[buffer.index].bytes(used), m_format,
                                    std::uint64_t{buffer.sequence} + 1);
        // Back to the driver before the handler decodes, so it never runs out of buffers.
        if (xioctl(m_fd, VIDIOC_QBUF, &buffer) != 0) {
            // The driver keeps waiting, without an error, once it holds no buffer: a device
            // that refuses them all would never send a frame again.
            if (errno == ENODEV || errno == EIO || --m_queued == 0)
                return End::Lost;
        }
        if (frame) {
            onFrame(*frame);
        } else if (!warnedDropped && !flaggedError) {
            qWarning("v4l2: dropped a frame that holds no whole picture (%u of %zu bytes used)",
                     used, m_buffers[buffer.index].length);
            warnedDropped = true;
        }
    }
}

} // namespace camcore::v4l2
