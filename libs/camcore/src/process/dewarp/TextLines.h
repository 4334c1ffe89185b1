#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// The text lines of a reduced page, each traced across the page by the middle of its ink, for
// fitting the shape of the paper they lie on.
struct TextLines {
    // One trace per line, points (x, y) in the page's pixels, x ascending.
    std::vector<std::vector<cv::Point2f>> traces;
    double textHeight = 0; // the usual height of a letter, pixels
};

// `grey` is CV_8UC1, about 1000 pixels wide. Blocks of ink that do not read as one line of
// letters (pictures, two lines run together, a rule) are left out.
TextLines findTextLines(const cv::Mat& grey);

} // namespace camcore
