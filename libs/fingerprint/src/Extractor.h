#pragma once

#include "Image.h"
#include "Minutia.h"

namespace fingerprint {

// The minutiae of a finger image: the finger found and evened out, the ridges followed, enhanced,
// thinned, and their endings and bifurcations read off.
Minutiae extractMinutiae(const GreyImage& image);

} // namespace fingerprint
