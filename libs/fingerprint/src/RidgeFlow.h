#pragma once

#include "Foreground.h"

namespace fingerprint {

struct RidgeFlow {
    FloatPlane angle;     // direction of the ridges, radians in [0, pi)
    FloatPlane coherence; // 0 (no single direction) .. 1 (parallel ridges)
    float period = 9;     // pixels from one ridge to the next
};

// The direction of the ridges at every pixel (from smoothed gradients) and their spacing over the
// whole finger (from profiles across the ridges).
RidgeFlow estimateRidgeFlow(const Foreground& foreground);

} // namespace fingerprint
