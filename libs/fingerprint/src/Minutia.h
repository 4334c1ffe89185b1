#pragma once

#include <vector>

namespace fingerprint {

enum class MinutiaType { Ending = 0, Bifurcation = 1 };

// A ridge ending or bifurcation in image pixels. The angle, radians in [0, 2pi) from +x towards
// +y, points out of an ending into the valley where its ridge stops, and from a bifurcation along
// its single branch away from the fork: the angle the valleys' bifurcation or ending at the same
// place has, so a minutia read as the other type in another impression still lines up.
struct Minutia {
    float x = 0;
    float y = 0;
    float angle = 0;
    MinutiaType type = MinutiaType::Ending;
};

using Minutiae = std::vector<Minutia>;

} // namespace fingerprint
