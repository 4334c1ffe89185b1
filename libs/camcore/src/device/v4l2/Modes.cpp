#include "device/v4l2/Modes.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <array>

namespace camcore::v4l2 {
namespace {

// Sizes of document cameras and webcams, largest first.
constexpr std::array<Resolution, 18> kCommonSizes{{{4208, 3120},
                                                   {4096, 3072},
                                                   {3840, 2160},
                                                   {3264, 2448},
                                                   {2592, 1944},
                                                   {2560, 1440},
                                                   {2048, 1536},
                                                   {1920, 1080},
                                                   {1600, 1200},
                                                   {1280, 960},
                                                   {1280, 720},
                                                   {1024, 768},
                                                   {800, 600},
                                                   {640, 480},
                                                   {640, 360},
                                                   {352, 288},
                                                   {320, 240},
                                                   {320, 180}}};

// Lower is preferred.
int preference(PixelFormat format) {
    switch (format) {
    case PixelFormat::Mjpeg:
        return 0;
    case PixelFormat::Yuyv:
        return 1;
    case PixelFormat::Nv12:
        return 2;
    }
    return 3;
}

bool larger(Resolution a, Resolution b) {
    const long long areaA = 1LL * a.width * a.height;
    const long long areaB = 1LL * b.width * b.height;
    return areaA != areaB ? areaA > areaB : a.width > b.width;
}

bool onGrid(int value, int minimum, int maximum, int step) {
    return value >= minimum && value <= maximum && (value - minimum) % step == 0;
}

} // namespace

bool Interval::shorterThan(Interval other) const {
    return std::uint64_t{numerator} * other.denominator <
           std::uint64_t{other.numerator} * denominator;
}

std::optional<PixelFormat> decodableFormat(std::uint32_t fourcc) {
    switch (fourcc) {
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG: // what some older UVC cameras call their MJPEG
        return PixelFormat::Mjpeg;
    case V4L2_PIX_FMT_YUYV:
        return PixelFormat::Yuyv;
    case V4L2_PIX_FMT_NV12:
        return PixelFormat::Nv12;
    default:
        return std::nullopt;
    }
}

std::vector<Resolution> sizesInRange(Resolution minimum, Resolution maximum, int stepWidth,
                                     int stepHeight) {
    std::vector<Resolution> sizes;
    if (minimum.width <= 0 || minimum.height <= 0 || maximum.width < minimum.width ||
        maximum.height < minimum.height)
        return sizes;
    stepWidth = std::max(1, stepWidth);
    stepHeight = std::max(1, stepHeight);
    // The largest size on the grid.
    const Resolution largest{maximum.width - (maximum.width - minimum.width) % stepWidth,
                             maximum.height - (maximum.height - minimum.height) % stepHeight};
    sizes.push_back(largest);
    for (Resolution size : kCommonSizes) {
        if (onGrid(size.width, minimum.width, maximum.width, stepWidth) &&
            onGrid(size.height, minimum.height, maximum.height, stepHeight) && !(size == largest))
            sizes.push_back(size);
    }
    return sizes;
}

ModeTable::ModeTable(const std::vector<FormatOffer>& offers) {
    for (const FormatOffer& offer : offers) {
        const std::optional<PixelFormat> format = decodableFormat(offer.fourcc);
        if (!format)
            continue;
        for (const SizeOffer& size : offer.sizes) {
            if (size.size.width <= 0 || size.size.height <= 0)
                continue;
            const StreamMode candidate{offer.fourcc, *format, size.size, size.fastest};
            const auto same =
                std::find_if(m_modes.begin(), m_modes.end(),
                             [&](const StreamMode& m) { return m.size == size.size; });
            if (same == m_modes.end())
                m_modes.push_back(candidate);
            else if (preference(*format) < preference(same->format))
                *same = candidate;
        }
    }
    std::stable_sort(m_modes.begin(), m_modes.end(), [](const StreamMode& a, const StreamMode& b) {
        return larger(a.size, b.size);
    });
}

std::vector<Resolution> ModeTable::resolutions() const {
    std::vector<Resolution> sizes;
    sizes.reserve(m_modes.size());
    for (const StreamMode& mode : m_modes)
        sizes.push_back(mode.size);
    return sizes;
}

std::optional<StreamMode> ModeTable::mode(Resolution size) const {
    for (const StreamMode& mode : m_modes)
        if (mode.size == size)
            return mode;
    return std::nullopt;
}

} // namespace camcore::v4l2
