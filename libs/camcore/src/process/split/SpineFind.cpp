#include "process/split/SpineFind.h"

#include "process/Reduce.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace camcore {

namespace {

// The spread is read in this many horizontal bands between 10% and 90% of its height; the
// bands away from the top and bottom edges miss the dip of the pages into the spine.
constexpr int kBands = 8;

// Column means of the rows [top, bottom), smoothed along the row.
std::vector<double> profile(const cv::Mat& paper, int top, int bottom, double sigma) {
    cv::Mat mean;
    cv::reduce(paper.rowRange(top, bottom), mean, 0, cv::REDUCE_AVG, CV_32F);
    cv::GaussianBlur(mean, mean, {0, 0}, sigma, 0.1, cv::BORDER_REPLICATE);
    return std::vector<double>(mean.begin<float>(), mean.end<float>());
}

// Depth of the valley at x: how far the profile rises on its lower side within `reach`.
double valleyDepth(const std::vector<double>& p, int x, int reach) {
    const int n = static_cast<int>(p.size());
    double left = p[static_cast<std::size_t>(x)];
    double right = left;
    for (int i = std::max(0, x - reach); i < x; ++i)
        left = std::max(left, p[static_cast<std::size_t>(i)]);
    for (int i = x + 1; i <= std::min(n - 1, x + reach); ++i)
        right = std::max(right, p[static_cast<std::size_t>(i)]);
    return std::min(left, right) - p[static_cast<std::size_t>(x)];
}

// The lowest point of the profile in [from, to], between pixels by a parabola.
double lowestPoint(const std::vector<double>& p, int from, int to) {
    from = std::max(from, 1);
    to = std::min(to, static_cast<int>(p.size()) - 2);
    int best = from;
    for (int x = from; x <= to; ++x)
        if (p[static_cast<std::size_t>(x)] < p[static_cast<std::size_t>(best)])
            best = x;
    const double l = p[static_cast<std::size_t>(best - 1)];
    const double c = p[static_cast<std::size_t>(best)];
    const double r = p[static_cast<std::size_t>(best + 1)];
    const double curve = l - 2 * c + r;
    return curve > 0 ? best + std::clamp(0.5 * (l - r) / curve, -0.5, 0.5) : best;
}

} // namespace

SpineResult SpineTask::run(const cv::Mat& spread, const TaskStatus& status) const {
    SpineResult result;
    if (spread.empty())
        return result;
    double factor = 1;
    const cv::Mat grey = greyOf(reduceToWidth(spread, m_params.workWidth, factor));
    // Closing over 2% of the width fills in lines of print and leaves the paper and its shading:
    // a spine's shadow fades over 1 to 4% of the spread on each side.
    const int k = 2 * std::max(1, grey.cols / 100) + 1;
    cv::Mat paper;
    cv::morphologyEx(grey, paper, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, {k, k}), {-1, -1}, 1,
                     cv::BORDER_REPLICATE);
    status.throwIfCancelled();

    const double sigma = std::max(1.0, grey.cols * 0.003);
    const int rows = grey.rows;
    std::vector<std::vector<double>> bands;
    std::vector<double> bandCentres;
    std::vector<double> overall(static_cast<std::size_t>(grey.cols), 0.0);
    for (int b = 0; b < kBands; ++b) {
        const int top = rows / 10 + b * (rows * 8 / 10) / kBands;
        const int bottom = rows / 10 + (b + 1) * (rows * 8 / 10) / kBands;
        if (bottom <= top)
            continue;
        bands.push_back(profile(paper, top, bottom, sigma));
        bandCentres.push_back((top + bottom - 1) / 2.0);
        for (std::size_t x = 0; x < overall.size(); ++x)
            overall[x] += bands.back()[x] / kBands;
    }
    if (bands.empty())
        return result;

    // The spine is the deepest valley in the search range: its shadow darkens the paper on both
    // sides, where a lamp's fall-off or the edge of the desk darkens one side only. A spine
    // shadow is 30 levels deep or more; 6 leaves out the unevenness of plain paper.
    const int from = static_cast<int>(m_params.searchFrom * grey.cols);
    const int to = static_cast<int>(m_params.searchTo * grey.cols);
    const int reach = std::max(3, grey.cols * 6 / 100);
    int deepest = -1;
    double depth = 6;
    for (int x = std::max(from, 1); x <= std::min(to, grey.cols - 2); ++x) {
        const double d = valleyDepth(overall, x, reach);
        if (d > depth) {
            depth = d;
            deepest = x;
        }
    }
    if (deepest < 0)
        return result;

    // Each band places the spine on its own; a line through them follows a spine that leans.
    const int near = std::max(2, grey.cols * 3 / 100);
    std::vector<cv::Point2d> points;
    for (std::size_t b = 0; b < bands.size(); ++b)
        points.emplace_back(lowestPoint(bands[b], deepest - near, deepest + near), bandCentres[b]);
    double a = 0;
    double slope = 0;
    for (int pass = 0; pass < 2; ++pass) {
        // x = a + slope * y by least squares; the second pass without bands 1.5% off the first.
        double n = 0, sy = 0, sx = 0, syy = 0, sxy = 0;
        for (const cv::Point2d& p : points) {
            if (pass == 1 && std::abs(p.x - (a + slope * p.y)) > 0.015 * grey.cols)
                continue;
            n += 1;
            sy += p.y;
            sx += p.x;
            syy += p.y * p.y;
            sxy += p.x * p.y;
        }
        if (n < 2)
            break;
        const double det = n * syy - sy * sy;
        slope = det > 1e-9 ? (n * sxy - sx * sy) / det : 0;
        a = (sx - slope * sy) / n;
    }
    // The bands must agree: a spine runs through all of them, where what is left of the print
    // dips here and there. Five of the eight within 1.5% of the width of the line.
    const auto agreeing = std::count_if(points.begin(), points.end(), [&](const cv::Point2d& p) {
        return std::abs(p.x - (a + slope * p.y)) <= 0.015 * grey.cols;
    });
    if (agreeing < 5)
        return result;
    const double shift = (factor - 1) / 2;
    auto toSpread = [factor, shift](cv::Point2d p) {
        return cv::Point2d(p.x * factor + shift, p.y * factor + shift);
    };
    // Ends at the outer edges of the picture's first and last rows.
    const double topY = -0.5;
    const double bottomY = rows - 0.5;
    result.top = toSpread({a + slope * topY, topY});
    result.bottom = toSpread({a + slope * bottomY, bottomY});
    result.top.y = -0.5;
    result.bottom.y = spread.rows - 0.5;
    result.found = true;
    return result;
}

} // namespace camcore
