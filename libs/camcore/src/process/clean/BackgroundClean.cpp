#include "process/clean/BackgroundClean.h"

#include "process/Reduce.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace camcore {

namespace {

// Text is taken away on a copy about 600 pixels wide, where the strokes of body text are one or
// two pixels; the light is estimated on cells of a grid about 150 across (18 pixels of an 8 MP
// page each), fine enough to follow the shadow of a book's spine, which fades over 2 to 8% of a
// page in our corpus.
constexpr int kWorkWidth = 600;
constexpr int kCoarseWidth = 150;

// The paper with the print taken away: the brightest pixel in a window a little wider than the
// heaviest stroke (0.6% of the page, 16 pixels of an 8 MP capture).
cv::Mat withoutPrint(const cv::Mat& work) {
    const int radius = std::max(2, static_cast<int>(std::lround(work.cols * 0.006)));
    const cv::Mat window =
        cv::getStructuringElement(cv::MORPH_RECT, {2 * radius + 1, 2 * radius + 1});
    cv::Mat paper;
    cv::dilate(work, paper, window, {-1, -1}, 1, cv::BORDER_REPLICATE);
    return paper;
}

cv::Mat luminance(const cv::Mat& cells) {
    if (cells.channels() == 1)
        return cells.clone();
    cv::Mat lum;
    cv::transform(cells, lum, cv::Matx13f(0.299F, 0.587F, 0.114F));
    return lum;
}

// Cells of paper: each no darker than 85% of its brightest neighbour (the light changes more
// gently than that from cell to cell, the edge of a photo or a dark box does not), of the
// paper's tint, and joined through such cells to the brightest paper of the page. A dark box
// is thus left out whole, its inside as well as its rim.
cv::Mat paperCells(const cv::Mat& cells) {
    const cv::Mat lum = luminance(cells);
    cv::Mat brightest;
    cv::dilate(lum, brightest, cv::Mat::ones(3, 3, CV_8U), {-1, -1}, 1, cv::BORDER_REPLICATE);
    cv::Mat paper = lum >= brightest * 0.85;

    double lowest = 0;
    double highest = 0;
    cv::minMaxLoc(lum, &lowest, &highest);
    if (cells.channels() == 3) {
        // The paper's tint: the median colour relative to brightness of the brightest cells.
        // Highlighter, stamps and a pale card differ from it by 0.15 or more, paper under a
        // lamp by less than 0.05.
        std::vector<cv::Mat> channels;
        cv::split(cells, channels);
        std::vector<cv::Mat> tints;
        cv::Scalar paperTint;
        const cv::Mat bright = lum >= 0.8 * highest;
        for (int c = 0; c < 3; ++c) {
            cv::Mat tint;
            cv::divide(channels[static_cast<std::size_t>(c)], cv::max(lum, 1.0F), tint);
            std::vector<float> values;
            for (int y = 0; y < tint.rows; ++y)
                for (int x = 0; x < tint.cols; ++x)
                    if (bright.at<uchar>(y, x) != 0)
                        values.push_back(tint.at<float>(y, x));
            std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2),
                             values.end());
            paperTint[c] = values[values.size() / 2];
            tints.push_back(tint);
        }
        for (int c = 0; c < 3; ++c)
            paper &= cv::abs(tints[static_cast<std::size_t>(c)] - paperTint[c]) < 0.08;
    }

    cv::Mat labels;
    const int count = cv::connectedComponents(paper, labels, 8, CV_32S);
    std::vector<bool> seeded(static_cast<std::size_t>(count), false);
    for (int y = 0; y < labels.rows; ++y)
        for (int x = 0; x < labels.cols; ++x)
            if (lum.at<float>(y, x) >= 0.8 * highest)
                seeded[static_cast<std::size_t>(labels.at<int>(y, x))] = true;
    seeded[0] = false; // label 0 is everything that is not paper
    cv::Mat joined(paper.size(), CV_8U);
    for (int y = 0; y < labels.rows; ++y)
        for (int x = 0; x < labels.cols; ++x)
            joined.at<uchar>(y, x) = seeded[static_cast<std::size_t>(labels.at<int>(y, x))] ? 1 : 0;
    return joined;
}

// The light over every cell: the paper's brightness, smoothed, and carried over the cells that
// are not paper from the paper around them (normalised convolution, widening until every cell
// has paper within reach).
cv::Mat lightEverywhere(const cv::Mat& cells, const cv::Mat& paper) {
    cv::Mat weight;
    paper.convertTo(weight, CV_32F);
    std::vector<cv::Mat> weights(static_cast<std::size_t>(cells.channels()), weight);
    cv::Mat weight3;
    cv::merge(weights, weight3);
    const cv::Mat values = cells.mul(weight3);

    cv::Mat light(cells.size(), cells.type(), cv::Scalar::all(0));
    cv::Mat done(cells.size(), CV_8U, cv::Scalar(0));
    for (const double sigma : {1.0, 3.0, 9.0, 27.0}) {
        cv::Mat v;
        cv::Mat w;
        cv::GaussianBlur(values, v, {0, 0}, sigma, sigma, cv::BORDER_REPLICATE);
        cv::GaussianBlur(weight3, w, {0, 0}, sigma, sigma, cv::BORDER_REPLICATE);
        cv::Mat estimate;
        cv::divide(v, cv::max(w, 1e-6), estimate);
        std::vector<cv::Mat> planes;
        cv::split(w, planes);
        const cv::Mat reached = (planes[0] > 0.05) & (done == 0);
        estimate.copyTo(light, reached);
        done |= reached;
    }
    if (static_cast<std::size_t>(cv::countNonZero(done)) < done.total()) {
        // No paper anywhere near: the mean of all paper, or of everything when there is none.
        const cv::Scalar mean =
            cv::countNonZero(paper) > 0 ? cv::mean(cells, paper) : cv::mean(cells);
        light.setTo(mean, done == 0);
    }
    return light;
}

} // namespace

CleanResult CleanTask::run(const cv::Mat& page, const TaskStatus& status) const {
    CleanResult result;
    if (page.empty())
        return result;
    double factor = 1;
    const cv::Mat work = reduceToWidth(page, kWorkWidth, factor);
    status.throwIfCancelled();
    cv::Mat coarse = reduceToWidth(withoutPrint(work), kCoarseWidth, factor);
    coarse.convertTo(coarse, CV_32F);
    const cv::Mat light = lightEverywhere(coarse, paperCells(coarse));
    status.throwIfCancelled();

    cv::Mat light8;
    light.convertTo(light8, CV_8U);
    light8 = cv::max(light8, cv::Scalar::all(16)); // never divide by (nearly) nothing
    cv::Mat full;
    cv::resize(light8, full, page.size(), 0, 0, cv::INTER_LINEAR);
    status.throwIfCancelled();
    cv::divide(page, full, result.page, 255.0 / m_params.whitePoint);
    cv::Mat stretch(1, 256, CV_8U);
    const double black = 255 * m_params.blackPoint;
    for (int v = 0; v < 256; ++v)
        stretch.at<uchar>(v) = cv::saturate_cast<uchar>((v - black) * 255 / (255 - black));
    cv::LUT(result.page, stretch, result.page);
    return result;
}

} // namespace camcore
