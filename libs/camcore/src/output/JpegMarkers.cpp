#include "output/JpegMarkers.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace camcore {

namespace {

constexpr std::uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kDht = 0xC4, kDqt = 0xDB;
constexpr std::uint8_t kApp0 = 0xE0;

// One marker segment before the first scan: `offset` points at its 0xFF, `length` is the
// length field (which counts itself but not the marker).
struct Segment {
    std::uint8_t marker = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
};

// The segments between SOI and the first SOS (excluded). Empty with ok=false when the data
// does not start with SOI or a segment runs past the end.
struct SegmentList {
    std::vector<Segment> segments;
    bool ok = false;
};

SegmentList headerSegments(std::span<const std::uint8_t> jpeg) {
    SegmentList list;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != kSoi)
        return list;
    std::size_t pos = 2;
    while (pos + 1 < jpeg.size()) {
        if (jpeg[pos] != 0xFF)
            return list;
        const std::uint8_t marker = jpeg[pos + 1];
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == kSos || marker == kEoi) {
            list.ok = true;
            return list;
        }
        if (pos + 4 > jpeg.size())
            return list;
        const std::size_t length = (std::size_t{jpeg[pos + 2]} << 8) | jpeg[pos + 3];
        if (length < 2 || pos + 2 + length > jpeg.size())
            return list;
        list.segments.push_back({marker, pos, length});
        pos += 2 + length;
    }
    return list;
}

bool isJfifApp0(std::span<const std::uint8_t> jpeg, const Segment& segment) {
    // "JFIF\0", version, units, Xdensity, Ydensity, thumbnail size: 14 bytes after the length.
    return segment.marker == kApp0 && segment.length >= 16 &&
           std::memcmp(jpeg.data() + segment.offset + 4, "JFIF", 5) == 0;
}

void putDensity(char* units, int dpi) {
    units[0] = 1; // dots per inch
    for (int i : {1, 3}) {
        units[i] = static_cast<char>(dpi >> 8);
        units[i + 1] = static_cast<char>(dpi & 0xFF);
    }
}

// The IJG base luminance table, in natural (row-major) order.
constexpr std::array<int, 64> kStandardLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

// DQT stores its 64 values in zigzag order; entry k belongs at natural position kZigzag[k].
constexpr std::array<int, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The luminance table (id 0) in zigzag order, from the DQT segments.
std::optional<std::array<int, 64>> luminanceTable(std::span<const std::uint8_t> jpeg) {
    const SegmentList list = headerSegments(jpeg);
    if (!list.ok)
        return std::nullopt;
    std::optional<std::array<int, 64>> found;
    for (const Segment& segment : list.segments) {
        if (segment.marker != kDqt)
            continue;
        std::size_t pos = segment.offset + 4;
        const std::size_t end = segment.offset + 2 + segment.length;
        // A DQT segment may hold several tables: precision/id byte, then 64 values of 8 or 16 bits.
        while (pos < end) {
            const int precision = jpeg[pos] >> 4;
            const int id = jpeg[pos] & 0x0F;
            const std::size_t valueSize = precision == 0 ? 1 : 2;
            if (precision > 1 || pos + 1 + 64 * valueSize > end)
                return std::nullopt;
            std::array<int, 64> table{};
            for (std::size_t k = 0; k < 64; ++k) {
                const std::uint8_t* value = jpeg.data() + pos + 1 + k * valueSize;
                table[k] = valueSize == 1 ? value[0] : (value[0] << 8) | value[1];
            }
            if (id == 0)
                found = table;
            pos += 1 + 64 * valueSize;
        }
    }
    return found;
}

} // namespace

QByteArray withJfifDensity(std::span<const std::uint8_t> jpeg, int dpi) {
    const SegmentList list = headerSegments(jpeg);
    if (!list.ok || dpi < 1 || dpi > std::numeric_limits<std::uint16_t>::max())
        return {};
    QByteArray out(reinterpret_cast<const char*>(jpeg.data()), static_cast<qsizetype>(jpeg.size()));
    // Every JFIF APP0 gets the density, not only the first: libjpeg keeps the values of the
    // last one it reads.
    for (const Segment& segment : list.segments) {
        if (isJfifApp0(jpeg, segment))
            putDensity(out.data() + segment.offset + 11, dpi);
    }
    if (list.segments.empty() || !isJfifApp0(jpeg, list.segments.front())) {
        QByteArray app0("\xFF\xE0\x00\x10JFIF\x00\x01\x01", 11);
        app0.append(7, '\0');
        putDensity(app0.data() + 11, dpi);
        out.insert(2, app0);
    }
    return out;
}

int estimateJpegQuality(std::span<const std::uint8_t> jpeg) {
    const std::optional<std::array<int, 64>> table = luminanceTable(jpeg);
    if (!table)
        return 0;
    int best = 0;
    long bestError = std::numeric_limits<long>::max();
    for (int quality = 1; quality <= 100; ++quality) {
        // IJG scaling (jcparam.c): 5000/q below 50, 200-2q above, values clamped to 1..255.
        const long scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
        long error = 0;
        for (std::size_t k = 0; k < 64; ++k) {
            long expected = (kStandardLuminance[kZigzag[k]] * scale + 50) / 100;
            expected = std::clamp(expected, 1L, 255L);
            error += std::labs(expected - (*table)[k]);
        }
        if (error <= bestError) {
            bestError = error;
            best = quality;
        }
    }
    return best;
}

bool hasHuffmanTables(std::span<const std::uint8_t> jpeg) {
    const SegmentList list = headerSegments(jpeg);
    if (!list.ok)
        return false;
    for (const Segment& segment : list.segments) {
        if (segment.marker == kDht)
            return true;
    }
    return false;
}

} // namespace camcore
