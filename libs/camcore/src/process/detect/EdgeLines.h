#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

namespace camcore {

// A straight edge in a picture with the side its brighter half lies on, and where along its
// length edge pixels support it.
struct EdgeLine {
    cv::Point2d normal; // unit length, pointing from the darker side to the brighter one
    double offset = 0;  // normal.dot(p) == offset for the points p of the line
    // support[i] is above 0 where an edge pixel of this polarity lies on the line at the
    // position tMin + i (1-pixel steps along direction()): the square root of its contrast
    // (1 at full contrast), so a faint edge counts but a strong one counts more. prefix holds
    // its running sums, covered those of the bins with any support.
    double tMin = 0;
    std::vector<float> support;
    std::vector<double> prefix;
    std::vector<int> covered;
    std::vector<cv::Point2f> points; // the edge pixels that make the line
    std::vector<float> weights;      // and their contrast, 0..1

    // Support of the longest stretch with no gap over 2 pixels: long for a sheet's edge, short
    // for a line of print, which breaks between words.
    double unbroken = 0;

    double strength() const { return prefix.empty() ? 0 : prefix.back(); }

    cv::Point2d direction() const { return {-normal.y, normal.x}; }
    double position(cv::Point2d p) const { return p.dot(direction()); }
    double distance(cv::Point2d p) const { return normal.dot(p) - offset; }
    // Support between two positions along the line, either order, and the pixels with any.
    double supportBetween(double t1, double t2) const;
    int coverageBetween(double t1, double t2) const;
    // The longest stretch without support between two positions that touches neither end.
    int longestInnerGap(double t1, double t2) const;
};

struct EdgeLineParams {
    double blurSigma = 1.0;
    // Edges at least this strong, on the L2 norm of 3x3 Sobel derivatives, which answer a
    // blurred step of D grey levels with about 3.2 D: a step of 4 levels. Noise of an 8 MP frame
    // reduced five times is below 1 after the blur; a sheet on a white desk differs from it by
    // 10 to 20 levels.
    double lowThreshold = 12;
    int maxLines = 40;
    int perDirection = 8; // lines whose normals lie within 12 degrees of each other
    int minLength = 24;   // pixels of support
};

// The strongest straight edges of an RGB (or grey) picture, strongest first (by support).
// Edges are found on
// whichever colour channel changes most, so a sheet on a desk of the same brightness but
// another colour still has edges.
// `edges`, when given, receives the direction of every edge pixel, faint ones included, in
// whole degrees (CV_16S, -1 where there is none).
std::vector<EdgeLine> findEdgeLines(const cv::Mat& picture, const EdgeLineParams& params,
                                    cv::Mat* edges = nullptr);

// Where two lines cross; false when they are nearly parallel.
bool intersect(const EdgeLine& a, const EdgeLine& b, cv::Point2d& point);

} // namespace camcore
