#include "MinutiaeFinder.h"

#include "Thinning.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fingerprint {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// In ridge periods. Minutiae closer than this to the finger's edge are mostly ridges cut by the
// edge of the contact; the Gabor filter also rings for about one period there.
constexpr float kEdgeMargin = 1.0F;
// Two minutiae closer than this are a spur, a bridge or a hole, not two real ones.
constexpr float kTwinDistance = 0.9F;
// Two endings facing each other across this much are the two ends of one broken ridge.
constexpr float kBreakDistance = 2.0F;
constexpr float kFacingTolerance = kPi / 4;
// How far a ridge is followed to find a minutia's direction.
constexpr float kTraceLength = 1.0F;

constexpr int kOffsets[8][2] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Chamfer (3-4) distance from each pixel to the nearest pixel outside the finger, in pixels.
FloatPlane distanceToEdge(const Mask& finger) {
    const int w = finger.width;
    const int h = finger.height;
    Plane<int> d(w, h);
    constexpr int kFar = 1 << 28;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            d.at(x, y) = finger.at(x, y) && !edge ? kFar : 0;
        }
    const auto relax = [&](int x, int y, int dx, int dy, int cost) {
        if (d.inside(x + dx, y + dy))
            d.at(x, y) = std::min(d.at(x, y), d.at(x + dx, y + dy) + cost);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            relax(x, y, -1, 0, 3);
            relax(x, y, 0, -1, 3);
            relax(x, y, -1, -1, 4);
            relax(x, y, 1, -1, 4);
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            relax(x, y, 1, 0, 3);
            relax(x, y, 0, 1, 3);
            relax(x, y, 1, 1, 4);
            relax(x, y, -1, 1, 4);
        }
    FloatPlane out(w, h);
    for (std::size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = float(d.pixels[i]) / 3;
    return out;
}

// Walks along the one-pixel ridge from `start`, a neighbour of `origin`, for up to `steps`
// pixels or until the ridge ends or branches; returns where it stopped.
Point follow(const Mask& skeleton, Point origin, Point start, int steps) {
    Point previous = origin;
    Point current = start;
    for (int s = 0; s < steps; ++s) {
        Point next;
        int choices = 0;
        for (const auto& o : kOffsets) {
            const Point n{current.x + o[0], current.y + o[1]};
            if (n == previous || n == origin || !skeleton.inside(n.x, n.y) ||
                !skeleton.at(n.x, n.y))
                continue;
            // A diagonal step that a straight one also reaches is the same way on.
            const bool besidePrevious =
                std::abs(n.x - previous.x) <= 1 && std::abs(n.y - previous.y) <= 1;
            if (besidePrevious)
                continue;
            next = n;
            ++choices;
        }
        if (choices != 1)
            break;
        previous = current;
        current = next;
    }
    return current;
}

// The first pixel of each run of ridge pixels around a minutia: one per ridge leaving it.
std::vector<Point> branchStarts(const Mask& skeleton, Point at) {
    int p[8];
    neighbours(skeleton, at.x, at.y, p);
    std::vector<Point> starts;
    for (int i = 0; i < 8; ++i)
        if (p[i] && !p[(i + 7) % 8])
            starts.push_back({at.x + kOffsets[i][0], at.y + kOffsets[i][1]});
    return starts;
}

float wrapAngle(float angle) {
    angle = std::fmod(angle, 2 * kPi);
    return angle < 0 ? angle + 2 * kPi : angle;
}

float angleBetween(float a, float b) {
    const float d = std::fabs(wrapAngle(a - b));
    return std::min(d, 2 * kPi - d);
}

// The direction away from the ridges that leave the minutia, made exact with the ridge flow.
float direction(const Mask& skeleton, Point at, const RidgeFlow& flow) {
    const int steps = std::max(3, int(std::lround(kTraceLength * flow.period)));
    float sx = 0;
    float sy = 0;
    for (const Point& start : branchStarts(skeleton, at)) {
        const Point end = follow(skeleton, at, start, steps);
        const float dx = float(end.x - at.x);
        const float dy = float(end.y - at.y);
        const float length = std::hypot(dx, dy);
        sx += dx / length;
        sy += dy / length;
    }
    const float traced = wrapAngle(std::atan2(-sy, -sx));
    const float ridge = flow.angle.at(at.x, at.y);
    return angleBetween(ridge, traced) <= kPi / 2 ? ridge : wrapAngle(ridge + kPi);
}

bool facing(const Minutia& a, const Minutia& b) {
    if (a.type != MinutiaType::Ending || b.type != MinutiaType::Ending)
        return false;
    const float towardB = std::atan2(b.y - a.y, b.x - a.x);
    return angleBetween(a.angle, towardB) < kFacingTolerance &&
           angleBetween(b.angle, towardB + kPi) < kFacingTolerance;
}

} // namespace

Minutiae findMinutiae(const Mask& skeleton, const Mask& finger, const RidgeFlow& flow) {
    const FloatPlane edge = distanceToEdge(finger);
    const float margin = kEdgeMargin * flow.period;
    Minutiae found;
    std::vector<float> depth;
    for (int y = 1; y + 1 < skeleton.height; ++y)
        for (int x = 1; x + 1 < skeleton.width; ++x) {
            if (!skeleton.at(x, y) || edge.at(x, y) < margin)
                continue;
            int p[8];
            neighbours(skeleton, x, y, p);
            const int runs = crossingNumber(p);
            if (runs != 1 && runs != 3)
                continue;
            const Point at{x, y};
            const MinutiaType type = runs == 1 ? MinutiaType::Ending : MinutiaType::Bifurcation;
            found.push_back({float(x), float(y), direction(skeleton, at, flow), type});
            depth.push_back(edge.at(x, y));
        }

    std::vector<bool> drop(found.size(), false);
    const float twin = kTwinDistance * flow.period;
    const float gap = kBreakDistance * flow.period;
    for (std::size_t i = 0; i < found.size(); ++i)
        for (std::size_t j = i + 1; j < found.size(); ++j) {
            const float d = std::hypot(found[i].x - found[j].x, found[i].y - found[j].y);
            if (d < twin || (d < gap && facing(found[i], found[j])))
                drop[i] = drop[j] = true;
        }
    Minutiae kept;
    std::vector<std::pair<float, std::size_t>> order;
    for (std::size_t i = 0; i < found.size(); ++i)
        if (!drop[i])
            order.push_back({depth[i], i});
    // Deepest inside the finger first: those are the surest when only some fit a template.
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& entry : order)
        kept.push_back(found[entry.second]);
    return kept;
}

} // namespace fingerprint
