#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace camcore {

// Compresses pictures the way a UVC camera's MJPEG stream does: baseline JPEG, 4:2:0 chroma.
// One encoder per thread; an instance is not safe to share between threads.
class JpegEncoder {
public:
    explicit JpegEncoder(int quality = 85);
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // A complete JPEG file (SOI..EOI); empty for a null picture or when compression fails.
    std::vector<std::uint8_t> encode(const QImage& picture);

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    int m_quality;
};

} // namespace camcore
