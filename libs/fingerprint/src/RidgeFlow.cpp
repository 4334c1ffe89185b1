#include "RidgeFlow.h"

#include "Filters.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fingerprint {

namespace {

// Gradients are averaged twice over 15-pixel windows (about three ridges, a triangle 30 pixels
// wide): less and noise turns the field near breaks in the ridges, more and it cuts the curve
// of a core short.
constexpr int kSmoothRadius = 7;
// Profiles across the ridges for the spacing: 32 pixels long, averaged over 13 pixels along them.
constexpr int kProfileLength = 32;
constexpr int kProfileWidth = 6;
constexpr int kProfileStep = 16;
constexpr float kMinPeriod = 4;
constexpr float kMaxPeriod = 20;
constexpr float kDefaultPeriod = 9; // 500 dpi

float profilePeriod(const FloatPlane& image, float cx, float cy, float angle) {
    const float rx = std::cos(angle);
    const float ry = std::sin(angle);
    float profile[kProfileLength];
    for (int k = 0; k < kProfileLength; ++k) {
        const float t = float(k - kProfileLength / 2);
        float sum = 0;
        for (int j = -kProfileWidth; j <= kProfileWidth; ++j)
            sum += sample(image, cx - t * ry + float(j) * rx, cy + t * rx + float(j) * ry);
        profile[k] = sum;
    }
    int first = -1;
    int last = -1;
    int peaks = 0;
    for (int k = 1; k + 1 < kProfileLength; ++k) {
        if (profile[k] > 0 && profile[k] > profile[k - 1] && profile[k] >= profile[k + 1]) {
            if (first < 0)
                first = k;
            last = k;
            ++peaks;
        }
    }
    if (peaks < 2)
        return 0;
    const float period = float(last - first) / float(peaks - 1);
    return period >= kMinPeriod && period <= kMaxPeriod ? period : 0;
}

} // namespace

RidgeFlow estimateRidgeFlow(const Foreground& foreground) {
    const FloatPlane& image = foreground.normalised;
    const int w = image.width;
    const int h = image.height;
    FloatPlane cosine(w, h);
    FloatPlane sine(w, h);
    FloatPlane energy(w, h);
    for (int y = 1; y + 1 < h; ++y)
        for (int x = 1; x + 1 < w; ++x) {
            const auto p = [&](int dx, int dy) {
                return image.at(x + dx, y + dy);
            };
            const float gx =
                (p(1, -1) + 2 * p(1, 0) + p(1, 1)) - (p(-1, -1) + 2 * p(-1, 0) + p(-1, 1));
            const float gy =
                (p(-1, 1) + 2 * p(0, 1) + p(1, 1)) - (p(-1, -1) + 2 * p(0, -1) + p(1, -1));
            // Doubled angles, so that opposite gradients on the two flanks of a ridge add up.
            cosine.at(x, y) = gx * gx - gy * gy;
            sine.at(x, y) = 2 * gx * gy;
            energy.at(x, y) = gx * gx + gy * gy;
        }
    cosine = boxMean(boxMean(cosine, kSmoothRadius), kSmoothRadius);
    sine = boxMean(boxMean(sine, kSmoothRadius), kSmoothRadius);
    energy = boxMean(boxMean(energy, kSmoothRadius), kSmoothRadius);

    RidgeFlow flow{FloatPlane(w, h), FloatPlane(w, h), kDefaultPeriod};
    constexpr float pi = std::numbers::pi_v<float>;
    for (std::size_t i = 0; i < cosine.pixels.size(); ++i) {
        // The gradient runs across the ridges: the ridges turn a quarter further.
        float angle = 0.5F * std::atan2(sine.pixels[i], cosine.pixels[i]) + pi / 2;
        if (angle >= pi)
            angle -= pi;
        flow.angle.pixels[i] = angle;
        const float strength = std::hypot(cosine.pixels[i], sine.pixels[i]);
        flow.coherence.pixels[i] = energy.pixels[i] > 0 ? strength / energy.pixels[i] : 0;
    }

    std::vector<float> periods;
    for (int y = kProfileStep; y + kProfileStep < h; y += kProfileStep)
        for (int x = kProfileStep; x + kProfileStep < w; x += kProfileStep) {
            if (!foreground.mask.at(x, y) || flow.coherence.at(x, y) < 0.5F)
                continue;
            const float period = profilePeriod(image, float(x), float(y), flow.angle.at(x, y));
            if (period > 0)
                periods.push_back(period);
        }
    if (periods.size() >= 3) {
        const auto middle = periods.begin() + std::ptrdiff_t(periods.size() / 2);
        std::nth_element(periods.begin(), middle, periods.end());
        flow.period = *middle;
    }
    return flow;
}

} // namespace fingerprint
