#pragma once

#include "Minutia.h"
#include "RidgeFlow.h"

namespace fingerprint {

// The endings and bifurcations of the thinned ridges inside the finger, without those that thin
// ridges show where the print is not: near the edge of the finger, at breaks, spurs and bridges.
Minutiae findMinutiae(const Mask& skeleton, const Mask& finger, const RidgeFlow& flow);

} // namespace fingerprint
