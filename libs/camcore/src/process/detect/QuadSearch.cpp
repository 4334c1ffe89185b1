#include "process/detect/QuadSearch.h"

#include <algorithm>
#include <cmath>

namespace camcore {

namespace {

constexpr double kDegree = CV_PI / 180;

// A line as one side of an enclosure: its normal turned to point inside.
struct Side {
    int line;
    bool brighterInside;
    cv::Point2d normal;
    double offset;
    double inside(cv::Point2d p) const { return normal.dot(p) - offset; }
};

struct Pair {
    int first; // indices into the sides
    int second;
    cv::Point2d axis; // unit, across the pair
    double strength;  // the two lines' whole support: no enclosure using them scores more
};

double cornerArea(const std::array<cv::Point2d, 4>& c) {
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i)
        twice += c[i].cross(c[(i + 1) % 4]);
    return std::abs(twice) / 2;
}

} // namespace

std::vector<QuadCandidate> searchQuads(const std::vector<EdgeLine>& lines, cv::Size size,
                                       const QuadSearchParams& params) {
    // Every line may bound an enclosure on either side.
    std::vector<Side> sides;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const EdgeLine& line = lines[i];
        sides.push_back({static_cast<int>(i), true, line.normal, line.offset});
        sides.push_back({static_cast<int>(i), false, -line.normal, -line.offset});
    }

    const double shorter = std::min(size.width, size.height);
    const double minSide = params.minSideFraction * shorter;
    const cv::Point2d centre(size.width / 2.0, size.height / 2.0);
    const double oppositeLimit = -std::cos(params.maxOppositeSkew * kDegree);
    const double squareLimit = std::sin(params.maxSkew * kDegree);

    // Opposite sides: normals facing each other, each line on the inner side of the other.
    std::vector<Pair> pairs;
    const int n = static_cast<int>(sides.size());
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const Side& a = sides[static_cast<std::size_t>(i)];
            const Side& b = sides[static_cast<std::size_t>(j)];
            if (a.line == b.line || a.normal.dot(b.normal) > oppositeLimit)
                continue;
            const cv::Point2d onA = centre - a.normal * a.inside(centre);
            const cv::Point2d onB = centre - b.normal * b.inside(centre);
            if (a.inside(onB) < minSide || b.inside(onA) < minSide)
                continue;
            cv::Point2d axis = a.normal - b.normal;
            axis *= 1.0 / cv::norm(axis);
            const double strength = lines[static_cast<std::size_t>(a.line)].strength() +
                                    lines[static_cast<std::size_t>(b.line)].strength();
            pairs.push_back({i, j, axis, strength});
        }
    }

    // Strongest pairs first: once two pairs' support together falls below what is kept, no later
    // enclosure can be kept either.
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair& a, const Pair& b) { return a.strength > b.strength; });
    std::vector<QuadCandidate> found;
    double best = 0;
    const double margin = params.cornerMargin * std::max(size.width, size.height);
    const double minArea = params.minAreaFraction * size.width * size.height;
    for (std::size_t p = 0; p + 1 < pairs.size(); ++p) {
        if (pairs[p].strength + pairs[p + 1].strength < params.keepAbove * best)
            break;
        for (std::size_t q = p + 1; q < pairs.size(); ++q) {
            if (pairs[p].strength + pairs[q].strength < params.keepAbove * best)
                break;
            if (std::abs(pairs[p].axis.dot(pairs[q].axis)) > squareLimit)
                continue;
            // Sides in turn: p.first, q.first, p.second, q.second.
            const std::array<const Side*, 4> ring{
                &sides[static_cast<std::size_t>(pairs[p].first)],
                &sides[static_cast<std::size_t>(pairs[q].first)],
                &sides[static_cast<std::size_t>(pairs[p].second)],
                &sides[static_cast<std::size_t>(pairs[q].second)]};
            if (ring[0]->line == ring[1]->line || ring[0]->line == ring[3]->line ||
                ring[2]->line == ring[1]->line || ring[2]->line == ring[3]->line)
                continue;
            std::array<cv::Point2d, 4> corners;
            bool valid = true;
            for (std::size_t s = 0; s < 4 && valid; ++s) {
                const Side& a = *ring[s];
                const Side& b = *ring[(s + 1) % 4];
                valid = std::abs(a.normal.dot(b.normal)) <= squareLimit &&
                        intersect(lines[static_cast<std::size_t>(a.line)],
                                  lines[static_cast<std::size_t>(b.line)], corners[s]);
            }
            for (std::size_t s = 0; s < 4 && valid; ++s) {
                const cv::Point2d& c = corners[s];
                valid = c.x >= -margin && c.y >= -margin && c.x <= size.width - 1 + margin &&
                        c.y <= size.height - 1 + margin;
                for (const Side* side : ring)
                    valid = valid && side->inside(c) > -1.0;
            }
            if (!valid || cornerArea(corners) < minArea)
                continue;

            int brighter = 0;
            for (const Side* side : ring)
                brighter += side->brighterInside ? 1 : 0;
            const bool majorityBrighter = brighter >= 2;
            double supported = 0;
            double covered = 0;
            double perimeter = 0;
            double mixed = 0;
            for (std::size_t s = 0; s < 4 && valid; ++s) {
                // Side s runs from corner s-1 to corner s. The last 6% at either end, up to 4
                // pixels, is not counted: a card's rounded corners (3.7% of its width) leave it
                // without edge, and an inner line near an edge would otherwise win for its
                // square corners.
                const EdgeLine& line = lines[static_cast<std::size_t>(ring[s]->line)];
                const cv::Point2d from = corners[(s + 3) % 4];
                const cv::Point2d to = corners[s];
                const double full = cv::norm(to - from);
                const double trim = std::min(0.06 * full, 4.0);
                const double length = full - 2 * trim;
                const double t1 = std::min(line.position(from), line.position(to)) + trim;
                const double t2 = t1 + length;
                const double coverage = line.coverageBetween(t1, t2);
                valid = full >= minSide && coverage >= params.minSideSupport * length;
                if (valid && params.maxInnerGap > 0)
                    valid = line.longestInnerGap(t1, t2) <= params.maxInnerGap * length;
                supported += line.supportBetween(t1, t2);
                covered += coverage;
                perimeter += length;
                if (ring[s]->brighterInside != majorityBrighter)
                    mixed += length;
            }
            if (!valid || covered < params.minSupport * perimeter)
                continue;
            QuadCandidate candidate;
            for (std::size_t s = 0; s < 4; ++s) {
                candidate.sides[s] = ring[s]->line;
                candidate.brighterInside[s] = ring[s]->brighterInside;
            }
            candidate.corners = corners;
            // A faint edge (a sheet on a white desk) counts less than a strong one, but is no
            // gap: only stretches without any edge count against the enclosure.
            candidate.score = supported - (perimeter - covered) - params.mixedCost * mixed;
            candidate.supportFraction = covered / perimeter;
            if (candidate.score < params.keepAbove * best)
                continue;
            best = std::max(best, candidate.score);
            found.push_back(candidate);
        }
    }
    std::sort(found.begin(), found.end(),
              [](const QuadCandidate& a, const QuadCandidate& b) { return a.score > b.score; });
    while (!found.empty() && found.back().score < params.keepAbove * best)
        found.pop_back();
    return found;
}

} // namespace camcore
