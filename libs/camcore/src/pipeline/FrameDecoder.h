#pragma once

#include "device/CameraDevice.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace camcore {

// Turns device frames into pictures (QImage::Format_RGB888). MJPEG goes through TurboJPEG, which
// can decode at 1/2, 1/4 or 1/8 of the size for almost nothing: the preview asks for the smallest
// size that still covers the screen, captures for the full size. YUYV goes through libyuv's
// SIMD conversion, NV12 through a loop of our own, both BT.601 limited range, averaged 2 x 2 or
// 4 x 4 for a view. One decoder per thread; an instance is not safe to share between threads.
class FrameDecoder {
public:
    FrameDecoder();
    ~FrameDecoder();
    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    // Size stored in a JPEG header; empty when the header is damaged.
    std::optional<QSize> jpegSize(std::span<const std::uint8_t> jpeg);

    // Decodes at the smallest scale whose width is at least `minWidth` (0: full size). A null
    // image for damaged or truncated data; never crashes on bad input.
    QImage decode(const Frame& frame, int minWidth = 0);
    QImage decodeJpeg(std::span<const std::uint8_t> jpeg, int minWidth = 0);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};

// The size TurboJPEG decodes a `width` x `height` JPEG at for a picture at least `minWidth` wide
// (0: full size): the smallest of 1/1, 1/2, 1/4 and 1/8 that is still that wide.
QSize scaledJpegSize(int width, int height, int minWidth);

// Finds the end of the JPEG in a buffer that may be padded after its EOI marker (some drivers
// report the whole buffer as used). Returns the size up to and including EOI, or 0 when there
// is no complete JPEG.
std::size_t jpegLength(std::span<const std::uint8_t> buffer);

} // namespace camcore
