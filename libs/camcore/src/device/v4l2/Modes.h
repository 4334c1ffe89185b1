#pragma once

#include "device/CameraDevice.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace camcore::v4l2 {

// Seconds per frame, as V4L2 counts it (1/30 is 30 frames a second).
struct Interval {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 0;
    bool shorterThan(Interval other) const;
    friend bool operator==(const Interval&, const Interval&) = default;
};

// What a device offers: for each pixel format, its frame sizes with the shortest frame interval
// at that size (none when the driver does not say).
struct SizeOffer {
    Resolution size;
    std::optional<Interval> fastest;
};
struct FormatOffer {
    std::uint32_t fourcc = 0;
    std::vector<SizeOffer> sizes;
};

// How the device streams one resolution.
struct StreamMode {
    std::uint32_t fourcc = 0;
    PixelFormat format = PixelFormat::Mjpeg;
    Resolution size;
    std::optional<Interval> interval;
};

// The pixel format the decoder takes for a V4L2 format; none for formats it cannot decode.
std::optional<PixelFormat> decodableFormat(std::uint32_t fourcc);

// The sizes to offer from a stepwise or continuous range: the common camera sizes that lie on its
// grid, and its largest size. Listing every step would give thousands of entries.
std::vector<Resolution> sizesInRange(Resolution minimum, Resolution maximum, int stepWidth,
                                     int stepHeight);

// The engine's resolutions of a device and the format each streams in: the union of the sizes of
// every decodable format, largest first (by pixel count, then width), so index 0 is the best
// picture whatever order the driver lists them in. At each size MJPEG is chosen when offered
// (a UVC camera's raw formats run at a few frames a second at large sizes, and its MJPEG frames
// are a tenth of the bytes), then YUYV, then NV12.
class ModeTable {
public:
    ModeTable() = default;
    explicit ModeTable(const std::vector<FormatOffer>& offers);

    std::vector<Resolution> resolutions() const;
    std::optional<StreamMode> mode(Resolution size) const;
    bool empty() const { return m_modes.empty(); }

private:
    std::vector<StreamMode> m_modes; // one per size, largest first
};

} // namespace camcore::v4l2
