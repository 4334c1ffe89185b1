#include "record/YuvFrame.h"

#include "pipeline/FrameDecoder.h"

#include <span>

namespace camcore {
namespace {

// Room after each row and plane for the scaler's reads past their ends (FFmpeg pads its own
// buffers by 64 bytes for the same reason).
constexpr int kPadding = 64;
// Far beyond any document camera: a damaged header must not make us allocate gigabytes.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 27;

std::optional<AVPixelFormat> planarFormat(int subsampling) {
    switch (subsampling) {
    case TJSAMP_420:
        return AV_PIX_FMT_YUV420P;
    case TJSAMP_422:
        return AV_PIX_FMT_YUV422P;
    case TJSAMP_444:
        return AV_PIX_FMT_YUV444P;
    default:
        return std::nullopt; // grey, 4:4:0 and 4:1:1 go through RGB
    }
}

} // namespace

YuvFrameDecoder::YuvFrameDecoder() : m_tj(tjInitDecompress()) {}

std::optional<YuvFrame> YuvFrameDecoder::decode(const Frame& frame, int minWidth) {
    if (frame.empty() || frame.format != PixelFormat::Mjpeg || !m_tj)
        return std::nullopt;
    // A frame without its EOI was cut short; libjpeg would only warn and pad it with grey.
    const std::span<const std::uint8_t> jpeg =
        std::span<const std::uint8_t>(*frame.bytes).first(jpegLength(*frame.bytes));
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (jpeg.empty() || tjDecompressHeader3(m_tj.get(), jpeg.data(), jpeg.size(), &width, &height,
                                            &subsampling, &colorspace) != 0) {
        m_tj.reset(tjInitDecompress()); // libjpeg-turbo 2.1 stays mid-header after an error
        return std::nullopt;
    }
    const std::optional<AVPixelFormat> format = planarFormat(subsampling);
    if (!format || colorspace != TJCS_YCbCr || std::int64_t{width} * height > kMaxPixels)
        return std::nullopt;

    const QSize scaled = scaledJpegSize(width, height, minWidth);
    YuvFrame out;
    out.format = *format;
    out.width = scaled.width();
    out.height = scaled.height();
    std::array<std::size_t, 3> offsets{};
    std::size_t total = 0;
    for (int plane = 0; plane < 3; ++plane) {
        const int planeWidth = tjPlaneWidth(plane, out.width, subsampling);
        const int planeHeight = tjPlaneHeight(plane, out.height, subsampling);
        out.strides[plane] = (planeWidth + kPadding + 31) & ~31;
        offsets[plane] = total;
        total += static_cast<std::size_t>(out.strides[plane]) * planeHeight + kPadding;
    }
    m_buffer.resize(total);
    std::array<unsigned char*, 3> planes{};
    for (int plane = 0; plane < 3; ++plane) {
        planes[plane] = m_buffer.data() + offsets[plane];
        out.planes[plane] = planes[plane];
    }
    if (tjDecompressToYUVPlanes(m_tj.get(), jpeg.data(), jpeg.size(), planes.data(), out.width,
                                out.strides.data(), out.height, 0) != 0 &&
        tjGetErrorCode(m_tj.get()) != TJERR_WARNING) {
        m_tj.reset(tjInitDecompress());
        return std::nullopt;
    }
    return out;
}

} // namespace camcore
