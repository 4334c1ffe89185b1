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
// of a page at about 85 % of its middle, skin under it is at 65 to 75 %.
constexpr double kPaperShare = 0.8;
// The most the light changes by between two pictures of the same scene: a lamp flickers by a
// tenth, a camera's exposure settles within a third.
constexpr float kLightChange = 1.5F;

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
    // More than that is not the lamp but the scene: a page laid on the empty desk, or taken away.
    if (gain > kLightChange || gain < 1 / kLightChange)
        gain = 1.0F;
    cv::Mat change;
    cv::absdiff(a, b * gain, change);
    return change;
}

int cellsAbove(const cv::Mat& change, double level) {
    return cv::countNonZero(change > level);
}

// Which cells are plain, and which are covered by something lying over the page rather than the
// page: plain pixels (print on paper spreads the grey levels of its 3 x 3 neighbourhood by tens,
// skin, a sleeve or the desk stays within the sensor's noise) that are darker than paper under
// this lamp. Paper is the brightest thing in view; its level is taken high among the cells, so
// print or the desk around a page do not lower it. A cell is either when most of its pixels are.
struct Cover {
    cv::Mat plain;
    cv::Mat covered;
};

Cover coverOf(const cv::Mat& grey, const cv::Mat& grid) {
    std::vector<float> levels(grid.begin<float>(), grid.end<float>());
    auto high = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() * 97 / 100);
    std::nth_element(levels.begin(), high, levels.end());
    const double paper = *high;

    cv::Mat values;
    grey.convertTo(values, CV_32F);
    cv::Mat mean;
    cv::Mat meanOfSquares;
    cv::blur(values, mean, cv::Size(3, 3));
    cv::blur(values.mul(values), meanOfSquares, cv::Size(3, 3));
    const cv::Mat variance = meanOfSquares - mean.mul(mean);
    const cv::Mat plain = variance < kPlainSpread * kPlainSpread;
    const auto mostly = [](const cv::Mat& pixels) {
        cv::Mat share;
        pixels.convertTo(share, CV_32F, 1.0 / 255);
        cv::resize(share, share, cv::Size(kGridWidth, kGridHeight), 0, 0, cv::INTER_AREA);
        return cv::Mat(share >= 0.5F);
    };
    return {mostly(plain), mostly(plain & (mean < paper * kPaperShare))};
}

} // namespace

PageTurnDetector::PageTurnDetector(PageTurnSettings settings) : m_settings(settings) {}

void PageTurnDetector::forgetLastPage() {
    if (!m_taken.empty())
        m_taken.pop_back();
}

void PageTurnDetector::reset() {
    m_previous.release();
    m_reference.release();
    m_referencePlain.release();
    m_stillFrames = 0;
    m_moved = true;
    m_bestSharpness = 0;
    m_taken.clear();
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
    if (++m_stillFrames < m_settings.settleFrames || !m_moved)
        return false;
    // One decision per settling: an arm resting in the picture is looked at again once it has
    // moved, and a page with an arm over it is taken when the arm has left.
    m_moved = false;
    return isNewPage(grid, grey);
}

// The settled picture is compared with every page taken, not only the last: a page shown again
// after a leaf was turned back, or after a hand over it was mistaken for a change, is not taken
// twice. The signatures are compared only here, once per settling.
bool PageTurnDetector::isNewPage(const cv::Mat& grid, const cv::Mat& grey) {
    Cover cover = coverOf(grey, grid);
    if (!m_reference.empty() && armIn(grid, cover.covered))
        return false; // the page under the arm is not clear yet
    m_reference = grid;
    m_referencePlain = std::move(cover.plain);
    PageSignature signature = PageSignature::of(grey);
    if (!signature.hasPrint())
        return false;
    if (std::any_of(m_taken.begin(), m_taken.end(),
                    [&signature](const PageSignature& taken) { return signature.sameAs(taken); }))
        return false;
    m_taken.push_back(std::move(signature));
    return true;
}

// Cells covered by something plain and darker than paper that were print at the last decision or
// changed since, joined to the picture's edge: an arm reaching in. Over a page of dense print a
// hand's grey hardly differs from the page's mean, but the print was not plain; over the desk the
// arm is plain as the desk was, but much brighter. An open book that fills the view
// changes up to the edges at every turn, but what changed is print and paper; a sheet slid along
// the desk uncovers desk, but away from the edge.
bool PageTurnDetector::armIn(const cv::Mat& grid, const cv::Mat& covered) const {
    const cv::Mat changed = changeOf(grid, m_reference) > m_settings.pageLevel;
    const cv::Mat arm = covered & (changed | ~m_referencePlain);
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    const int count = cv::connectedComponentsWithStats(arm, labels, stats, centroids, 8);
    for (int label = 1; label < count; ++label) {
        const int left = stats.at<int>(label, cv::CC_STAT_LEFT);
        const int top = stats.at<int>(label, cv::CC_STAT_TOP);
        const int right = left + stats.at<int>(label, cv::CC_STAT_WIDTH);
        const int bottom = top + stats.at<int>(label, cv::CC_STAT_HEIGHT);
        const bool edge = left == 0 || top == 0 || right == arm.cols || bottom == arm.rows;
        if (edge && stats.at<int>(label, cv::CC_STAT_AREA) >= m_settings.armCells)
            return true;
    }
    return false;
}

} // namespace camcore
