#pragma once

#include "process/Task.h"
#include "process/crop/PageGeometry.h"

#include <opencv2/core.hpp>

#include <array>
#include <optional>
#include <vector>

namespace camcore {

// The processing of one capture, the stages in the order the switches ask for them: find the
// document on a reduced copy, cut and straighten it, level its text lines, split a book at its
// spine or lay out two cards, flatten a curved page, then clean the paper.
struct ChainParams {
    bool autoCrop = false; // find the document, cut it out, straighten it
    bool clean = false;    // even out the light and whiten the paper
    bool split = false;    // a book spread becomes its left and right pages
    bool dewarp = false;   // a page curving into a book's spine is resampled flat
    bool cardCopy = false; // up to two cards, cut and laid out on one page (capture mode 1)
    int detectWidth = 640; // see DetectParams::workWidth
};

struct ChainPage {
    cv::Mat picture; // the input's type
    // Where the page was taken from in the input; empty for a laid-out card copy page.
    std::optional<PageGeometry> geometry;
};

struct ChainResult {
    std::vector<ChainPage> pages; // two for a split (left, right), otherwise one
    // For a split: where the cut ran, from the top of the spread to its bottom, in the picture.
    std::optional<std::array<cv::Point2d, 2>> spine;
};

class ChainTask {
public:
    explicit ChainTask(ChainParams params) : m_params(params) {}
    // `picture` is CV_8UC3 (RGB). Never fewer pages than asked for: where no document is
    // found, the whole picture (or its half) is the page.
    ChainResult run(const cv::Mat& picture, const TaskStatus& status = TaskStatus::never()) const;

private:
    ChainResult single(const cv::Mat& picture, const TaskStatus& status) const;
    ChainResult split(const cv::Mat& picture, const TaskStatus& status) const;
    ChainResult cardCopy(const cv::Mat& picture, const TaskStatus& status) const;
    ChainPage finish(const cv::Mat& picture, const PageGeometry& geometry,
                     const TaskStatus& status) const;

    ChainParams m_params;
};

} // namespace camcore
