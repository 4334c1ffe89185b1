#include "device/v4l2/Controls.h"

#include "device/v4l2/Ioctl.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace camcore::v4l2 {
namespace {

// Bounds the walk over a driver's controls and over one menu.
constexpr int kMaxControls = 1024;
constexpr long long kMaxMenuEntries = 256;

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string text(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

// Drivers older than VIDIOC_QUERY_EXT_CTRL (Linux 3.17) answer only VIDIOC_QUERYCTRL.
bool queryNext(int fd, std::uint32_t after, v4l2_query_ext_ctrl& out, bool& extended) {
    if (extended) {
        out = {};
        out.id = after | V4L2_CTRL_FLAG_NEXT_CTRL;
        if (xioctl(fd, VIDIOC_QUERY_EXT_CTRL, &out) == 0)
            return true;
        if (errno != ENOTTY)
            return false;
        extended = false;
    }
    v4l2_queryctrl old{};
    old.id = after | V4L2_CTRL_FLAG_NEXT_CTRL;
    if (xioctl(fd, VIDIOC_QUERYCTRL, &old) != 0)
        return false;
    out = {};
    out.id = old.id;
    out.type = old.type;
    std::memcpy(out.name, old.name, std::min(sizeof out.name, sizeof old.name));
    out.minimum = old.minimum;
    out.maximum = old.maximum;
    out.step = static_cast<std::uint64_t>(std::max(0, old.step));
    out.default_value = old.default_value;
    out.flags = old.flags;
    out.elems = 1;
    return true;
}

std::vector<MenuEntry> menuEntries(int fd, const v4l2_query_ext_ctrl& query) {
    std::vector<MenuEntry> entries;
    const long long last = std::min<long long>(query.maximum, query.minimum + kMaxMenuEntries);
    for (long long index = std::max<long long>(0, query.minimum); index <= last; ++index) {
        v4l2_querymenu item{};
        item.id = query.id;
        item.index = static_cast<std::uint32_t>(index);
        if (xioctl(fd, VIDIOC_QUERYMENU, &item) != 0)
            continue; // an index the driver skips
        MenuEntry entry;
        entry.value = static_cast<int>(index);
        entry.name = query.type == V4L2_CTRL_TYPE_INTEGER_MENU
                         ? std::to_string(item.value)
                         : text(reinterpret_cast<const char*>(item.name), sizeof item.name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

std::optional<Control> controlFromQuery(const v4l2_query_ext_ctrl& query) {
    if ((query.flags & V4L2_CTRL_FLAG_DISABLED) || query.nr_of_dims > 0 || query.elems > 1)
        return std::nullopt;
    Control control;
    switch (query.type) {
    case V4L2_CTRL_TYPE_INTEGER:
        control.type = ControlType::Integer;
        break;
    case V4L2_CTRL_TYPE_BOOLEAN:
        control.type = ControlType::Boolean;
        break;
    case V4L2_CTRL_TYPE_MENU:
    case V4L2_CTRL_TYPE_INTEGER_MENU:
        control.type = ControlType::Menu;
        break;
    case V4L2_CTRL_TYPE_BUTTON:
        control.type = ControlType::Button;
        break;
    default:
        return std::nullopt;
    }
    control.id = query.id;
    control.name = text(query.name, sizeof query.name);
    control.minimum = clampToInt(query.minimum);
    control.maximum = clampToInt(query.maximum);
    control.step =
        clampToInt(std::max<std::uint64_t>(1, std::min<std::uint64_t>(query.step, INT_MAX)));
    control.defaultValue = clampToInt(query.default_value);
    control.value = control.defaultValue;
    control.inactive = (query.flags & V4L2_CTRL_FLAG_INACTIVE) != 0;
    // Grabbed: locked while the device streams (a format-related control); not settable now.
    control.readOnly = (query.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED)) != 0;
    return control;
}

std::vector<Control> readControls(int fd) {
    std::vector<Control> controls;
    bool extended = true;
    std::uint32_t after = 0;
    v4l2_query_ext_ctrl query{};
    for (int n = 0; n < kMaxControls && queryNext(fd, after, query, extended); ++n) {
        after = query.id;
        std::optional<Control> control = controlFromQuery(query);
        if (!control)
            continue;
        if (control->type == ControlType::Menu) {
            control->menu = menuEntries(fd, query);
            if (control->menu.empty())
                continue;
        }
        if (control->type != ControlType::Button && !(query.flags & V4L2_CTRL_FLAG_WRITE_ONLY)) {
            v4l2_control current{};
            current.id = query.id;
            if (xioctl(fd, VIDIOC_G_CTRL, &current) == 0)
                control->value = current.value;
        }
        controls.push_back(std::move(*control));
    }
    return controls;
}

std::optional<Control> queryControl(int fd, std::uint32_t id) {
    v4l2_query_ext_ctrl query{};
    query.id = id;
    if (xioctl(fd, VIDIOC_QUERY_EXT_CTRL, &query) != 0) {
        v4l2_queryctrl old{};
        old.id = id;
        if (errno != ENOTTY || xioctl(fd, VIDIOC_QUERYCTRL, &old) != 0)
            return std::nullopt;
        query.type = old.type;
        query.flags = old.flags;
        query.elems = 1;
    }
    return controlFromQuery(query);
}

std::optional<int> writeControl(int fd, std::uint32_t id, int value) {
    v4l2_control control{};
    control.id = id;
    control.value = value;
    if (xioctl(fd, VIDIOC_S_CTRL, &control) != 0)
        return std::nullopt;
    return control.value;
}

} // namespace camcore::v4l2
