#pragma once

#include "Minutia.h"

namespace fingerprint {

struct Comparison {
    int paired = 0; // minutiae of the two that lie on each other once aligned
    int score = 0;  // 0..100: how closely paired, against the minutiae both show where they overlap
};

// Aligns the feature onto the template (rotation and shift, found by votes of minutia pairs) and
// pairs up minutiae that then lie within a few pixels and degrees of each other.
Comparison compareMinutiae(const Minutiae& templet, const Minutiae& feature);

// Whether a comparison shows one finger at a security level from 1 (accepts most) to 5.
bool sameFinger(const Comparison& comparison, int level);

} // namespace fingerprint
