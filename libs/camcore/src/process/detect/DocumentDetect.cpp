#include "process/detect/DocumentDetect.h"

#include "process/Reduce.h"
#include "process/detect/EdgeLines.h"
#include "process/detect/QuadSearch.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace camcore {

namespace {

// Candidates looked at before giving up; the right one is nearly always among the first few.
constexpr std::size_t kMaxExamined = 200;

// How much brighter each side's inner neighbourhood is than its outer one, in the direction its
// edge says, averaged over the sides (grey levels), sampled 3 pixels either side away from the
// corners. Lines of print or a ruled box drawn 1 to 3 pixels inside a sheet's edge make edges
// of the right direction that fail this.
double contrastAcross(const cv::Mat& grey, const QuadCandidate& candidate) {
    const cv::Point2d centre = (candidate.corners[0] + candidate.corners[1] + candidate.corners[2] +
                                candidate.corners[3]) *
                               0.25;
    const cv::Rect bounds(0, 0, grey.cols, grey.rows);
    double total = 0;
    int samples = 0;
    for (std::size_t s = 0; s < 4; ++s) {
        const cv::Point2d from = candidate.corners[(s + 3) % 4];
        const cv::Point2d to = candidate.corners[s];
        const double length = cv::norm(to - from);
        const cv::Point2d along = (to - from) * (1.0 / length);
        cv::Point2d inward(-along.y, along.x);
        if (inward.dot(centre - from) < 0)
            inward = -inward;
        const double sign = candidate.brighterInside[s] ? 1 : -1;
        for (double t = 0.1 * length; t <= 0.9 * length; t += 2) {
            const cv::Point2d p = from + along * t;
            const cv::Point in = p + inward * 3;
            const cv::Point out = p - inward * 3;
            if (!bounds.contains(in) || !bounds.contains(out))
                continue;
            total += sign * (grey.at<uchar>(in) - grey.at<uchar>(out));
            ++samples;
        }
    }
    return samples > 0 ? total / samples : 0;
}

// Share of the straight path from `from` to `to` along which an edge (faint ones included, of
// either polarity) of the path's direction lies within a pixel, leaving out `skipStart` of the
// path's length at its start and up to 4 pixels at its end, which a rounded corner (3.7% of a
// card's width) leaves without edge.
double edgeAlong(const cv::Mat& edges, cv::Point2d from, cv::Point2d to, double skipStart) {
    const double length = cv::norm(to - from);
    const double start = skipStart * length;
    const double end = length - std::min(4.0, 0.4 * length);
    if (end - start < 1)
        return 1;
    const cv::Point2d along = (to - from) * (1.0 / length);
    const cv::Point2d across(-along.y, along.x);
    const double direction = std::atan2(across.y, across.x) * 180 / CV_PI;
    int found = 0;
    int steps = 0;
    for (double t = start; t <= end; t += 1, ++steps) {
        for (int d = -1; d <= 1; ++d) {
            const cv::Point p = from + along * t + across * d;
            if (p.x < 0 || p.y < 0 || p.x >= edges.cols || p.y >= edges.rows)
                continue;
            const int angle = edges.at<short>(p);
            if (angle < 0)
                continue;
            const double apart = std::fmod(std::abs(angle - direction), 180.0);
            if (std::min(apart, 180 - apart) <= 15) {
                ++found;
                break;
            }
        }
    }
    return static_cast<double>(found) / steps;
}

// A document's outline while it is being settled: its four side lines and corners.
struct Outline {
    std::array<EdgeLine, 4> sides; // sides[i] runs from corners[i - 1] to corners[i]
    std::array<cv::Point2d, 4> corners;
};

Outline outlineOf(const std::vector<EdgeLine>& lines, const QuadCandidate& candidate) {
    Outline outline;
    for (std::size_t s = 0; s < 4; ++s)
        outline.sides[s] = lines[static_cast<std::size_t>(candidate.sides[s])];
    outline.corners = candidate.corners;
    return outline;
}

// Edge pixels (faint ones included, either polarity) of the line's direction within 1.5 pixels
// of it between two points.
std::vector<cv::Point2f> edgePixelsAlong(const cv::Mat& edges, const EdgeLine& line,
                                         cv::Point2d from, cv::Point2d to) {
    const double length = cv::norm(to - from);
    const cv::Point2d along = (to - from) * (1.0 / std::max(length, 1e-9));
    const double direction = std::atan2(line.normal.y, line.normal.x) * 180 / CV_PI;
    std::vector<cv::Point2f> found;
    cv::Point last(-1, -1);
    for (double t = 0; t <= length; t += 0.5) {
        for (double d = -1.5; d <= 1.5; d += 0.5) {
            const cv::Point p = from + along * t + line.normal * d;
            if (p == last || p.x < 0 || p.y < 0 || p.x >= edges.cols || p.y >= edges.rows)
                continue;
            const int angle = edges.at<short>(p);
            const double apart = std::fmod(std::abs(angle - direction), 180.0);
            if (angle >= 0 && std::min(apart, 180 - apart) <= 15 &&
                std::find(found.end() - std::min<std::ptrdiff_t>(found.size(), 8), found.end(),
                          cv::Point2f(p)) == found.end())
                found.emplace_back(p);
            last = p;
        }
    }
    return found;
}

// Mean colour (summed over the channels) of the points along a line between two points.
cv::Scalar meanAlong(const cv::Mat& picture, const EdgeLine& line, cv::Point2d from,
                     cv::Point2d to) {
    cv::Scalar sum;
    int count = 0;
    const double length = cv::norm(to - from);
    for (double t = 0.1 * length; t <= 0.9 * length; t += 1) {
        cv::Point2d p = from + (to - from) * (t / length);
        p -= line.normal * line.distance(p);
        const cv::Point q(p);
        if (q.x < 0 || q.y < 0 || q.x >= picture.cols || q.y >= picture.rows)
            continue;
        if (picture.channels() == 3) {
            const cv::Vec3b v = picture.at<cv::Vec3b>(q);
            sum += cv::Scalar(v[0], v[1], v[2]);
        } else {
            sum += cv::Scalar(picture.at<uchar>(q));
        }
        ++count;
    }
    return count > 0 ? sum * (1.0 / count) : sum;
}

// A card with a stripe along one edge that is darker than the desk (a red header on a brown
// desk) has an inner edge as strong as its outer one and a polarity of its own, which changes
// with the grain of the desk: the search finds the card without the stripe. Each side moves out
// to a parallel edge beyond it, by at most a fifth of the neighbouring sides (a header stripe
// on an ID card is 15% of its height), when those
// carry on as edges (of either polarity) up to it and the stripe differs from the desk beyond
// it (a ruled mat's lines run on past a sheet's corners, but with the mat on both sides).
void growToStripes(const cv::Mat& picture, const cv::Mat& edges, Outline& outline) {
    const cv::Point2d centre =
        (outline.corners[0] + outline.corners[1] + outline.corners[2] + outline.corners[3]) * 0.25;
    for (std::size_t s = 0; s < 4; ++s) {
        const EdgeLine& side = outline.sides[s];
        const EdgeLine& before = outline.sides[(s + 3) % 4];
        const EdgeLine& after = outline.sides[(s + 1) % 4];
        const cv::Point2d from = outline.corners[(s + 3) % 4];
        const cv::Point2d to = outline.corners[s];
        const double outward = side.distance(centre) > 0 ? -1 : 1;
        const double reach = 0.2 * std::min(cv::norm(outline.corners[(s + 2) % 4] - from),
                                            cv::norm(outline.corners[(s + 1) % 4] - to));
        double bestCover = 0;
        double bestShift = 0;
        for (double shift = 2; shift <= reach; shift += 1) {
            EdgeLine moved = side;
            moved.offset = side.offset + outward * shift;
            cv::Point2d newFrom;
            cv::Point2d newTo;
            if (!intersect(moved, before, newFrom) || !intersect(moved, after, newTo))
                continue;
            // The sides' first 15% beyond the old corners is left out: where an inner edge meets
            // a side, edge pixels go missing. Such a stripe is narrow, so the sides' stretches
            // are a few pixels long, and the stripe's ends may barely differ from the desk: 0.7
            // together, where an edge of the desk would have to run along the sides by chance.
            const double first = edgeAlong(edges, from, newFrom, 0.15);
            const double second = edgeAlong(edges, to, newTo, 0.15);
            if (first + second < 0.7)
                continue;
            const double cover = edgeAlong(edges, newFrom + (newTo - newFrom) * 0.05, newTo, 0);
            if (cover < 0.6)
                continue;
            EdgeLine stripe = side;
            stripe.offset = side.offset + outward * shift / 2;
            EdgeLine beyond = side;
            beyond.offset = side.offset + outward * (shift + 3);
            const cv::Scalar apart = meanAlong(picture, stripe, newFrom, newTo) -
                                     meanAlong(picture, beyond, newFrom, newTo);
            if (std::abs(apart[0]) + std::abs(apart[1]) + std::abs(apart[2]) < 30)
                continue;
            // The farthest of the best: a pixel's tolerance makes neighbouring shifts score alike.
            if (cover >= 0.6 && cover >= bestCover - 0.05) {
                bestCover = std::max(bestCover, cover);
                bestShift = shift;
            }
        }
        if (bestShift == 0)
            continue;
        EdgeLine grown = side;
        grown.offset = side.offset + outward * bestShift;
        cv::Point2d newFrom;
        cv::Point2d newTo;
        intersect(grown, before, newFrom);
        intersect(grown, after, newTo);
        grown.points = edgePixelsAlong(edges, grown, newFrom, newTo);
        outline.sides[s] = grown;
        outline.corners[(s + 3) % 4] = newFrom;
        outline.corners[s] = newTo;
    }
}

double overlap(const std::array<cv::Point2d, 4>& a, const std::array<cv::Point2d, 4>& b) {
    std::vector<cv::Point2f> pa(a.begin(), a.end());
    std::vector<cv::Point2f> pb(b.begin(), b.end());
    std::vector<cv::Point2f> common;
    const double shared = cv::intersectConvexConvex(pa, pb, common, true);
    const double smaller = std::min(cv::contourArea(pa), cv::contourArea(pb));
    return smaller > 0 ? shared / smaller : 1;
}

// Fits each side again to the edge pixels between its corners only: a line found over the
// whole picture may have picked up a stray edge beyond the document.
std::array<cv::Point2d, 4> refineCorners(const Outline& outline) {
    std::array<EdgeLine, 4> sides = outline.sides;
    for (std::size_t s = 0; s < 4; ++s) {
        EdgeLine& line = sides[s];
        const double t1 = line.position(outline.corners[(s + 3) % 4]);
        const double t2 = line.position(outline.corners[s]);
        const double low = std::min(t1, t2) + 2;
        const double high = std::max(t1, t2) - 2;
        std::vector<cv::Point2d> between;
        for (const cv::Point2f& p : line.points) {
            const double t = line.position(cv::Point2d(p));
            if (t >= low && t <= high && std::abs(line.distance(cv::Point2d(p))) <= 1.5)
                between.emplace_back(p);
        }
        if (between.size() < 8)
            continue;
        cv::Point2d mean(0, 0);
        for (const cv::Point2d& p : between)
            mean += p;
        mean *= 1.0 / static_cast<double>(between.size());
        double sxx = 0, syy = 0, sxy = 0;
        for (const cv::Point2d& p : between) {
            const cv::Point2d d = p - mean;
            sxx += d.x * d.x;
            syy += d.y * d.y;
            sxy += d.x * d.y;
        }
        const double theta = 0.5 * std::atan2(2 * sxy, sxx - syy);
        cv::Point2d normal(-std::sin(theta), std::cos(theta));
        if (normal.dot(line.normal) < 0)
            normal = -normal;
        line.normal = normal;
        line.offset = normal.dot(mean);
    }
    std::array<cv::Point2d, 4> corners = outline.corners;
    for (std::size_t s = 0; s < 4; ++s) {
        cv::Point2d refined;
        if (intersect(sides[s], sides[(s + 1) % 4], refined))
            corners[s] = refined;
    }
    return corners;
}

// Whether `inner` lies inside `outer`, sides they share included.
bool contains(const std::array<cv::Point2d, 4>& outer, const std::array<cv::Point2d, 4>& inner) {
    const std::vector<cv::Point2f> polygon(outer.begin(), outer.end());
    return std::all_of(inner.begin(), inner.end(), [&polygon](cv::Point2d p) {
        return cv::pointPolygonTest(polygon, cv::Point2f(p), true) >= -1.5;
    });
}

double area(const std::array<cv::Point2d, 4>& corners) {
    Quad quad;
    quad.corners = corners;
    return quad.area();
}

// A document inside a document: a page of an open book whose outer edges are faint on a white
// desk while the shadow of its spine is strong. When an enclosure at least 1.3 times as large
// around the chosen one scores nearly as well (85%) and is as whole, the outer one is the
// document. (A line of wood grain just beyond a sheet's edge makes an enclosure a few percent
// larger that scores about as well; that one is not taken.)
QuadCandidate outermost(const std::vector<QuadCandidate>& candidates, std::size_t chosen,
                        const cv::Mat& grey) {
    QuadCandidate best = candidates[chosen];
    const double floor = 0.85 * best.score;
    for (std::size_t i = 0; i < std::min(candidates.size(), kMaxExamined); ++i) {
        const QuadCandidate& outer = candidates[i];
        if (i == chosen || outer.score < floor || outer.supportFraction < 0.85 ||
            area(outer.corners) < 1.3 * area(best.corners) ||
            !contains(outer.corners, best.corners) || contrastAcross(grey, outer) < 2)
            continue;
        best = outer;
    }
    return best;
}

} // namespace

DetectResult DetectTask::run(const cv::Mat& picture, const TaskStatus& status) const {
    DetectResult result;
    if (picture.empty())
        return result;
    double factor = 1;
    const cv::Mat small = reduceToWidth(picture, m_params.workWidth, factor);
    status.throwIfCancelled();

    EdgeLineParams lineParams;
    lineParams.minLength = std::max(8, std::min(small.cols, small.rows) / 20);
    cv::Mat edges;
    const std::vector<EdgeLine> lines = findEdgeLines(small, lineParams, &edges);
    status.throwIfCancelled();

    QuadSearchParams searchParams;
    if (m_params.maxDocuments > 1)
        searchParams.maxInnerGap = 0.12;
    const std::vector<QuadCandidate> candidates = searchQuads(lines, small.size(), searchParams);

    const cv::Mat grey = greyOf(small);

    std::vector<QuadCandidate> chosen;
    for (std::size_t i = 0; i < std::min(candidates.size(), kMaxExamined); ++i) {
        const QuadCandidate& candidate = candidates[i];
        if (static_cast<int>(chosen.size()) >= m_params.maxDocuments)
            break;
        if (!chosen.empty()) {
            // A second document must be as whole as the first, and apart from it.
            if (candidate.score < 0.3 * chosen.front().score || candidate.supportFraction < 0.75)
                continue;
            const bool apart =
                std::all_of(chosen.begin(), chosen.end(), [&candidate](const QuadCandidate& c) {
                    return overlap(c.corners, candidate.corners) < 0.1;
                });
            if (!apart)
                continue;
        }
        if (contrastAcross(grey, candidate) < 2)
            continue;
        chosen.push_back(outermost(candidates, i, grey));
    }

    for (const QuadCandidate& candidate : chosen) {
        Outline outline = outlineOf(lines, candidate);
        growToStripes(small, edges, outline);
        const std::array<cv::Point2d, 4> corners = refineCorners(outline);
        Quad quad;
        quad.corners = corners;
        result.documents.push_back(uprightQuad(quad.scaled(factor).corners));
    }
    return result;
}

} // namespace camcore
