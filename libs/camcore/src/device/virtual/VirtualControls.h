#pragma once

#include "device/CameraDevice.h"
#include "device/virtual/Tone.h"

#include <cstdint>
#include <vector>

namespace camcore {

// The controls of a virtual camera, with the ranges and names a UVC camera reports. Not
// thread-safe: the camera guards it with its lock.
class VirtualControls {
public:
    VirtualControls();

    // Every control with its current value; manual exposure is inactive while auto is on.
    std::vector<Control> list() const;
    // False for an unknown id or a value outside the range, off the step or not in the menu.
    bool set(std::uint32_t id, int value);
    // What the current values do to the picture.
    Tone tone() const;

private:
    int value(std::uint32_t id) const;

    std::vector<Control> m_controls;
};

} // namespace camcore
