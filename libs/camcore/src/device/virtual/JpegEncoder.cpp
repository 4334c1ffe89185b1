#include "device/virtual/JpegEncoder.h"

#include "pipeline/TurboJpeg.h"

#include <cstddef>

namespace camcore {

struct JpegEncoder::Handle {
    TjHandle tj{tjInitCompress()};
    // Worst-case output buffer, kept between frames: 8 MP frames need about 25 MB of it.
    std::vector<std::uint8_t> scratch;
};

JpegEncoder::JpegEncoder(int quality) : m_handle(std::make_unique<Handle>()), m_quality(quality) {}

JpegEncoder::~JpegEncoder() = default;

std::vector<std::uint8_t> JpegEncoder::encode(const QImage& picture) {
    if (!m_handle->tj || picture.isNull())
        return {};
    // RGB32 is 0xffRRGGBB in native byte order, so its bytes read BGRX on little-endian machines.
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    const int pixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;
    // Compressing into our own buffer of the worst-case size spares the library's allocation,
    // which would have to be released with tjFree.
    const unsigned long capacity = tjBufSize(source.width(), source.height(), TJSAMP_420);
    if (capacity == static_cast<unsigned long>(-1))
        return {};
    std::vector<std::uint8_t>& scratch = m_handle->scratch;
    if (scratch.size() < capacity)
        scratch.resize(capacity);
    unsigned char* out = scratch.data();
    unsigned long size = capacity;
    if (tjCompress2(m_handle->tj.get(), source.constBits(), source.width(),
                    static_cast<int>(source.bytesPerLine()), source.height(), pixelFormat, &out,
                    &size, TJSAMP_420, m_quality, TJFLAG_NOREALLOC) != 0)
        return {};
    return {scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(size)};
}

} // namespace camcore
