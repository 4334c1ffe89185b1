#include "device/v4l2/Query.h"

#include "device/v4l2/Ioctl.h"

#include <linux/videodev2.h>

#include <cstring>

namespace camcore::v4l2 {
namespace {

// Bounds every enumeration: a driver that never says EINVAL must not hang the caller.
constexpr std::uint32_t kMaxEntries = 256;

std::string text(const std::uint8_t* field, std::size_t size) {
    const char* chars = reinterpret_cast<const char*>(field);
    return std::string(chars, strnlen(chars, size));
}

std::optional<Interval> fastestInterval(int fd, std::uint32_t fourcc, Resolution size) {
    std::optional<Interval> fastest;
    for (std::uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_frmivalenum e{};
        e.index = index;
        e.pixel_format = fourcc;
        e.width = static_cast<std::uint32_t>(size.width);
        e.height = static_cast<std::uint32_t>(size.height);
        if (xioctl(fd, VIDIOC_ENUM_FRAMEINTERVALS, &e) != 0)
            break;
        const v4l2_fract f = e.type == V4L2_FRMIVAL_TYPE_DISCRETE ? e.discrete : e.stepwise.min;
        const Interval interval{f.numerator, f.denominator};
        if (interval.numerator != 0 && interval.denominator != 0 &&
            (!fastest || interval.shorterThan(*fastest)))
            fastest = interval;
        if (e.type != V4L2_FRMIVAL_TYPE_DISCRETE)
            break; // a range is described by its first entry
    }
    return fastest;
}

std::vector<Resolution> frameSizes(int fd, std::uint32_t fourcc) {
    std::vector<Resolution> sizes;
    for (std::uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_frmsizeenum e{};
        e.index = index;
        e.pixel_format = fourcc;
        if (xioctl(fd, VIDIOC_ENUM_FRAMESIZES, &e) != 0)
            break;
        if (e.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.push_back(
                {static_cast<int>(e.discrete.width), static_cast<int>(e.discrete.height)});
            continue;
        }
        const v4l2_frmsize_stepwise& s = e.stepwise;
        return sizesInRange({static_cast<int>(s.min_width), static_cast<int>(s.min_height)},
                            {static_cast<int>(s.max_width), static_cast<int>(s.max_height)},
                            static_cast<int>(s.step_width), static_cast<int>(s.step_height));
    }
    if (sizes.empty()) {
        // A driver without VIDIOC_ENUM_FRAMESIZES: its current size, if it is in this format.
        v4l2_format current{};
        current.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (xioctl(fd, VIDIOC_G_FMT, &current) == 0 && current.fmt.pix.pixelformat == fourcc)
            sizes.push_back({static_cast<int>(current.fmt.pix.width),
                             static_cast<int>(current.fmt.pix.height)});
    }
    return sizes;
}

} // namespace

std::optional<NodeCapabilities> queryCapabilities(int fd) {
    v4l2_capability cap{};
    if (xioctl(fd, VIDIOC_QUERYCAP, &cap) != 0)
        return std::nullopt;
    NodeCapabilities result;
    result.driver = text(cap.driver, sizeof cap.driver);
    result.card = text(cap.card, sizeof cap.card);
    result.busInfo = text(cap.bus_info, sizeof cap.bus_info);
    result.deviceCaps =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    return result;
}

bool isVideoCaptureNode(std::uint32_t deviceCaps) {
    return (deviceCaps & V4L2_CAP_VIDEO_CAPTURE) && (deviceCaps & V4L2_CAP_STREAMING) &&
           !(deviceCaps & (V4L2_CAP_VIDEO_M2M | V4L2_CAP_VIDEO_M2M_MPLANE));
}

std::vector<FormatOffer> queryOffers(int fd) {
    std::vector<FormatOffer> offers;
    for (std::uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_fmtdesc desc{};
        desc.index = index;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (xioctl(fd, VIDIOC_ENUM_FMT, &desc) != 0)
            break;
        if (!decodableFormat(desc.pixelformat))
            continue;
        FormatOffer offer;
        offer.fourcc = desc.pixelformat;
        for (Resolution size : frameSizes(fd, desc.pixelformat))
            offer.sizes.push_back({size, fastestInterval(fd, desc.pixelformat, size)});
        offers.push_back(std::move(offer));
    }
    return offers;
}

} // namespace camcore::v4l2
