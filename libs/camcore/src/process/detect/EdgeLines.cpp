#include "process/detect/EdgeLines.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace camcore {

namespace {

constexpr int kAngles = 360; // gradient directions in whole degrees; polarity counts
constexpr double kDegree = CV_PI / 180;

// An edge pixel and how strong its edge is: 1 for a step of kFullContrast grey levels or more.
struct EdgePixel {
    cv::Point2f at;
    float weight;
};

// Sobel's answer to a blurred step of 60 grey levels. A sheet on a desk differs from it by 60
// levels or more unless both are white; wood grain and fabric by 10 to 30.
constexpr float kFullContrast = 3.2F * 60;

// Edge pixels grouped by the direction of their gradient, one group per degree.
using Buckets = std::array<std::vector<EdgePixel>, kAngles>;

struct Tables {
    std::array<double, kAngles> cosine{};
    std::array<double, kAngles> sine{};
    Tables() {
        for (int a = 0; a < kAngles; ++a) {
            cosine[static_cast<std::size_t>(a)] = std::cos(a * kDegree);
            sine[static_cast<std::size_t>(a)] = std::sin(a * kDegree);
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

int wrapAngle(int a) {
    return ((a % kAngles) + kAngles) % kAngles;
}

// Direction of the vector (x, y) in degrees, 0..360, to within 0.01 degrees: a minimax
// polynomial for the arc tangent on [0, 1], folded into the other octants.
float angleOf(float x, float y) {
    const float ax = std::abs(x);
    const float ay = std::abs(y);
    const float big = std::max(ax, ay);
    if (big == 0)
        return 0;
    const float a = std::min(ax, ay) / big;
    const float s = a * a;
    float r = ((-0.0464964749F * s + 0.15931422F) * s - 0.327622764F) * s * a + a;
    if (ay > ax)
        r = 1.57079637F - r;
    if (x < 0)
        r = 3.14159274F - r;
    if (y < 0)
        r = 6.28318548F - r;
    return r * 57.2957795F;
}

// Direction of each edge pixel in whole degrees (0..359), -1 where there is none. Edge pixels
// are the local maxima of the gradient across the edge (Canny's thinning, without its
// hysteresis: lines are fitted to many pixels, so stray ones do no harm), measured on whichever
// colour channel changes most. Faint edges, at half the lower threshold, are included for
// telling texture from a lone edge; `strong` marks those at the lower threshold or above.
cv::Mat edgeDirections(const cv::Mat& picture, const EdgeLineParams& params, cv::Mat& weights,
                       cv::Mat& strong) {
    cv::Mat smooth;
    // A 5-tap kernel: the 7 taps OpenCV picks for sigma 1 add nothing past 2 sigma but time.
    cv::GaussianBlur(picture, smooth, {5, 5}, params.blurSigma, params.blurSigma,
                     cv::BORDER_REPLICATE);
    cv::Mat dx;
    cv::Mat dy;
    cv::Sobel(smooth, dx, CV_16S, 1, 0, 3, 1, 0, cv::BORDER_REPLICATE);
    cv::Sobel(smooth, dy, CV_16S, 0, 1, 3, 1, 0, cv::BORDER_REPLICATE);

    const int channels = picture.channels();
    cv::Mat gx(picture.size(), CV_16S);
    cv::Mat gy(picture.size(), CV_16S);
    cv::Mat magnitude(picture.size(), CV_32S);
    for (int y = 0; y < picture.rows; ++y) {
        const short* sx = dx.ptr<short>(y);
        const short* sy = dy.ptr<short>(y);
        short* outX = gx.ptr<short>(y);
        short* outY = gy.ptr<short>(y);
        int* outM = magnitude.ptr<int>(y);
        for (int x = 0; x < picture.cols; ++x, sx += channels, sy += channels) {
            int bx = sx[0];
            int by = sy[0];
            int bm = bx * bx + by * by;
            for (int c = 1; c < channels; ++c) {
                const int m = sx[c] * sx[c] + sy[c] * sy[c];
                const bool more = m > bm;
                bm = more ? m : bm;
                bx = more ? sx[c] : bx;
                by = more ? sy[c] : by;
            }
            outX[x] = static_cast<short>(bx);
            outY[x] = static_cast<short>(by);
            outM[x] = bm;
        }
    }

    const double faintLevel = params.lowThreshold / 2;
    const int faintMagnitude = static_cast<int>(faintLevel * faintLevel);
    const int strongMagnitude = static_cast<int>(params.lowThreshold * params.lowThreshold);
    cv::Mat directions(picture.size(), CV_16S, cv::Scalar(-1));
    weights = cv::Mat(picture.size(), CV_32F, cv::Scalar(0));
    strong = cv::Mat(picture.size(), CV_8U, cv::Scalar(0));
    const auto step = static_cast<int>(magnitude.step1());
    // The outermost row and column are left out: the frame's own border is no document edge.
    for (int y = 1; y < picture.rows - 1; ++y) {
        const short* sx = gx.ptr<short>(y);
        const short* sy = gy.ptr<short>(y);
        const int* m = magnitude.ptr<int>(y);
        short* direction = directions.ptr<short>(y);
        float* weight = weights.ptr<float>(y);
        uchar* isStrong = strong.ptr<uchar>(y);
        for (int x = 1; x < picture.cols - 1; ++x) {
            const int here = m[x];
            if (here < faintMagnitude)
                continue;
            // Neighbours across the edge, the gradient's direction rounded to 45 degrees
            // (tan 22.5 = 0.4142).
            const int ax = std::abs(sx[x]);
            const int ay = std::abs(sy[x]);
            int offset = 1;
            if (ay * 1000 > ax * 2414)
                offset = step;
            else if (ay * 1000 > ax * 414)
                offset = (sx[x] ^ sy[x]) >= 0 ? step + 1 : step - 1;
            if (here <= m[x - offset] || here < m[x + offset])
                continue;
            const float angle = angleOf(static_cast<float>(sx[x]), static_cast<float>(sy[x]));
            direction[x] = static_cast<short>(wrapAngle(static_cast<int>(angle + 0.5F)));
            weight[x] = std::min(1.0F, std::sqrt(static_cast<float>(here)) / kFullContrast);
            isStrong[x] = here >= strongMagnitude ? 255 : 0;
        }
    }
    return directions;
}

// Where to look for edges alongside an edge pixel of each direction: 15 points 2 to 6 pixels
// away on its brighter side (the darker side is the same points mirrored). `parallel[a][b]` is 1
// when axes a and b (directions modulo 180 degrees, halved; 255 for none) are within 15 degrees.
struct Alongside {
    std::array<std::array<cv::Point, 15>, kAngles> offsets{};
    std::array<std::array<uchar, 256>, 90> parallel{};
    Alongside() {
        for (int a = 0; a < 90; ++a)
            for (int b = 0; b < 90; ++b) {
                const int apart = std::abs(a - b);
                parallel[static_cast<std::size_t>(a)][static_cast<std::size_t>(b)] =
                    std::min(apart, 90 - apart) <= 7 ? 1 : 0;
            }
        const Tables& t = tables();
        for (std::size_t a = 0; a < kAngles; ++a) {
            std::size_t i = 0;
            for (int d = 2; d <= 6; ++d)
                for (int along = -2; along <= 2; along += 2)
                    offsets[a][i++] = {
                        static_cast<int>(std::lround(t.cosine[a] * d - t.sine[a] * along)),
                        static_cast<int>(std::lround(t.sine[a] * d + t.cosine[a] * along))};
        }
    }
};

const Alongside& alongside() {
    static const Alongside a;
    return a;
}

// Whether three or more of the 15 points beside (x, y) on one side are edges of about the same
// direction (15 degrees, either polarity).
// `axes` holds each edge pixel's direction modulo 180 degrees, halved (0..89), 255 elsewhere.
bool hasParallelNeighbours(const cv::Mat& axes, int x, int y, int angle, int side) {
    const Alongside& table = alongside();
    const auto& parallel = table.parallel[static_cast<std::size_t>((angle % 180) / 2)];
    const auto& offsets = table.offsets[static_cast<std::size_t>(angle)];
    const bool inside = x >= 7 && y >= 7 && x < axes.cols - 7 && y < axes.rows - 7;
    const uchar* centre = axes.ptr<uchar>(y) + x;
    const auto step = static_cast<std::ptrdiff_t>(axes.step[0]);
    int count = 0;
    for (const cv::Point& offset : offsets) {
        const int px = x + side * offset.x;
        const int py = y + side * offset.y;
        if (!inside && (px < 0 || py < 0 || px >= axes.cols || py >= axes.rows))
            continue;
        count += parallel[centre[side * (offset.y * step + offset.x)]];
        if (count >= 3)
            return true;
    }
    return false;
}

// Edge pixels grouped by direction. An edge with other edges, faint ones included, alongside
// it on both sides, as in wood grain, woven cloth or lines of print, is left out: the edge of a
// sheet has paper on one side with nothing printed next to it, or a plain desk on the other.
// Without this the grain of a wooden desk, whose streaks run the width of the frame, outvotes
// the edges of a card.
Buckets edgePixels(const cv::Mat& picture, const EdgeLineParams& params, cv::Mat& directions) {
    cv::Mat weights;
    cv::Mat strong;
    directions = edgeDirections(picture, params, weights, strong);
    cv::Mat axes(directions.size(), CV_8U, cv::Scalar(255));
    for (int y = 0; y < directions.rows; ++y) {
        const short* direction = directions.ptr<short>(y);
        uchar* axis = axes.ptr<uchar>(y);
        for (int x = 0; x < directions.cols; ++x)
            if (direction[x] >= 0)
                axis[x] = static_cast<uchar>((direction[x] % 180) / 2);
    }
    Buckets buckets;
    for (int y = 0; y < directions.rows; ++y) {
        const short* direction = directions.ptr<short>(y);
        const uchar* isStrong = strong.ptr<uchar>(y);
        for (int x = 0; x < directions.cols; ++x) {
            const int angle = direction[x];
            if (angle < 0 || isStrong[x] == 0)
                continue;
            if (hasParallelNeighbours(axes, x, y, angle, 1) &&
                hasParallelNeighbours(axes, x, y, angle, -1))
                continue;
            buckets[static_cast<std::size_t>(angle)].push_back(
                {{static_cast<float>(x), static_cast<float>(y)}, weights.at<float>(y, x)});
        }
    }
    return buckets;
}

struct Peak {
    float votes; // edge pixels weighted by contrast
    int pixels;
    int angle;
    double offset;
};

// Each edge pixel votes, by its contrast, for the lines through it whose normal lies near its
// gradient, so one pass finds straight edges of both polarities apart. The peaks also count
// their pixels unweighted.
std::vector<Peak> houghPeaks(const Buckets& buckets, cv::Size size, float minVotes) {
    const Tables& t = tables();
    const int shift = static_cast<int>(std::ceil(std::hypot(size.width, size.height)));
    // Kept from call to call on each thread: a fresh 2 MB accumulator costs page faults on
    // every preview frame.
    thread_local cv::Mat votes;
    thread_local cv::Mat pixels;
    votes.create(kAngles, 2 * shift + 1, CV_32F);
    pixels.create(kAngles, 2 * shift + 1, CV_32F);
    votes.setTo(0);
    pixels.setTo(0);
    for (int a = 0; a < kAngles; ++a) {
        for (const EdgePixel& p : buckets[static_cast<std::size_t>(a)]) {
            // The gradient of a faint edge wanders by a few degrees from pixel to pixel: it
            // votes two degrees either way, a strong one one.
            const int spread = p.weight < 0.5F ? 2 : 1;
            for (int da = -spread; da <= spread; ++da) {
                const auto b = static_cast<std::size_t>(wrapAngle(a + da));
                const int r = cvRound(p.at.x * t.cosine[b] + p.at.y * t.sine[b]) + shift;
                votes.at<float>(static_cast<int>(b), r) += p.weight;
                pixels.at<float>(static_cast<int>(b), r) += 1;
            }
        }
    }
    // Local maxima over a degree or two and two pixels either way, among the cells a line
    // through the picture can reach.
    std::vector<Peak> peaks;
    for (int a = 0; a < kAngles; ++a) {
        const double c = t.cosine[static_cast<std::size_t>(a)];
        const double s = t.sine[static_cast<std::size_t>(a)];
        const double reach[] = {0, c * size.width, s * size.height,
                                c * size.width + s * size.height};
        const int low = static_cast<int>(std::floor(*std::min_element(reach, reach + 4))) + shift;
        const int high = static_cast<int>(std::ceil(*std::max_element(reach, reach + 4))) + shift;
        const float* v = votes.ptr<float>(a);
        for (int r = std::max(low, 0); r <= std::min(high, votes.cols - 1); ++r) {
            const float here = v[r];
            if (here < minVotes)
                continue;
            bool highest = true;
            for (int da = -2; da <= 2 && highest; ++da) {
                const float* row = votes.ptr<float>(wrapAngle(a + da));
                for (int dr = std::max(-2, -r); dr <= std::min(2, votes.cols - 1 - r); ++dr)
                    if (row[r + dr] > here ||
                        (row[r + dr] == here && (da < 0 || (da == 0 && dr < 0)))) {
                        highest = false;
                        break;
                    }
            }
            if (highest)
                peaks.push_back({here, static_cast<int>(pixels.at<float>(a, r)), a,
                                 static_cast<double>(r - shift)});
        }
    }
    return peaks;
}

// The peaks worth refining: in each 10-degree sector of directions, the `quota` with the most
// pixels (the long edge of a sheet on a white desk, among lines of print) and the `quota` with
// the most contrast (the short sharp edge of a card, among long streaks of wood grain).
std::vector<Peak> promisingPeaks(std::vector<Peak> peaks, int quota) {
    std::vector<Peak> chosen;
    std::vector<bool> taken(peaks.size(), false);
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::size_t> order(peaks.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&peaks, pass](std::size_t a, std::size_t b) {
            return pass == 0 ? peaks[a].pixels > peaks[b].pixels : peaks[a].votes > peaks[b].votes;
        });
        std::array<int, kAngles / 10> perSector{};
        for (const std::size_t i : order) {
            int& sector = perSector[static_cast<std::size_t>(peaks[i].angle / 10)];
            if (taken[i] || sector >= quota)
                continue;
            ++sector;
            taken[i] = true;
            chosen.push_back(peaks[i]);
        }
    }
    return chosen;
}

// Total least squares: the line through the points' mean along their main direction, its
// normal on the same side as `previous`.
void fitLine(const std::vector<cv::Point2f>& points, EdgeLine& line) {
    cv::Point2d mean(0, 0);
    for (const cv::Point2f& p : points)
        mean += cv::Point2d(p);
    mean *= 1.0 / static_cast<double>(points.size());
    double sxx = 0;
    double syy = 0;
    double sxy = 0;
    for (const cv::Point2f& p : points) {
        const cv::Point2d d = cv::Point2d(p) - mean;
        sxx += d.x * d.x;
        syy += d.y * d.y;
        sxy += d.x * d.y;
    }
    const double theta = 0.5 * std::atan2(2 * sxy, sxx - syy); // direction of the line
    cv::Point2d normal(-std::sin(theta), std::cos(theta));
    if (normal.dot(line.normal) < 0)
        normal = -normal;
    line.normal = normal;
    line.offset = normal.dot(mean);
}

// The edge pixels within `tolerance` of the line whose direction is within `window` degrees.
void collectPoints(const Buckets& buckets, int window, double tolerance, EdgeLine& line) {
    const double angle = std::atan2(line.normal.y, line.normal.x) / kDegree;
    const int centre = static_cast<int>(std::lround(angle));
    line.points.clear();
    line.weights.clear();
    for (int a = centre - window; a <= centre + window; ++a) {
        for (const EdgePixel& p : buckets[static_cast<std::size_t>(wrapAngle(a))]) {
            if (std::abs(line.distance(cv::Point2d(p.at))) <= tolerance) {
                line.points.push_back(p.at);
                line.weights.push_back(p.weight);
            }
        }
    }
}

void measureSupport(EdgeLine& line) {
    double lowest = 1e18;
    double highest = -1e18;
    for (const cv::Point2f& p : line.points) {
        const double t = line.position(cv::Point2d(p));
        lowest = std::min(lowest, t);
        highest = std::max(highest, t);
    }
    line.tMin = std::floor(lowest);
    const auto bins = static_cast<std::size_t>(std::ceil(highest - line.tMin)) + 2;
    line.support.assign(bins, 0);
    // Pixels of a line at any angle are at most sqrt(2) apart along it: marking the two bins
    // around each leaves no hole in a continuous edge.
    for (std::size_t k = 0; k < line.points.size(); ++k) {
        const auto i =
            static_cast<std::size_t>(line.position(cv::Point2d(line.points[k])) - line.tMin);
        const float value = std::sqrt(line.weights[k]);
        line.support[i] = std::max(line.support[i], value);
        line.support[i + 1] = std::max(line.support[i + 1], value);
    }
    line.prefix.assign(bins + 1, 0);
    line.covered.assign(bins + 1, 0);
    double run = 0;
    int gap = 0;
    line.unbroken = 0;
    for (std::size_t i = 0; i < bins; ++i) {
        line.prefix[i + 1] = line.prefix[i] + line.support[i];
        line.covered[i + 1] = line.covered[i] + (line.support[i] > 0 ? 1 : 0);
        gap = line.support[i] > 0 ? 0 : gap + 1;
        run = gap > 2 ? 0 : run + line.support[i];
        line.unbroken = std::max(line.unbroken, run);
    }
}

// Refits a peak to the edge pixels along it, then takes those in a narrower band of the fit.
std::optional<EdgeLine> refine(const Buckets& buckets, const Peak& peak,
                               const EdgeLineParams& params) {
    const Tables& t = tables();
    EdgeLine line;
    line.normal = {t.cosine[static_cast<std::size_t>(peak.angle)],
                   t.sine[static_cast<std::size_t>(peak.angle)]};
    line.offset = peak.offset;
    collectPoints(buckets, 6, 2.0, line);
    if (static_cast<int>(line.points.size()) < params.minLength)
        return std::nullopt;
    fitLine(line.points, line);
    collectPoints(buckets, 4, 1.25, line);
    if (static_cast<int>(line.points.size()) < params.minLength)
        return std::nullopt;
    measureSupport(line);
    return line;
}

bool sameLine(const EdgeLine& a, const EdgeLine& b) {
    return a.normal.dot(b.normal) > std::cos(2 * kDegree) && std::abs(a.offset - b.offset) < 3;
}

bool sameDirection(const EdgeLine& a, const EdgeLine& b) {
    return a.normal.dot(b.normal) > std::cos(12 * kDegree);
}

} // namespace

double EdgeLine::supportBetween(double t1, double t2) const {
    if (support.empty())
        return 0;
    const auto last = static_cast<double>(support.size());
    const auto i1 = static_cast<std::size_t>(std::clamp(std::min(t1, t2) - tMin, 0.0, last));
    const auto i2 = static_cast<std::size_t>(std::clamp(std::max(t1, t2) - tMin, 0.0, last));
    return prefix[i2] - prefix[i1];
}

int EdgeLine::coverageBetween(double t1, double t2) const {
    if (support.empty())
        return 0;
    const auto last = static_cast<double>(support.size());
    const auto i1 = static_cast<std::size_t>(std::clamp(std::min(t1, t2) - tMin, 0.0, last));
    const auto i2 = static_cast<std::size_t>(std::clamp(std::max(t1, t2) - tMin, 0.0, last));
    return covered[i2] - covered[i1];
}

int EdgeLine::longestInnerGap(double t1, double t2) const {
    const auto last = static_cast<double>(support.size());
    const double from = std::min(t1, t2) - tMin;
    const double to = std::max(t1, t2) - tMin;
    if (from < 0 || to > last)
        return 0; // a gap off the supported stretch touches an end
    const auto i1 = static_cast<std::size_t>(from);
    const auto i2 = static_cast<std::size_t>(to);
    int longest = 0;
    int run = 0;
    bool touchesStart = true;
    for (std::size_t i = i1; i < i2; ++i) {
        if (support[i] <= 0) {
            ++run;
            continue;
        }
        if (!touchesStart)
            longest = std::max(longest, run);
        touchesStart = false;
        run = 0;
    }
    return longest;
}

std::vector<EdgeLine> findEdgeLines(const cv::Mat& picture, const EdgeLineParams& params,
                                    cv::Mat* edges) {
    if (picture.empty())
        return {};
    cv::Mat directions;
    const Buckets buckets = edgePixels(picture, params, directions);
    if (edges != nullptr)
        *edges = directions;
    // Votes below a quarter of the shortest line at full contrast are noise.
    const std::vector<Peak> peaks =
        houghPeaks(buckets, picture.size(), 0.25F * static_cast<float>(params.minLength));

    std::vector<EdgeLine> lines;
    // Refits of neighbouring peaks often land on one line, so more are refined than kept.
    for (const Peak& peak : promisingPeaks(peaks, params.perDirection * 3 / 4)) {
        std::optional<EdgeLine> line = refine(buckets, peak, params);
        if (line)
            lines.push_back(std::move(*line));
    }
    // Wood grain, a ruled mat or lines of print make many edges of one direction; a quota per
    // direction keeps room for the document's edges in the others. Lines are taken by their
    // longest unbroken support first, which finds the long faint edges of a sheet on a white
    // desk among lines of print, then by contrast, which finds the short sharp edges of a card
    // among long streaks of grain.
    std::vector<std::size_t> order(lines.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::vector<bool> taken(lines.size(), false);
    std::vector<std::size_t> kept;
    auto take = [&](int quota) {
        for (const std::size_t i : order) {
            if (static_cast<int>(kept.size()) >= params.maxLines)
                return;
            const EdgeLine& line = lines[i];
            const bool seen = std::any_of(kept.begin(), kept.end(),
                                          [&](std::size_t k) { return sameLine(lines[k], line); });
            const auto alike = std::count_if(kept.begin(), kept.end(), [&](std::size_t k) {
                return sameDirection(lines[k], line);
            });
            if (!taken[i] && !seen && alike < quota) {
                taken[i] = true;
                kept.push_back(i);
            }
        }
    };
    std::sort(order.begin(), order.end(), [&lines](std::size_t a, std::size_t b) {
        return lines[a].unbroken > lines[b].unbroken;
    });
    take(params.perDirection / 2);
    auto contrast = [&lines](std::size_t i) {
        const EdgeLine& line = lines[i];
        return line.covered.back() == 0 ? 0.0 : line.strength() / line.covered.back();
    };
    std::sort(order.begin(), order.end(),
              [&contrast](std::size_t a, std::size_t b) { return contrast(a) > contrast(b); });
    take(params.perDirection);
    std::vector<EdgeLine> distinct;
    for (const std::size_t i : kept)
        distinct.push_back(std::move(lines[i]));
    return distinct;
}

bool intersect(const EdgeLine& a, const EdgeLine& b, cv::Point2d& point) {
    const double det = a.normal.x * b.normal.y - a.normal.y * b.normal.x;
    if (std::abs(det) < 1e-6)
        return false;
    point = {(a.offset * b.normal.y - a.normal.y * b.offset) / det,
             (a.normal.x * b.offset - a.offset * b.normal.x) / det};
    return true;
}

} // namespace camcore
