#pragma once

#include "Image.h"

namespace fingerprint {

// Mean over the (2 radius + 1)^2 window around each pixel, the window clipped to the image.
FloatPlane boxMean(const FloatPlane& in, int radius);

// Bilinear sample; coordinates outside are clamped to the border.
float sample(const FloatPlane& in, float x, float y);

} // namespace fingerprint
