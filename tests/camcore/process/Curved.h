#pragma once

#include <opencv2/core.hpp>

#include <vector>

// Flat pages bent as an open book bends them, seen from straight above, and a measure of how
// straight their text lines run.
namespace curved {

struct Bend {
    double depth = 0;    // how far the page rises out of its spine, in page heights
    double reach = 0.25; // the rise is mostly done this share of the width from the spine
    bool spineRight = true;
    double eye = 1.8;   // the lens above the spine's line, in page heights
    double eyeY = 0.45; // ... and across from this share of the page's height
};

// The maps that bend a flat page of `size`, for cv::remap: the page as the camera sees it,
// the same size. The paper is rolled up into its arc length, so a bent page shows less.
struct Maps {
    cv::Mat x;
    cv::Mat y;
};
Maps bendMaps(cv::Size size, const Bend& bend);

// `picture` bent (linear interpolation, `outside` where the sheet does not reach).
cv::Mat bent(const cv::Mat& picture, const Maps& maps, cv::Scalar outside);

// A flat white page of `size` with lines of printed words, and the matching probe: white with
// each line's baseline drawn 2 pixels thick in black under its words.
struct TextPage {
    cv::Mat page;  // CV_8UC3
    cv::Mat probe; // CV_8UC1
    int lines = 0;
};
TextPage textPage(cv::Size size, double letterHeight, unsigned seed);

// The baselines of a probe followed across it from the middle: the largest distance of any of
// them from its own straight fit, in pixels, and how many were followed.
struct Straightness {
    double worst = 0;
    int lines = 0;
};
Straightness straightness(const cv::Mat& probe);

} // namespace curved
