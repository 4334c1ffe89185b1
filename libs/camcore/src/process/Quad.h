#pragma once

#include <opencv2/core.hpp>

#include <array>

namespace camcore {

// A document's outline in a picture: its top-left, top-right, bottom-right and bottom-left
// corners, in pixel coordinates whose integers are pixel centres (OpenCV's convention). The
// corners are the outer edge of the document, not the centres of its outermost pixels.
struct Quad {
    std::array<cv::Point2d, 4> corners;

    double area() const;
    double diagonal() const; // the longer of the two diagonals
    cv::Point2d centre() const;
    // The same outline in a picture `factor` times as large: pixel centres map as
    // x * factor + (factor - 1) / 2.
    Quad scaled(double factor) const;
    Quad translated(cv::Point2d offset) const;
};

// Orders four corners of a convex outline clockwise from the corner that makes the first side
// (top-left to top-right) the one closest to pointing right: a page turned by up to 45 degrees
// keeps its own top-left corner.
Quad uprightQuad(const std::array<cv::Point2d, 4>& corners);

} // namespace camcore
