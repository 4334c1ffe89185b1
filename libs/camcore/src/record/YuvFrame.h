#pragma once

#include "device/CameraDevice.h"
#include "pipeline/TurboJpeg.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
}

namespace camcore {

// A camera's JPEG as the planes it stores (Y, Cb, Cr, full range as JPEG has them), for the video
// encoder: the step through RGB and back costs a recording a third of its time.
struct YuvFrame {
    AVPixelFormat format = AV_PIX_FMT_NONE; // YUV420P, YUV422P or YUV444P
    int width = 0;
    int height = 0;
    std::array<const std::uint8_t*, 3> planes{};
    std::array<int, 3> strides{};
};

// Decodes MJPEG frames to planes, at the smallest of the decoder's fast scales still at least
// `minWidth` wide. The planes stay valid until the next decode; each row and plane has room after
// it, as the scaler reads a little past their ends. Used by one thread at a time.
class YuvFrameDecoder {
public:
    YuvFrameDecoder();

    // Nothing for a frame that is not a colour JPEG of 4:2:0, 4:2:2 or 4:4:4 chroma, or that is
    // damaged: the caller decodes it to RGB instead.
    std::optional<YuvFrame> decode(const Frame& frame, int minWidth);

private:
    TjHandle m_tj;
    std::vector<std::uint8_t> m_buffer;
};

} // namespace camcore
