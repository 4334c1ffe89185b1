#include "PageTurnDetector.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <vector>

namespace camcore {
namespace {

// Frames are compared as a grid of cell means: 32 x 24 cells average 25 pixels each of a
// 160-pixel copy, which takes the sensor's noise below 1 grey level while a line of text, a
// finger or a page's edge still moves a cell by 20 or more.
constexpr int kGridWidth = 32;
constexpr int kGridHeight = 24;
// Sharpness that grows by more than this share over the best of the still frames so far means
// the camera is still focusing: the page is not settled yet.
constexpr double kFocusGain = 1.08;
// A pixel whose 3 x 3 neighbourhood spreads its grey levels less than this is plain: no print.
constexpr double kPlainSpread = 8.0;
// Cells darker than this share of the paper's level are not paper; the lamp leaves the corners
// of a page at about 85 % of its middle.
constexpr double kPaperShare = 0.75;

cv::Mat gridOf(const cv::Mat& grey) {
    cv::Mat grid;
    cv::resize(grey, grid, cv::Size(kGridWidth, kGridHeight), 0, 0, cv::INTER_AREA);
    grid.convertTo(grid, CV_32F);
    return grid;
}

// Mean absolute Laplacian over mean brightness, so that a flicker of the light does not look like
// focus.
double sharpnessOf(const cv::Mat& grey) {
    cv::Mat edges;
    cv::Laplacian(grey, edges, CV_16S);
    const double brightness = cv::mean(grey)[0];
    return cv::mean(cv::abs(edges))[0] / std::max(brightness, 1.0);
}

// |a - gain * b| per cell, with the gain the light changed by between the two: the median ratio
// of the cells, which an arm over a third of the picture does not move.
cv::Mat changeOf(const cv::Mat& a, const cv::Mat& b) {
    std::vector<float> ratios;
    ratios.reserve(a.total());
    for (int y = 0; y < a.rows; ++y)
        for (int x = 0; x < a.cols; ++x)
            if (const float below = b.at<float>(y, x); below > 8.0F)
                ratios.push_back(a.at<float>(y, x) / below);
    float gain = 1.0F;
    if (!ratios.empty()) {
        auto middle = ratios.begin() + static_cast<std::ptrdiff_t>(ratios.size() / 2);
        std::nth_element(ratios.begin(), middle, ratios.end());
        gain = *middle;
    }
    cv::Mat change;
    cv::absdiff(a, b * gain, change);
    return change;
}

int cellsAbove(const cv::Mat& change, double level) {
    return cv::countNonZero(change > level);
}

// The share of each cell covered by something lying over the page rather than the page: plain
// pixels (print on paper spreads the grey levels of its 3 x 3 neighbourhood by tens, skin, a
// sleeve or the desk stays within the sensor's noise) that are darker than paper under this lamp.
// Paper is the brightest thing in view; its level is taken high among the cells, so print or the
// desk around a page do not lower it.
cv::Mat coveredShare(const cv::Mat& grey, const cv::Mat& grid) {
    std::vector<float> levels(grid.begin<float>(), grid.end<float>());
    auto high = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() * 9 / 10);
    std::nth_element(levels.begin(), high, levels.end());
    const double paper = *high;

    cv::Mat values;
    grey.convertTo(values, CV_32F);
    cv::Mat mean;
    cv::Mat meanOfSquares;
    cv::blur(values, mean, cv::Size(3, 3));
    cv::blur(values.mul(values), meanOfSquares, cv::Size(3, 3));
    const cv::Mat variance = meanOfSquares - mean.mul(mean);
    const cv::Mat covering =
        (variance < kPlainSpread * kPlainSpread) & (mean < paper * kPaperShare);
    cv::Mat share;
    covering.convertTo(share, CV_32F, 1.0 / 255);
    cv::resize(share, share, cv::Size(kGridWidth, kGridHeight), 0, 0, cv::INTER_AREA);
    return share;
}

} // namespace

PageTurnDetector::PageTurnDetector(PageTurnSettings settings) : m_settings(settings) {}

void PageTurnDetector::reset() {
    m_previous.release();
    m_reference.release();
    m_stillFrames = 0;
    m_moved = false;
    m_bestSharpness = 0;
}

bool PageTurnDetector::feed(const cv::Mat& grey) {
    if (grey.type() != CV_8UC1 || grey.cols < kGridWidth || grey.rows < kGridHeight)
        return false;
    const cv::Mat grid = gridOf(grey);
    const double sharpness = sharpnessOf(grey);
    if (m_previous.empty()) {
        m_previous = grid;
        return false;
    }
    const bool moving =
        cellsAbove(changeOf(grid, m_previous), m_settings.motionLevel) >= m_settings.motionCells;
    m_previous = grid;
    if (moving) {
        m_moved = true;
        m_stillFrames = 0;
        m_bestSharpness = 0;
        return false;
    }
    if (m_stillFrames > 0 && sharpness > m_bestSharpness * kFocusGain)
        m_stillFrames = 0; // still focusing: the settled picture starts now
    m_bestSharpness = m_stillFrames == 0 ? sharpness : std::max(m_bestSharpness, sharpness);
    if (++m_stillFrames < m_settings.settleFrames)
        return false;
    if (m_reference.empty()) {
        m_reference = grid;
        m_moved = false;
        return false;
    }
    if (!m_moved)
        return false;
    // One decision per settling: an arm resting in the picture is looked at again once it has
    // moved, and a page with an arm over it is taken when the arm has left.
    m_moved = false;
    if (!isNewPage(grid, grey))
        return false;
    m_reference = grid;
    return true;
}

// A region of change that reaches the picture's edge is an arm reaching in when most of it is
// covered by something plain and darker than paper. An open book that fills the view changes up
// to the edges at every turn, but what changed is print and paper, and that is a new page.
bool PageTurnDetector::isNewPage(const cv::Mat& grid, const cv::Mat& grey) const {
    const cv::Mat changed = changeOf(grid, m_reference) > m_settings.pageLevel;
    const cv::Mat covering = coveredShare(grey, grid);
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(changed, labels, stats, centroids, 4);
    std::vector<double> coveredArea(static_cast<std::size_t>(count), 0);
    for (int y = 0; y < labels.rows; ++y)
        for (int x = 0; x < labels.cols; ++x)
            if (const int label = labels.at<int>(y, x); label > 0)
                coveredArea[static_cast<std::size_t>(label)] += covering.at<float>(y, x);
    int away = 0;
    for (int label = 1; label < count; ++label) {
        const int left = stats.at<int>(label, cv::CC_STAT_LEFT);
        const int top = stats.at<int>(label, cv::CC_STAT_TOP);
        const int right = left + stats.at<int>(label, cv::CC_STAT_WIDTH);
        const int bottom = top + stats.at<int>(label, cv::CC_STAT_HEIGHT);
        const int area = stats.at<int>(label, cv::CC_STAT_AREA);
        const bool edge = left == 0 || top == 0 || right == changed.cols || bottom == changed.rows;
        const bool covered = 2 * coveredArea[static_cast<std::size_t>(label)] >= area;
        if (edge && area >= m_settings.armCells && covered)
            return false; // the page under the arm is not clear yet
        away += area;
    }
    return away >= m_settings.pageCells;
}

} // namespace camcore
