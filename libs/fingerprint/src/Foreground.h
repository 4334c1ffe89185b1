#pragma once

#include "Image.h"

namespace fingerprint {

struct Foreground {
    FloatPlane normalised; // ridges positive, background negative, about unit spread locally
    Mask mask;             // 1 where the finger touches the reader
};

// Evens out pressure and contrast and finds the finger: the largest area whose grey level varies
// as ridges do, without holes.
Foreground findForeground(const GreyImage& image);

} // namespace fingerprint
