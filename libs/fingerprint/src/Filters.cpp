#include "Filters.h"

#include <algorithm>
#include <cmath>

namespace fingerprint {

namespace {

// Mean along one line of `count` values `stride` apart; a clipped window is the product of two
// clipped intervals, so two such passes give the exact mean of the clipped square.
void meanAlong(const float* in, float* out, int count, int stride, int radius,
               std::vector<double>& prefix) {
    prefix.assign(std::size_t(count) + 1, 0.0);
    for (int i = 0; i < count; ++i)
        prefix[std::size_t(i) + 1] = prefix[std::size_t(i)] + in[std::size_t(i) * stride];
    for (int i = 0; i < count; ++i) {
        const int lo = std::max(0, i - radius);
        const int hi = std::min(count, i + radius + 1);
        out[std::size_t(i) * stride] =
            float((prefix[std::size_t(hi)] - prefix[std::size_t(lo)]) / double(hi - lo));
    }
}

} // namespace

FloatPlane boxMean(const FloatPlane& in, int radius) {
    FloatPlane rows(in.width, in.height);
    FloatPlane out(in.width, in.height);
    std::vector<double> prefix;
    for (int y = 0; y < in.height; ++y)
        meanAlong(&in.at(0, y), &rows.at(0, y), in.width, 1, radius, prefix);
    for (int x = 0; x < in.width; ++x)
        meanAlong(&rows.at(x, 0), &out.at(x, 0), in.height, in.width, radius, prefix);
    return out;
}

float sample(const FloatPlane& in, float x, float y) {
    x = std::clamp(x, 0.0F, float(in.width - 1));
    y = std::clamp(y, 0.0F, float(in.height - 1));
    const int x0 = std::min(int(x), in.width - 2 < 0 ? 0 : in.width - 2);
    const int y0 = std::min(int(y), in.height - 2 < 0 ? 0 : in.height - 2);
    const int x1 = std::min(x0 + 1, in.width - 1);
    const int y1 = std::min(y0 + 1, in.height - 1);
    const float fx = x - float(x0);
    const float fy = y - float(y0);
    const float top = in.at(x0, y0) * (1 - fx) + in.at(x1, y0) * fx;
    const float bottom = in.at(x0, y1) * (1 - fx) + in.at(x1, y1) * fx;
    return top * (1 - fy) + bottom * fy;
}

} // namespace fingerprint
