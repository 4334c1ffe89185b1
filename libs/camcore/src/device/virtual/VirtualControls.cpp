#include "device/virtual/VirtualControls.h"

#include <linux/videodev2.h>

#include <algorithm>

namespace camcore {

namespace {

// Exposure times are in units of 100 µs; 312 (about 1/32 s) is where the scene is drawn as is.
constexpr int kDefaultExposure = 312;

Control integer(std::uint32_t id, const char* name, int minimum, int maximum, int defaultValue) {
    Control c;
    c.id = id;
    c.name = name;
    c.type = ControlType::Integer;
    c.minimum = minimum;
    c.maximum = maximum;
    c.defaultValue = defaultValue;
    c.value = defaultValue;
    return c;
}

Control menu(std::uint32_t id, const char* name, std::vector<MenuEntry> entries, int defaultValue) {
    Control c;
    c.id = id;
    c.name = name;
    c.type = ControlType::Menu;
    c.minimum = entries.front().value;
    c.maximum = entries.back().value;
    c.defaultValue = defaultValue;
    c.value = defaultValue;
    c.menu = std::move(entries);
    return c;
}

} // namespace

VirtualControls::VirtualControls()
    : m_controls{
          integer(V4L2_CID_BRIGHTNESS, "Brightness", -64, 64, 0),
          integer(V4L2_CID_CONTRAST, "Contrast", 0, 100, 50),
          menu(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency",
               {{V4L2_CID_POWER_LINE_FREQUENCY_DISABLED, "Disabled"},
                {V4L2_CID_POWER_LINE_FREQUENCY_50HZ, "50 Hz"},
                {V4L2_CID_POWER_LINE_FREQUENCY_60HZ, "60 Hz"}},
               V4L2_CID_POWER_LINE_FREQUENCY_50HZ),
          menu(V4L2_CID_EXPOSURE_AUTO, "Auto Exposure",
               {{V4L2_EXPOSURE_MANUAL, "Manual Mode"},
                {V4L2_EXPOSURE_APERTURE_PRIORITY, "Aperture Priority Mode"}},
               V4L2_EXPOSURE_APERTURE_PRIORITY),
          integer(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", 1, 10000,
                  kDefaultExposure),
      } {}

std::vector<Control> VirtualControls::list() const {
    std::vector<Control> controls = m_controls;
    const bool autoExposure = value(V4L2_CID_EXPOSURE_AUTO) != V4L2_EXPOSURE_MANUAL;
    for (Control& c : controls)
        c.inactive = c.id == V4L2_CID_EXPOSURE_ABSOLUTE && autoExposure;
    return controls;
}

bool VirtualControls::set(std::uint32_t id, int value) {
    const auto it = std::find_if(m_controls.begin(), m_controls.end(),
                                 [id](const Control& c) { return c.id == id; });
    if (it == m_controls.end())
        return false;
    if (it->type == ControlType::Menu) {
        if (std::none_of(it->menu.begin(), it->menu.end(),
                         [value](const MenuEntry& e) { return e.value == value; }))
            return false;
    } else if (value < it->minimum || value > it->maximum || (value - it->minimum) % it->step) {
        return false;
    }
    it->value = value;
    return true;
}

Tone VirtualControls::tone() const {
    Tone tone;
    tone.brightness = value(V4L2_CID_BRIGHTNESS);
    tone.contrast = value(V4L2_CID_CONTRAST);
    // Auto exposure keeps the picture as at the default time, whatever the manual value says.
    if (value(V4L2_CID_EXPOSURE_AUTO) == V4L2_EXPOSURE_MANUAL)
        tone.gain = static_cast<double>(value(V4L2_CID_EXPOSURE_ABSOLUTE)) / kDefaultExposure;
    return tone;
}

int VirtualControls::value(std::uint32_t id) const {
    for (const Control& c : m_controls)
        if (c.id == id)
            return c.value;
    return 0;
}

} // namespace camcore
