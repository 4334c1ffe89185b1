#include "Controls.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace camcore {
namespace {

std::optional<Control> findControl(const std::vector<Control>& controls, std::uint32_t id) {
    for (const Control& control : controls) {
        if (control.id == id)
            return control;
    }
    return std::nullopt;
}

bool hasMenuValue(const Control& control, int value) {
    return std::any_of(control.menu.begin(), control.menu.end(),
                       [value](const MenuEntry& entry) { return entry.value == value; });
}

} // namespace

int exposureStepFromDevice(int hundredMicroseconds) {
    return static_cast<int>(std::lround(std::log2(std::max(1, hundredMicroseconds) * 1e-4)));
}

int exposureDeviceFromStep(int step) {
    return static_cast<int>(std::lround(std::exp2(std::clamp(step, -20, 10)) * 1e4));
}

ControlRange readBrightness(const CameraDevice& device) {
    const std::vector<Control> controls = device.controls();
    ControlRange range;
    if (const auto brightness = findControl(controls, V4L2_CID_BRIGHTNESS)) {
        range.upper = brightness->maximum;
        range.lower = brightness->minimum;
        range.value = brightness->value;
    }
    if (const auto automatic = findControl(controls, V4L2_CID_AUTOBRIGHTNESS))
        range.automatic = automatic->value != 0;
    return range;
}

bool writeBrightness(CameraDevice& device, bool automatic, int value) {
    const std::vector<Control> controls = device.controls();
    if (findControl(controls, V4L2_CID_AUTOBRIGHTNESS))
        device.setControl(V4L2_CID_AUTOBRIGHTNESS, automatic ? 1 : 0);
    const auto brightness = findControl(controls, V4L2_CID_BRIGHTNESS);
    if (!brightness)
        return false;
    if (automatic)
        return true;
    return device.setControl(V4L2_CID_BRIGHTNESS,
                             std::clamp(value, brightness->minimum, brightness->maximum));
}

ControlRange readExposure(const CameraDevice& device) {
    const std::vector<Control> controls = device.controls();
    ControlRange range;
    if (const auto absolute = findControl(controls, V4L2_CID_EXPOSURE_ABSOLUTE)) {
        range.upper = exposureStepFromDevice(absolute->maximum);
        range.lower = exposureStepFromDevice(absolute->minimum);
        range.value = exposureStepFromDevice(absolute->value);
    }
    if (const auto mode = findControl(controls, V4L2_CID_EXPOSURE_AUTO))
        range.automatic = mode->value != V4L2_EXPOSURE_MANUAL;
    return range;
}

bool writeExposure(CameraDevice& device, bool automatic, int value) {
    const std::vector<Control> controls = device.controls();
    if (const auto mode = findControl(controls, V4L2_CID_EXPOSURE_AUTO)) {
        int wanted = V4L2_EXPOSURE_MANUAL;
        if (automatic) {
            // UVC cameras offer aperture priority as their automatic mode; others full auto.
            wanted = hasMenuValue(*mode, V4L2_EXPOSURE_APERTURE_PRIORITY)
                         ? V4L2_EXPOSURE_APERTURE_PRIORITY
                         : V4L2_EXPOSURE_AUTO;
        }
        if (mode->value != wanted && !device.setControl(V4L2_CID_EXPOSURE_AUTO, wanted))
            return false;
    }
    if (automatic)
        return true;
    const auto absolute = findControl(device.controls(), V4L2_CID_EXPOSURE_ABSOLUTE);
    if (!absolute)
        return false;
    return device.setControl(
        V4L2_CID_EXPOSURE_ABSOLUTE,
        std::clamp(exposureDeviceFromStep(value), absolute->minimum, absolute->maximum));
}

} // namespace camcore
