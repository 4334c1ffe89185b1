#include "process/dewarp/PageSurface.h"

#include <algorithm>
#include <cmath>

namespace camcore {

namespace {

// 17 knots put one every 60 pixels across a 1000-pixel page: a book's curve into its spine
// rises over 150 or more, so three knots or more follow it.
constexpr int kKnots = 17;
// The weight of smoothness (second differences between knots) against the samples that fall
// between two knots; where there are no lines it holds the surface straight.
constexpr double kSmoothness = 0.02;
constexpr int kRounds = 12;

struct Hat {
    int index = 0;
    double share = 0; // of the next knot
};

Hat hat(double x, double step) {
    const double t = std::clamp(x / step, 0.0, kKnots - 1.0);
    const int i = std::min(static_cast<int>(t), kKnots - 2);
    return {i, t - i};
}

double interpolate(const std::vector<double>& values, const Hat& h) {
    const auto i = static_cast<std::size_t>(h.index);
    return values[i] * (1 - h.share) + values[i + 1] * h.share;
}

struct Sample {
    double x;
    double y;
    std::size_t line;
};

// Shift and stretch per knot for the lines' present flat rows: one linear least squares
// problem, 2 * kKnots unknowns.
bool solveShape(const std::vector<Sample>& samples, const std::vector<double>& rows, double step,
                std::vector<double>& shift, std::vector<double>& stretch) {
    const int n = 2 * kKnots;
    cv::Mat normal = cv::Mat::zeros(n, n, CV_64F);
    cv::Mat right = cv::Mat::zeros(n, 1, CV_64F);
    for (const Sample& s : samples) {
        const Hat h = hat(s.x, step);
        const double row = rows[s.line];
        const int index[4] = {h.index, h.index + 1, kKnots + h.index, kKnots + h.index + 1};
        const double weight[4] = {1 - h.share, h.share, (1 - h.share) * row, h.share * row};
        for (int a = 0; a < 4; ++a) {
            right.at<double>(index[a]) += weight[a] * s.y;
            for (int b = 0; b < 4; ++b)
                normal.at<double>(index[a], index[b]) += weight[a] * weight[b];
        }
    }
    const double lambda = kSmoothness * static_cast<double>(samples.size()) / kKnots;
    for (const int base : {0, kKnots})
        for (int k = 1; k + 1 < kKnots; ++k) {
            const int index[3] = {base + k - 1, base + k, base + k + 1};
            const double weight[3] = {1, -2, 1};
            for (int a = 0; a < 3; ++a)
                for (int b = 0; b < 3; ++b)
                    normal.at<double>(index[a], index[b]) += lambda * weight[a] * weight[b];
        }
    cv::Mat solution;
    if (!cv::solve(normal, right, solution, cv::DECOMP_CHOLESKY) &&
        !cv::solve(normal, right, solution, cv::DECOMP_SVD))
        return false;
    for (int k = 0; k < kKnots; ++k) {
        shift[static_cast<std::size_t>(k)] = solution.at<double>(k);
        stretch[static_cast<std::size_t>(k)] = solution.at<double>(kKnots + k);
    }
    return true;
}

// Each line's flat row for the present shape, then all rows brought to mean 0 and spread 1,
// which keeps the alternation from drifting (shape and rows are defined up to one such map).
void solveRows(const std::vector<Sample>& samples, double step, const std::vector<double>& shift,
               const std::vector<double>& stretch, std::vector<double>& rows) {
    std::vector<double> top(rows.size(), 0);
    std::vector<double> bottom(rows.size(), 0);
    for (const Sample& s : samples) {
        const Hat h = hat(s.x, step);
        const double b = interpolate(stretch, h);
        top[s.line] += b * (s.y - interpolate(shift, h));
        bottom[s.line] += b * b;
    }
    double sum = 0;
    double squares = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = bottom[i] > 0 ? top[i] / bottom[i] : 0;
        sum += rows[i];
        squares += rows[i] * rows[i];
    }
    const double mean = sum / static_cast<double>(rows.size());
    const double spread =
        std::sqrt(std::max(1e-12, squares / static_cast<double>(rows.size()) - mean * mean));
    for (double& r : rows)
        r = (r - mean) / spread;
}

// The largest distance of the curve y(x) = shift + stretch * row from its straight fit, over
// the columns [from, to].
double offStraight(const PageSurface& surface, double row, double from, double to) {
    std::vector<cv::Point2d> curve;
    for (double x = from; x <= to; x += 4)
        curve.emplace_back(x, surface.sourceY(x, row));
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const cv::Point2d& p : curve) {
        sx += p.x;
        sy += p.y;
        sxx += p.x * p.x;
        sxy += p.x * p.y;
    }
    const auto n = static_cast<double>(curve.size());
    const double slope = (n * sxy - sx * sy) / std::max(1e-12, n * sxx - sx * sx);
    const double offset = (sy - slope * sx) / n;
    double largest = 0;
    for (const cv::Point2d& p : curve)
        largest = std::max(largest, std::abs(p.y - (offset + slope * p.x)));
    return largest;
}

} // namespace

double PageSurface::sourceY(double x, double y) const {
    if (knots.size() < 2)
        return y;
    const double step = knots[1] - knots[0];
    const Hat h = hat(std::clamp(x, from, to) - knots.front(), step);
    return interpolate(shift, h) + interpolate(stretch, h) * y;
}

PageSurface PageSurface::enlarged(double factor) const {
    // y' = f * y + c and Y' = f * Y + c with c = (f - 1) / 2: the shift takes f * shift and the
    // part of the offset that the stretch does not carry, c * (1 - stretch).
    PageSurface big = *this;
    const double c = (factor - 1) / 2;
    big.bend = bend * factor;
    big.from = factor * from + c;
    big.to = factor * to + c;
    for (std::size_t i = 0; i < knots.size(); ++i) {
        big.knots[i] = factor * knots[i] + c;
        big.shift[i] = factor * shift[i] + c * (1 - stretch[i]);
    }
    return big;
}

std::optional<PageSurface> fitSurface(const std::vector<std::vector<cv::Point2f>>& traces,
                                      int width) {
    if (traces.empty() || width < kKnots)
        return std::nullopt;
    const double step = (width - 1.0) / (kKnots - 1);
    std::vector<Sample> samples;
    std::vector<double> rows(traces.size());
    double from = width;
    double to = 0;
    for (std::size_t i = 0; i < traces.size(); ++i) {
        double sum = 0;
        for (const cv::Point2f& p : traces[i]) {
            samples.push_back({p.x, p.y, i});
            sum += p.y;
            from = std::min(from, static_cast<double>(p.x));
            to = std::max(to, static_cast<double>(p.x));
        }
        rows[i] = sum / static_cast<double>(traces[i].size());
    }
    std::vector<double> shift(kKnots, 0);
    std::vector<double> stretch(kKnots, 1);
    // The lines' mean heights are their first flat rows; shape and rows then take turns.
    const std::vector<double> noShift(kKnots, 0);
    const std::vector<double> unit(kKnots, 1);
    solveRows(samples, step, noShift, unit, rows);
    for (int round = 0; round < kRounds; ++round) {
        if (!solveShape(samples, rows, step, shift, stretch))
            return std::nullopt;
        solveRows(samples, step, shift, stretch, rows);
    }
    if (!solveShape(samples, rows, step, shift, stretch))
        return std::nullopt;

    // The reference column: where the text stands tallest within the lines' extent.
    const int first = std::clamp(static_cast<int>(std::ceil(from / step)), 0, kKnots - 1);
    const int last = std::clamp(static_cast<int>(std::floor(to / step)), first, kKnots - 1);
    int reference = first;
    for (int k = first; k <= last; ++k)
        if (stretch[static_cast<std::size_t>(k)] > stretch[static_cast<std::size_t>(reference)])
            reference = k;
    const double a = shift[static_cast<std::size_t>(reference)];
    const double b = stretch[static_cast<std::size_t>(reference)];
    if (b <= 0)
        return std::nullopt;

    PageSurface surface;
    surface.from = from;
    surface.to = to;
    for (int k = 0; k < kKnots; ++k) {
        const auto i = static_cast<std::size_t>(k);
        surface.knots.push_back(k * step);
        surface.shift.push_back(shift[i] - stretch[i] * a / b);
        surface.stretch.push_back(stretch[i] / b);
    }
    // A sheet seen from above never shows its rows reversed or squeezed to half.
    for (int k = first; k <= last; ++k)
        if (surface.stretch[static_cast<std::size_t>(k)] < 0.5)
            return std::nullopt;
    const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
    surface.bend = std::max(offStraight(surface, a + b * *low, from, to),
                            offStraight(surface, a + b * *high, from, to));
    return surface;
}

} // namespace camcore
