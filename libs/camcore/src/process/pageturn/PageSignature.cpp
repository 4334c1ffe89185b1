#include "PageSignature.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace camcore {
namespace {

// Paper is the brightest thing around a pixel within 3 pixels: a line of text at the 160-pixel
// copy is 1 to 2 pixels thick, its neighbours 3 to 5 apart.
constexpr int kPaperAround = 7;
// Around a pixel, no paper brighter than this share of the picture's paper: the desk, a hand, a
// cover. Darkness there is not print.
constexpr double kPaperShare = 0.6;
// Darkness (of 255) from which a cell is print: a printed line at the copy's scale is 0.3 to
// 0.65 darker than its paper, a desk's grain under 0.25.
constexpr int kInkLevel = 77;
// Darkness by which a cell of one page must exceed the darkest of the other's cells around it
// to be print the other does not have. Noise is 2 to 3 levels of 255, a blurred line still 0.25.
constexpr int kMissingLevel = 38;
// How far a page may have been moved, in pixels of the copy.
constexpr int kShiftX = 32;
constexpr int kShiftY = 24;
// Of the cells that are print, how many may differ for the same page: a slide leaves a few at
// the edges of the picture, a refocused camera a few along the lines. In the scripted books the
// same spread differs in 0 cells after a hand, a flip or a slide, and two spreads of plain prose
// in 43 or more of about 1,400 print cells: the line lies at a 60th, 23 of those.
constexpr int kSameShare = 60;
constexpr int kSameCells = 12;

std::vector<float> profileOf(const cv::Mat& grey, int dimension) {
    cv::Mat profile;
    cv::reduce(grey, profile, dimension, cv::REDUCE_AVG, CV_32F);
    const double mean = std::max(cv::mean(profile)[0], 1.0);
    profile /= mean;
    return {profile.begin<float>(), profile.end<float>()};
}

// The shift s by which `a` is `b` moved along: a[i] = b[i - s], the best of |s| <= `reach`.
int shiftOf(const std::vector<float>& a, const std::vector<float>& b, int reach) {
    const int n = static_cast<int>(std::min(a.size(), b.size()));
    int best = 0;
    double bestCost = std::numeric_limits<double>::max();
    // Nearer shifts first, so that a tie keeps the nearer: a page on a plain desk matches
    // itself nearly anywhere along it.
    for (int step = 0; step <= 2 * reach; ++step) {
        const int s = step % 2 == 0 ? step / 2 : -(step + 1) / 2;
        double cost = 0;
        int count = 0;
        for (int i = std::max(0, s); i < std::min(n, n + s); ++i, ++count)
            cost += std::abs(a[static_cast<std::size_t>(i)] - b[static_cast<std::size_t>(i - s)]);
        if (count > 0 && cost / count < bestCost - 1e-4) {
            bestCost = cost / count;
            best = s;
        }
    }
    return best;
}

// Cells where `a` has print that `b` lacks everywhere within a cell of it (`bSpread`: the
// darkest of `b` around each cell), with `b` moved by (dx, dy) cells onto `a`.
int missingIn(const cv::Mat& a, const cv::Mat& bSpread, int dx, int dy) {
    const int x0 = std::max(0, dx);
    const int y0 = std::max(0, dy);
    const int x1 = std::min(a.cols, a.cols + dx);
    const int y1 = std::min(a.rows, a.rows + dy);
    if (x1 <= x0 || y1 <= y0)
        return std::numeric_limits<int>::max() / 4;
    int missing = 0;
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* inA = a.ptr<std::uint8_t>(y);
        const std::uint8_t* inB = bSpread.ptr<std::uint8_t>(y - dy) - dx;
        for (int x = x0; x < x1; ++x)
            missing += inA[x] > inB[x] + kMissingLevel ? 1 : 0;
    }
    return missing;
}

} // namespace

PageSignature PageSignature::of(const cv::Mat& grey) {
    PageSignature signature;
    cv::Mat paper;
    cv::dilate(grey, paper,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(kPaperAround, kPaperAround)));
    // The picture's paper: bright among the places around pixels, so that print and a desk
    // around the page do not lower it.
    cv::Mat histogram;
    const int channels[] = {0};
    const int bins[] = {256};
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::calcHist(&paper, 1, channels, cv::Mat(), histogram, 1, bins, ranges);
    const double high = 0.95 * static_cast<double>(paper.total());
    double below = 0;
    int level = 0;
    while (level < 255 && (below += histogram.at<float>(level)) < high)
        ++level;

    cv::Mat paperF;
    cv::Mat greyF;
    paper.convertTo(paperF, CV_32F);
    grey.convertTo(greyF, CV_32F);
    cv::Mat darkness = (paperF - greyF) / cv::max(paperF, 1.0F) * 255.0F;
    darkness.setTo(0, paper < std::max(1.0, kPaperShare * level));
    cv::resize(darkness, darkness, cv::Size(std::max(1, grey.cols / 2), grey.rows), 0, 0,
               cv::INTER_AREA);
    darkness.convertTo(signature.m_darkness, CV_8U);
    cv::dilate(signature.m_darkness, signature.m_spread,
               cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    signature.m_inkCells = cv::countNonZero(signature.m_darkness >= kInkLevel);
    signature.m_columns = profileOf(grey, 0);
    signature.m_rows = profileOf(grey, 1);
    return signature;
}

// At the same place first, as a book lies when its spreads are compared; then, when the grey
// profiles across and down the picture say the page has been moved by more than the cell the
// comparison allows, there. `enough` ends the search at a difference that small.
int PageSignature::difference(const PageSignature& other, int enough) const {
    if (m_darkness.size() != other.m_darkness.size())
        return std::numeric_limits<int>::max() / 2;
    const auto at = [&](int cx, int cy) {
        return missingIn(m_darkness, other.m_spread, cx, cy) +
               missingIn(other.m_darkness, m_spread, -cx, -cy);
    };
    int fewest = at(0, 0);
    if (fewest <= enough)
        return fewest;
    const int dx = shiftOf(m_columns, other.m_columns, kShiftX);
    const int dy = shiftOf(m_rows, other.m_rows, kShiftY);
    if (std::abs(dx) <= 2 && std::abs(dy) <= 1)
        return fewest; // within a cell: the spread of each page allowed for it
    // The darkness has half the columns of the picture: an odd shift lies between two.
    for (const int cx : {dx / 2, (dx + (dx > 0 ? 1 : -1)) / 2})
        fewest = std::min(fewest, at(cx, dy));
    return fewest;
}

int PageSignature::differenceFrom(const PageSignature& other) const {
    return difference(other, 0);
}

bool PageSignature::sameAs(const PageSignature& other) const {
    const int print = std::min(m_inkCells, other.m_inkCells);
    const int allowed = std::max(kSameCells, print / kSameShare);
    return difference(other, allowed) <= allowed;
}

} // namespace camcore
