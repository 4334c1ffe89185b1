#pragma once

#include "device/CameraDevice.h"

#include <linux/videodev2.h>

#include <optional>
#include <vector>

namespace camcore::v4l2 {

// The engine's description of a queried control, without menu entries and value: integers,
// switches, menus (plain and integer) and buttons. None for what the property dialog cannot
// show: disabled controls, class headings, 64-bit integers, strings, bitmasks and arrays.
std::optional<Control> controlFromQuery(const v4l2_query_ext_ctrl& query);

// Every control of the node with its menu entries (a menu may skip indices) and current value.
std::vector<Control> readControls(int fd);

// One control without its menu entries and value; none when the node has no such control.
std::optional<Control> queryControl(int fd, std::uint32_t id);

// VIDIOC_S_CTRL. The value the driver kept (it may round to the step or clamp to the range);
// none when it has no such control or refuses the value.
std::optional<int> writeControl(int fd, std::uint32_t id, int value);

} // namespace camcore::v4l2
