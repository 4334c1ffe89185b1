#include "pipeline/FrameDecoder.h"

#include "pipeline/StreamedRgb.h"
#include "pipeline/TurboJpeg.h"

#include <libyuv/convert_argb.h>
#include <libyuv/convert_from_argb.h>
#include <libyuv/scale_argb.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace camcore {

struct FrameDecoder::Handle {
    TjHandle tj{tjInitDecompress()};

    // After an error in the header (e.g. a size over libjpeg's 65500 limit) libjpeg-turbo 2.1
    // leaves the instance mid-header and fails every later frame ("two SOI markers"). A fresh
    // instance costs 0.2 us.
    void renew() { tj.reset(tjInitDecompress()); }
};

namespace {

// 134 MP, far beyond any document camera; a damaged or hostile header claiming 60000 x 60000
// must not make us allocate 10 GB.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 27;

bool sizeAcceptable(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPixels;
}

// Only 1/1, 1/2, 1/4 and 1/8: the other M/8 factors run slower scaled IDCTs. On an 8 MP frame
// here 5/8 took 40 ms, more than the full size (34 ms), and 3/8 30 ms, no less than 1/2 (29 ms).
bool isPowerOfTwoReduction(const tjscalingfactor& factor) {
    return factor.num == 1 &&
           (factor.denom == 1 || factor.denom == 2 || factor.denom == 4 || factor.denom == 8);
}

} // namespace

QSize scaledJpegSize(int width, int height, int minWidth) {
    tjscalingfactor best{1, 1};
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    if (minWidth > 0 && factors) {
        for (int i = 0; i < count; ++i) {
            const tjscalingfactor& f = factors[i];
            if (!isPowerOfTwoReduction(f) || TJSCALED(width, f) < minWidth)
                continue;
            if (f.num * best.denom < best.num * f.denom)
                best = f;
        }
    }
    return {TJSCALED(width, best), TJSCALED(height, best)};
}

namespace {

bool staysInEntropyData(std::uint8_t marker) {
    return (marker >= 0xD0 && marker <= 0xD7) || marker == 0x00 || marker == 0xFF;
}

// Walks entropy-coded data from `pos` to the next real marker. Returns its offset, or the
// buffer size when the data runs out first.
std::size_t skipEntropyData(std::span<const std::uint8_t> b, std::size_t pos) {
    while (pos + 1 < b.size()) {
        const void* hit = std::memchr(b.data() + pos, 0xFF, b.size() - pos - 1);
        if (!hit)
            return b.size();
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - b.data());
        const std::uint8_t next = b[pos + 1];
        if (!staysInEntropyData(next))
            return pos;
        // FF00 is a stuffed data byte and RSTn sits inside the data: step over both bytes. For FF
        // FF the first is fill; look again from the second.
        pos += next == 0xFF ? 1 : 2;
    }
    return b.size();
}

// BT.601 limited range (Y 16..235, Cb/Cr 16..240) in 8.8 fixed point. Two neighbours share
// their chroma, so its terms are worked out once per pair.
struct Chroma {
    int r, g, b;
};

inline Chroma chroma(int u, int v) {
    const int d = u - 128;
    const int e = v - 128;
    return {409 * e, -100 * d - 208 * e, 516 * d};
}

inline void putRgb(int y, Chroma c, std::uint8_t* out) {
    const int l = 298 * (y - 16) + 128;
    out[0] = static_cast<std::uint8_t>(std::clamp((l + c.r) >> 8, 0, 255));
    out[1] = static_cast<std::uint8_t>(std::clamp((l + c.g) >> 8, 0, 255));
    out[2] = static_cast<std::uint8_t>(std::clamp((l + c.b) >> 8, 0, 255));
}

// Largest reduction in {4, 2, 1} that keeps the width at least `minWidth`.
int rawReduction(int width, int height, int minWidth) {
    if (minWidth <= 0)
        return 1;
    for (int f : {4, 2})
        if (width / f >= minWidth && height / f > 0)
            return f;
    return 1;
}

struct RawLayout {
    std::int64_t stride = 0;
    std::int64_t required = 0; // bytes the frame needs
};

std::optional<RawLayout> rawLayout(const Frame& frame) {
    if (!sizeAcceptable(frame.width, frame.height) || frame.stride < 0)
        return std::nullopt;
    const std::int64_t w = frame.width;
    const std::int64_t h = frame.height;
    const std::int64_t pairs = (w + 1) / 2;
    RawLayout layout;
    if (frame.format == PixelFormat::Yuyv) {
        const std::int64_t row = pairs * 4;
        layout.stride = frame.stride ? frame.stride : row;
        if (layout.stride < row)
            return std::nullopt;
        layout.required = layout.stride * (h - 1) + row;
    } else {
        const std::int64_t chromaRow = pairs * 2;
        layout.stride = frame.stride ? frame.stride : w;
        if (layout.stride < chromaRow)
            return std::nullopt;
        layout.required = layout.stride * (h + (h + 1) / 2 - 1) + chromaRow;
    }
    if (static_cast<std::int64_t>(frame.bytes->size()) < layout.required)
        return std::nullopt;
    return layout;
}

// Each output pixel is the average of an F x F block. F is a template argument so the block
// loops unroll and the averages become shifts: an 8 MP YUYV frame for a 1280 view took 18 ms
// with F a variable, 8 ms like this (20 ms at full size). YUYV now goes through libyuv
// (convertYuyvFull, convertYuyvReduced); this stays for rows further apart than libyuv's int.
template <int F>
void convertYuyv(const std::uint8_t* src, std::int64_t stride, int width, QImage& out) {
    constexpr int kArea = F * F;
    constexpr int kChromaArea = kArea / 2;
    for (int oy = 0; oy < out.height(); ++oy) {
        std::uint8_t* dst = out.scanLine(oy);
        const std::uint8_t* row = src + stride * oy * F;
        if constexpr (F == 1) {
            for (int x = 0; x < width; x += 2, row += 4, dst += 6) {
                const Chroma c = chroma(row[1], row[3]);
                putRgb(row[0], c, dst);
                if (x + 1 < width)
                    putRgb(row[2], c, dst + 3);
            }
        } else {
            for (int ox = 0; ox < out.width(); ++ox, dst += 3) {
                int sy = 0, su = 0, sv = 0;
                for (int dy = 0; dy < F; ++dy) {
                    const std::uint8_t* pair = row + stride * dy + std::int64_t{ox} * F * 2;
                    for (int p = 0; p < F / 2; ++p, pair += 4) {
                        sy += pair[0] + pair[2];
                        su += pair[1];
                        sv += pair[3];
                    }
                }
                putRgb((sy + kArea / 2) / kArea,
                       chroma((su + kChromaArea / 2) / kChromaArea,
                              (sv + kChromaArea / 2) / kChromaArea),
                       dst);
            }
        }
    }
}

template <int F>
void convertNv12(const std::uint8_t* src, std::int64_t stride, int width, int height, QImage& out) {
    constexpr int kArea = F * F;
    constexpr int kHalf = F > 1 ? F / 2 : 1;
    constexpr int kChromaArea = kHalf * kHalf;
    const std::uint8_t* chromaPlane = src + stride * height;
    for (int oy = 0; oy < out.height(); ++oy) {
        std::uint8_t* dst = out.scanLine(oy);
        const std::uint8_t* luma = src + stride * oy * F;
        const std::uint8_t* uv = chromaPlane + stride * (oy * F / 2);
        if constexpr (F == 1) {
            for (int x = 0; x < width; x += 2, dst += 6) {
                const Chroma c = chroma(uv[x], uv[x + 1]);
                putRgb(luma[x], c, dst);
                if (x + 1 < width)
                    putRgb(luma[x + 1], c, dst + 3);
            }
        } else {
            for (int ox = 0; ox < out.width(); ++ox, dst += 3) {
                int sy = 0, su = 0, sv = 0;
                for (int dy = 0; dy < F; ++dy)
                    for (int dx = 0; dx < F; ++dx)
                        sy += luma[stride * dy + ox * F + dx];
                for (int dy = 0; dy < kHalf; ++dy)
                    for (int dx = 0; dx < kHalf; ++dx) {
                        su += uv[stride * dy + ox * F + dx * 2];
                        sv += uv[stride * dy + ox * F + dx * 2 + 1];
                    }
                putRgb((sy + kArea / 2) / kArea,
                       chroma((su + kChromaArea / 2) / kChromaArea,
                              (sv + kChromaArea / 2) / kChromaArea),
                       dst);
            }
        }
    }
}

// Rows converted per libyuv call at full size: a strip of this many ARGB rows (52 KB at 3264
// wide) stays in the cache between its two passes.
constexpr int kStripRows = 4;

// Full-size YUYV through libyuv, whose YUY2ToARGB is BT.601 limited range like putRgb (its
// fixed point differs by at most 2 levels in range) and runs on AVX2 or SSSE3 where the
// processor has them; the ARGB rows are then streamed out as RGB888. An 8 MP frame took 21 ms in
// the loop of convertYuyv<1>, 5-6 ms with libyuv's ARGBToRAW for the second pass, 3.2-3.5 ms
// with the streamed one.
void convertYuyvFull(const std::uint8_t* src, int stride, QImage& out) {
    const int width = out.width();
    std::vector<std::uint8_t> strip(std::size_t(width) * 4 * kStripRows);
    const int stripStride = width * 4;
    for (int y = 0; y < out.height(); y += kStripRows) {
        const int rows = std::min(kStripRows, out.height() - y);
        libyuv::YUY2ToARGB(src + std::int64_t{stride} * y, stride, strip.data(), stripStride, width,
                           rows);
        for (int r = 0; r < rows; ++r)
            argbRowToRgb(strip.data() + std::size_t(stripStride) * r, out.scanLine(y + r), width);
    }
    finishStreamedRows();
}

// A reduced YUYV picture: each F x F block is converted by YUY2ToARGB and averaged by
// libyuv's box filter (the rounded mean of the block, F = 2 or 4), one output row at a time.
// Averaging the colours rather than Y, U and V differs only where a channel clips, in
// saturated colours. An 8 MP frame for a 1280 view took 9.5 ms in convertYuyv<2>, 2.9 ms like
// this (CPU, on a busy machine).
template <int F> void convertYuyvReduced(const std::uint8_t* src, int stride, QImage& out) {
    const int width = out.width();
    const int blockWidth = width * F; // the columns of whole blocks
    std::vector<std::uint8_t> strip(std::size_t(blockWidth) * 4 * F);
    std::vector<std::uint8_t> row(std::size_t(width) * 4);
    const int outStride = static_cast<int>(out.bytesPerLine());
    for (int y = 0; y < out.height(); ++y) {
        libyuv::YUY2ToARGB(src + std::int64_t{stride} * y * F, stride, strip.data(), blockWidth * 4,
                           blockWidth, F);
        libyuv::ARGBScale(strip.data(), blockWidth * 4, blockWidth, F, row.data(), width * 4, width,
                          1, libyuv::kFilterBox);
        libyuv::ARGBToRAW(row.data(), width * 4, out.scanLine(y), outStride, width, 1);
    }
}

// libyuv takes int strides and sizes; a frame whose rows lie further apart keeps the loop.
bool fitsLibyuv(std::int64_t stride, const QImage& out) {
    return stride <= INT_MAX && std::int64_t{out.width()} * 4 * 4 <= INT_MAX &&
           out.bytesPerLine() <= INT_MAX;
}

template <int F> QImage convertRaw(const Frame& frame, std::int64_t stride) {
    QImage out(frame.width / F, frame.height / F, QImage::Format_RGB888);
    if (out.isNull())
        return {};
    const std::uint8_t* data = frame.bytes->data();
    if (frame.format == PixelFormat::Yuyv) {
        if (!fitsLibyuv(stride, out))
            convertYuyv<F>(data, stride, frame.width, out);
        else if constexpr (F == 1)
            convertYuyvFull(data, static_cast<int>(stride), out);
        else
            convertYuyvReduced<F>(data, static_cast<int>(stride), out);
    } else {
        convertNv12<F>(data, stride, frame.width, frame.height, out);
    }
    return out;
}

} // namespace

FrameDecoder::FrameDecoder() : m_handle(std::make_unique<Handle>()) {}

FrameDecoder::~FrameDecoder() = default;

std::optional<QSize> FrameDecoder::jpegSize(std::span<const std::uint8_t> jpeg) {
    if (!m_handle->tj || jpeg.empty())
        return std::nullopt;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(m_handle->tj.get(), jpeg.data(), jpeg.size(), &width, &height,
                            &subsampling, &colorspace) != 0) {
        m_handle->renew();
        return std::nullopt;
    }
    if (!sizeAcceptable(width, height))
        return std::nullopt;
    return QSize(width, height);
}

QImage FrameDecoder::decodeJpeg(std::span<const std::uint8_t> jpeg, int minWidth) {
    // A frame without its EOI was cut short; libjpeg would only warn and pad it with grey.
    const std::size_t length = jpegLength(jpeg);
    if (length == 0)
        return {};
    jpeg = jpeg.first(length);
    const std::optional<QSize> size = jpegSize(jpeg);
    if (!size)
        return {};
    const QSize scaled = scaledJpegSize(size->width(), size->height(), minWidth);
    QImage out(scaled, QImage::Format_RGB888);
    if (out.isNull())
        return {};
    tjhandle tj = m_handle->tj.get();
    if (tjDecompress2(tj, jpeg.data(), jpeg.size(), out.bits(), scaled.width(),
                      static_cast<int>(out.bytesPerLine()), scaled.height(), TJPF_RGB, 0) != 0 &&
        tjGetErrorCode(tj) != TJERR_WARNING) {
        m_handle->renew();
        return {};
    }
    return out;
}

QImage FrameDecoder::decode(const Frame& frame, int minWidth) {
    if (frame.empty())
        return {};
    if (frame.format == PixelFormat::Mjpeg)
        return decodeJpeg(*frame.bytes, minWidth);
    const std::optional<RawLayout> layout = rawLayout(frame);
    if (!layout)
        return {};
    switch (rawReduction(frame.width, frame.height, minWidth)) {
    case 4:
        return convertRaw<4>(frame, layout->stride);
    case 2:
        return convertRaw<2>(frame, layout->stride);
    default:
        return convertRaw<1>(frame, layout->stride);
    }
}

std::size_t jpegLength(std::span<const std::uint8_t> buffer) {
    const std::size_t size = buffer.size();
    if (size < 4 || buffer[0] != 0xFF || buffer[1] != 0xD8)
        return 0;
    std::size_t pos = 2;
    while (pos + 1 < size) {
        if (buffer[pos] != 0xFF)
            return 0; // not a marker where one must be: damaged
        const std::uint8_t marker = buffer[pos + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        pos += 2;
        if (marker == 0xD9)
            return pos;
        if (marker == 0xD8 || marker == 0x00)
            return 0;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue; // markers without a length
        if (pos + 2 > size)
            return 0;
        const std::size_t segment = (std::size_t{buffer[pos]} << 8) | buffer[pos + 1];
        if (segment < 2)
            return 0;
        pos += segment;
        if (marker == 0xDA)
            pos = skipEntropyData(buffer, pos);
    }
    return 0;
}

} // namespace camcore
