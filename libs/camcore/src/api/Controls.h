#pragma once

#include "device/CameraDevice.h"

namespace camcore {

// Brightness and exposure as the flat API reports them: a range, a value and an automatic flag.
struct ControlRange {
    bool automatic = false;
    int upper = 0;
    int lower = 0;
    int value = 0;
};

ControlRange readBrightness(const CameraDevice& device);
bool writeBrightness(CameraDevice& device, bool automatic, int value);

// Exposure is given in whole steps of log2(seconds), so -3 means 1/8 s and -5 about 1/32 s, the
// same scale whatever unit the device counts in; devices count in units of 100 microseconds.
ControlRange readExposure(const CameraDevice& device);
bool writeExposure(CameraDevice& device, bool automatic, int value);

int exposureStepFromDevice(int hundredMicroseconds);
int exposureDeviceFromStep(int step);

} // namespace camcore
