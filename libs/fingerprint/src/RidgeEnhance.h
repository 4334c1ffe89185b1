#pragma once

#include "RidgeFlow.h"

namespace fingerprint {

// The ridges as a black-and-white picture (1 ridge, 0 valley or outside the finger): each pixel
// filtered by a Gabor filter tuned to the ridges' direction there and their spacing, which joins
// ridges broken by dry skin or noise and parts ridges run together by pressure.
Mask enhanceRidges(const Foreground& foreground, const RidgeFlow& flow);

} // namespace fingerprint
