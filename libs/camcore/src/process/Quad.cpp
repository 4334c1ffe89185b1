#include "process/Quad.h"

#include <algorithm>
#include <cmath>

namespace camcore {

double Quad::area() const {
    double twice = 0;
    for (std::size_t i = 0; i < 4; ++i)
        twice += corners[i].cross(corners[(i + 1) % 4]);
    return std::abs(twice) / 2;
}

double Quad::diagonal() const {
    return std::max(cv::norm(corners[2] - corners[0]), cv::norm(corners[3] - corners[1]));
}

cv::Point2d Quad::centre() const {
    return (corners[0] + corners[1] + corners[2] + corners[3]) * 0.25;
}

Quad Quad::scaled(double factor) const {
    Quad result;
    const double shift = (factor - 1) / 2;
    for (std::size_t i = 0; i < 4; ++i)
        result.corners[i] = corners[i] * factor + cv::Point2d(shift, shift);
    return result;
}

Quad Quad::translated(cv::Point2d offset) const {
    Quad result = *this;
    for (cv::Point2d& corner : result.corners)
        corner += offset;
    return result;
}

Quad uprightQuad(const std::array<cv::Point2d, 4>& corners) {
    // Clockwise on screen (y down) means a positive turn from one corner to the next.
    const cv::Point2d c = (corners[0] + corners[1] + corners[2] + corners[3]) * 0.25;
    std::array<cv::Point2d, 4> sorted = corners;
    std::sort(sorted.begin(), sorted.end(), [c](cv::Point2d a, cv::Point2d b) {
        return std::atan2(a.y - c.y, a.x - c.x) < std::atan2(b.y - c.y, b.x - c.x);
    });
    std::size_t first = 0;
    double best = -2;
    for (std::size_t i = 0; i < 4; ++i) {
        const cv::Point2d side = sorted[(i + 1) % 4] - sorted[i];
        const double rightness = side.x / std::max(cv::norm(side), 1e-9);
        if (rightness > best) {
            best = rightness;
            first = i;
        }
    }
    Quad quad;
    for (std::size_t i = 0; i < 4; ++i)
        quad.corners[i] = sorted[(first + i) % 4];
    return quad;
}

} // namespace camcore
