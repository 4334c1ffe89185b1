#include "process/dewarp/TextLines.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace camcore {

namespace {

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The median height of blobs shaped like letters: no taller than a twentieth of the page, no
// wider than three of their heights.
double letterHeight(const cv::Mat& ink) {
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(ink, labels, stats, centroids, 8, CV_32S);
    std::vector<double> heights;
    for (int i = 1; i < count; ++i) {
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH);
        const int h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        if (h >= 4 && h <= ink.rows / 20 && w <= 3 * h)
            heights.push_back(h);
    }
    // Fewer than a few lines' worth of letters is not text to follow.
    if (heights.size() < 60)
        return 0;
    return median(heights);
}

// How far a trace strays from the smooth curve through it: the RMS residual of a cubic in x.
double roughness(const std::vector<cv::Point2f>& trace) {
    const double x0 = trace.front().x;
    const double span = std::max(1.0, static_cast<double>(trace.back().x - x0));
    cv::Mat design(static_cast<int>(trace.size()), 4, CV_64F);
    cv::Mat target(static_cast<int>(trace.size()), 1, CV_64F);
    for (int i = 0; i < design.rows; ++i) {
        const double u = (trace[static_cast<std::size_t>(i)].x - x0) / span;
        design.at<double>(i, 0) = 1;
        design.at<double>(i, 1) = u;
        design.at<double>(i, 2) = u * u;
        design.at<double>(i, 3) = u * u * u;
        target.at<double>(i) = trace[static_cast<std::size_t>(i)].y;
    }
    cv::Mat coefficients;
    cv::solve(design, target, coefficients, cv::DECOMP_SVD);
    const cv::Mat residual = design * coefficients - target;
    return std::sqrt(residual.dot(residual) / design.rows);
}

} // namespace

TextLines findTextLines(const cv::Mat& grey) {
    TextLines lines;
    // Ink: darker than the neighbourhood by 10 levels, as for deskewing.
    cv::Mat ink;
    cv::adaptiveThreshold(grey, ink, 255, cv::ADAPTIVE_THRESH_MEAN_C, cv::THRESH_BINARY_INV, 31,
                          10);
    const double height = letterHeight(ink);
    if (height == 0)
        return lines;
    lines.textHeight = height;

    // Letters and the gaps between words close up into one bar per line; lines stay apart,
    // nothing is joined vertically.
    const int reach = std::max(3, static_cast<int>(std::lround(1.5 * height)));
    cv::Mat bars;
    cv::morphologyEx(ink, bars, cv::MORPH_CLOSE,
                     cv::getStructuringElement(cv::MORPH_RECT, {reach, 1}));
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(bars, labels, stats, centroids, 8, CV_32S);

    // Bars long enough to show a curve: eight letters and 30% of the page. With a tenth, the
    // pieces of text a split leaves on a flat page's right half (a code, a box, line ends)
    // passed for five lines and made a curve of 10 pixels.
    const int minLength = std::max(static_cast<int>(8 * height), 3 * grey.cols / 10);
    std::vector<int> slot(static_cast<std::size_t>(count), -1);
    int kept = 0;
    for (int i = 1; i < count; ++i)
        if (stats.at<int>(i, cv::CC_STAT_WIDTH) >= minLength &&
            stats.at<int>(i, cv::CC_STAT_HEIGHT) < grey.rows / 3)
            slot[static_cast<std::size_t>(i)] = kept++;
    if (kept == 0)
        return lines;

    // Each bar's extent down every column, in one pass over the labels.
    const auto cells = static_cast<std::size_t>(kept) * static_cast<std::size_t>(grey.cols);
    std::vector<int> top(cells, std::numeric_limits<int>::max());
    std::vector<int> bottom(cells, -1);
    std::vector<int> filled(cells, 0);
    for (int y = 0; y < labels.rows; ++y) {
        const int* row = labels.ptr<int>(y);
        for (int x = 0; x < labels.cols; ++x) {
            const int s = row[x] > 0 ? slot[static_cast<std::size_t>(row[x])] : -1;
            if (s < 0)
                continue;
            const std::size_t cell = static_cast<std::size_t>(s) * grey.cols + x;
            top[cell] = std::min(top[cell], y);
            bottom[cell] = std::max(bottom[cell], y);
            ++filled[cell];
        }
    }

    // A column of a bar is a sample where it is one run about a letter high; its middle is
    // where the line runs. Ascenders and descenders move it by a quarter of a letter, so the
    // samples are smoothed by a running median a letter and a half wide.
    const int half = std::max(2, static_cast<int>(std::lround(0.75 * height)));
    for (int s = 0; s < kept; ++s) {
        std::vector<cv::Point2f> raw;
        std::vector<double> thickness;
        for (int x = 0; x < grey.cols; ++x) {
            const std::size_t cell = static_cast<std::size_t>(s) * grey.cols + x;
            const int run = bottom[cell] - top[cell] + 1;
            if (filled[cell] == 0 || filled[cell] != run || run < 0.4 * height ||
                run > 2.0 * height)
                continue;
            raw.emplace_back(static_cast<float>(x),
                             0.5F * static_cast<float>(top[cell] + bottom[cell]));
            thickness.push_back(run);
        }
        if (static_cast<int>(raw.size()) < minLength / 2 || median(thickness) > 1.6 * height)
            continue;
        std::vector<cv::Point2f> trace;
        for (std::size_t i = 0; i < raw.size(); i += 2) {
            std::vector<double> window;
            for (std::size_t j = i > static_cast<std::size_t>(half) ? i - half : 0;
                 j < std::min(raw.size(), i + half + 1); ++j)
                if (std::abs(raw[j].x - raw[i].x) <= half)
                    window.push_back(raw[j].y);
            trace.emplace_back(raw[i].x, static_cast<float>(median(window)));
        }
        // Two lines run together, or a line and a rule, jump where one ends.
        if (roughness(trace) > 0.25 * height)
            continue;
        lines.traces.push_back(std::move(trace));
    }
    return lines;
}

} // namespace camcore
