#include "device/v4l2/V4l2DeviceSource.h"

#include "base/Owned.h"
#include "device/v4l2/Ioctl.h"
#include "device/v4l2/Query.h"

#include <libudev.h>

#include <fcntl.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>

namespace camcore::v4l2 {
namespace {

using Udev = Owned<udev*, udev_unref>;
using UdevEnumerate = Owned<udev_enumerate*, udev_enumerate_unref>;
using UdevDevice = Owned<udev_device*, udev_device_unref>;

// "046d" -> "046D"; anything but four hex digits -> empty.
std::string usbId(const char* value) {
    if (value == nullptr || std::strlen(value) != 4)
        return {};
    std::string id(value);
    for (char& c : id) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return {};
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return id;
}

// N of "videoN"; none for other video4linux nodes (vbi, radio, swradio, v4l-subdev, v4l-touch).
std::optional<int> videoNumber(const char* sysname) {
    constexpr std::string_view prefix = "video";
    if (sysname == nullptr || std::strncmp(sysname, prefix.data(), prefix.size()) != 0)
        return std::nullopt;
    const char* digits = sysname + prefix.size();
    const char* end = digits + std::strlen(digits);
    int number = -1;
    const auto [rest, error] = std::from_chars(digits, end, number);
    if (error != std::errc() || rest != end || digits == end)
        return std::nullopt;
    return number;
}

struct Candidate {
    NodeInfo node;
    UniqueFd fd;
};

} // namespace

std::vector<NodeInfo> orderCameraNodes(std::vector<NodeInfo> nodes) {
    std::stable_sort(nodes.begin(), nodes.end(), [](const NodeInfo& a, const NodeInfo& b) {
        if (a.capabilities.busInfo != b.capabilities.busInfo)
            return a.capabilities.busInfo < b.capabilities.busInfo;
        return a.number < b.number;
    });
    std::vector<NodeInfo> cameras;
    for (NodeInfo& node : nodes) {
        const bool sameDevice = !cameras.empty() && !node.capabilities.busInfo.empty() &&
                                cameras.back().capabilities.busInfo == node.capabilities.busInfo;
        if (!sameDevice)
            cameras.push_back(std::move(node));
    }
    return cameras;
}

V4l2DeviceSource::V4l2DeviceSource(std::shared_ptr<ControlMemory> memory)
    : m_memory(std::move(memory)) {}

std::vector<std::shared_ptr<CameraDevice>> V4l2DeviceSource::devices() {
    std::vector<std::shared_ptr<CameraDevice>> list;
    for (auto& camera : cameras())
        list.push_back(std::move(camera));
    return list;
}

std::vector<std::shared_ptr<V4l2Camera>> V4l2DeviceSource::cameras() {
    // libudev reads sysfs here; it needs no udev daemon.
    const Udev context(udev_new());
    if (!context)
        return {};
    const UdevEnumerate enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "video4linux") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0)
        return {};

    std::vector<Candidate> candidates;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        const UdevDevice device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!device)
            continue;
        const std::optional<int> number = videoNumber(udev_device_get_sysname(device.get()));
        const char* path = udev_device_get_devnode(device.get());
        if (!number || path == nullptr)
            continue;
        UniqueFd fd(::open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC));
        if (!fd)
            continue; // no permission (not in the video group), or gone meanwhile
        std::optional<NodeCapabilities> caps = queryCapabilities(fd.get());
        if (!caps || !isVideoCaptureNode(caps->deviceCaps))
            continue;
        Candidate candidate;
        candidate.node.path = path;
        candidate.node.number = *number;
        candidate.node.capabilities = std::move(*caps);
        // The parent owns what this returns.
        if (udev_device* usb =
                udev_device_get_parent_with_subsystem_devtype(device.get(), "usb", "usb_device")) {
            candidate.node.vendorId = usbId(udev_device_get_sysattr_value(usb, "idVendor"));
            candidate.node.productId = usbId(udev_device_get_sysattr_value(usb, "idProduct"));
        }
        candidate.fd = std::move(fd);
        candidates.push_back(std::move(candidate));
    }

    std::vector<NodeInfo> usable;
    std::map<std::string, Candidate> byPath;
    std::map<std::string, ModeTable> modes;
    for (Candidate& candidate : candidates) {
        const std::string& path = candidate.node.path;
        const auto known = m_known.find(path);
        const bool same =
            known != m_known.end() && known->second->isPresent() &&
            known->second->node().capabilities.busInfo == candidate.node.capabilities.busInfo;
        if (!same) {
            ModeTable table(queryOffers(candidate.fd.get()));
            if (table.empty())
                continue; // nothing the decoder takes, or a loopback device without producer
            modes[path] = std::move(table);
        }
        usable.push_back(candidate.node);
        byPath.emplace(path, std::move(candidate));
    }

    std::map<std::string, std::shared_ptr<V4l2Camera>> known;
    std::vector<std::shared_ptr<V4l2Camera>> result;
    for (const NodeInfo& node : orderCameraNodes(std::move(usable))) {
        std::shared_ptr<V4l2Camera> camera;
        if (const auto modeTable = modes.find(node.path); modeTable != modes.end())
            camera = std::make_shared<V4l2Camera>(std::move(byPath[node.path].fd), node,
                                                  std::move(modeTable->second), m_memory);
        else
            camera = m_known[node.path];
        known[node.path] = camera;
        result.push_back(std::move(camera));
    }
    m_known = std::move(known);
    return result;
}

} // namespace camcore::v4l2
