#pragma once

#include "device/CameraDevice.h"
#include "device/v4l2/Modes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace camcore::v4l2 {

// How the frames of a stream are laid out, as VIDIOC_S_FMT settled it.
struct StreamFormat {
    PixelFormat format = PixelFormat::Mjpeg;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes per line of raw formats; 0 for MJPEG
};

// The frame held by the used part of one dequeued buffer, copied out of it; none when the buffer
// holds no whole picture: an MJPEG frame without its end marker (cut short, or garbage) or a raw
// frame shorter than its size. Many drivers report the whole buffer as used for MJPEG, so the
// JPEG's real end is searched for and the padding after it is not copied.
std::optional<Frame> frameFromBuffer(std::span<const std::uint8_t> used, const StreamFormat& format,
                                     std::uint64_t sequence);

// One mmap stream of an open node: open() sets the mode and starts streaming, the destructor is
// the single teardown (streaming off, buffers unmapped and freed), whatever state it stops in.
class CaptureStream {
public:
    enum class End { Stopped, Lost };

    // Null when the device refuses the mode or the buffers; `error` then says which step failed.
    static std::unique_ptr<CaptureStream> open(int fd, const StreamMode& mode, std::string& error);
    ~CaptureStream();
    CaptureStream(const CaptureStream&) = delete;
    CaptureStream& operator=(const CaptureStream&) = delete;

    const StreamFormat& format() const { return m_format; }
    // The frame interval the driver accepted; none when it cannot set one.
    std::optional<Interval> interval() const { return m_interval; }

    // The capture loop, run on the stream's own thread: waits for frames and hands each whole one
    // to `onFrame` until `stopFd` becomes readable (Stopped) or the device goes away (Lost).
    End run(int stopFd, const CameraDevice::FrameHandler& onFrame);

private:
    struct Mapping;
    explicit CaptureStream(int fd);
    bool setUp(const StreamMode& mode, std::string& error);
    int pollTimeoutMs() const;

    int m_fd;
    StreamFormat m_format;
    std::optional<Interval> m_interval;
    std::vector<Mapping> m_buffers;
    std::size_t m_queued = 0; // buffers in circulation between the driver and this loop
    bool m_requested = false;
    bool m_streaming = false;
};

} // namespace camcore::v4l2
