#include "RidgeEnhance.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fingerprint {

namespace {

// 16 directions, 11.25 degrees apart: a ridge within 5.6 degrees of its filter keeps over 99% of
// the response across a kernel of this size.
constexpr int kDirections = 16;
// Envelope widths in ridge periods: across the ridges 0.45 passes about two ridges to either side;
// along them 0.55 averages over enough length to bridge a break of half a period.
constexpr float kSigmaAcross = 0.45F;
constexpr float kSigmaAlong = 0.55F;
constexpr float kExtent = 2.5F; // kernel half-size in sigmas

struct Kernel {
    int radius = 0;
    std::vector<float> taps; // (2 radius + 1)^2, row by row
};

Kernel makeKernel(float angle, float period) {
    const float across = kSigmaAcross * period;
    const float along = kSigmaAlong * period;
    Kernel kernel;
    kernel.radius = int(std::ceil(kExtent * std::max(across, along)));
    const float rx = std::cos(angle);
    const float ry = std::sin(angle);
    std::vector<float> envelope;
    double sum = 0;
    double weight = 0;
    for (int dy = -kernel.radius; dy <= kernel.radius; ++dy)
        for (int dx = -kernel.radius; dx <= kernel.radius; ++dx) {
            const float u = float(dx) * rx + float(dy) * ry;  // along the ridge
            const float v = -float(dx) * ry + float(dy) * rx; // across it
            envelope.push_back(
                std::exp(-0.5F * (u * u / (along * along) + v * v / (across * across))));
            kernel.taps.push_back(envelope.back() *
                                  std::cos(2 * std::numbers::pi_v<float> * v / period));
            sum += kernel.taps.back();
            weight += envelope.back();
        }
    // No response to a flat area: take the mean back out under the envelope's shape.
    const auto offset = float(sum / weight);
    for (std::size_t i = 0; i < kernel.taps.size(); ++i)
        kernel.taps[i] -= offset * envelope[i];
    return kernel;
}

} // namespace

Mask enhanceRidges(const Foreground& foreground, const RidgeFlow& flow) {
    const FloatPlane& image = foreground.normalised;
    const int w = image.width;
    const int h = image.height;
    std::vector<Kernel> kernels;
    for (int d = 0; d < kDirections; ++d)
        kernels.push_back(
            makeKernel(std::numbers::pi_v<float> * float(d) / kDirections, flow.period));

    Mask ridges(w, h);
    const int radius = kernels.front().radius;
    const int size = 2 * radius + 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!foreground.mask.at(x, y))
                continue;
            const int d =
                int(std::lround(flow.angle.at(x, y) / std::numbers::pi_v<float> * kDirections)) %
                kDirections;
            const Kernel& kernel = kernels[std::size_t(d)];
            float response = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                const int sy = std::clamp(y + dy, 0, h - 1);
                const float* row = &image.at(0, sy);
                const float* taps = &kernel.taps[std::size_t(dy + radius) * size];
                if (x - radius >= 0 && x + radius < w) {
                    const float* start = row + (x - radius);
                    for (int k = 0; k < size; ++k)
                        response += taps[k] * start[k];
                } else {
                    for (int k = 0; k < size; ++k)
                        response += taps[k] * row[std::clamp(x - radius + k, 0, w - 1)];
                }
            }
            ridges.at(x, y) = response > 0;
        }
    return ridges;
}

} // namespace fingerprint
