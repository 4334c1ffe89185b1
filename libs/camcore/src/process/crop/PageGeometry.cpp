#include "process/crop/PageGeometry.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace camcore {

PageGeometry PageGeometry::scaled(double factor) const {
    // Pixel centres: x' = x * factor + (factor - 1) / 2 keeps the outer edges in place.
    const double shift = (factor - 1) / 2;
    const cv::Matx33d scale(factor, 0, shift, 0, factor, shift, 0, 0, 1);
    PageGeometry result;
    result.toPage = scale * toPage;
    result.size = cv::Size(std::max(1, static_cast<int>(std::lround(size.width * factor))),
                           std::max(1, static_cast<int>(std::lround(size.height * factor))));
    return result;
}

PageGeometry PageGeometry::rotated(double degrees) const {
    const double radians = degrees * CV_PI / 180;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double cx = (size.width - 1) / 2.0;
    const double cy = (size.height - 1) / 2.0;
    // Turning clockwise on screen (y points down) is the usual rotation matrix.
    const cv::Matx33d turn(c, -s, cx - c * cx + s * cy, s, c, cy - s * cx - c * cy, 0, 0, 1);
    PageGeometry result;
    result.toPage = turn * toPage;
    result.size = size;
    return result;
}

cv::Point2d PageGeometry::toPicture(cv::Point2d pagePoint) const {
    const cv::Vec3d p = toPage.inv() * cv::Vec3d(pagePoint.x, pagePoint.y, 1);
    return {p[0] / p[2], p[1] / p[2]};
}

PageGeometry wholePicture(cv::Size size) {
    PageGeometry geometry;
    geometry.size = size;
    return geometry;
}

PageGeometry pictureArea(cv::Rect area) {
    PageGeometry geometry;
    geometry.toPage = cv::Matx33d(1, 0, -area.x, 0, 1, -area.y, 0, 0, 1);
    geometry.size = area.size();
    return geometry;
}

PageGeometry straightened(const Quad& quad) {
    const auto& c = quad.corners;
    const double width = std::max(cv::norm(c[1] - c[0]), cv::norm(c[2] - c[3]));
    const double height = std::max(cv::norm(c[3] - c[0]), cv::norm(c[2] - c[1]));
    PageGeometry geometry;
    geometry.size = cv::Size(std::max(1, static_cast<int>(std::lround(width))),
                             std::max(1, static_cast<int>(std::lround(height))));
    const float w = static_cast<float>(geometry.size.width);
    const float h = static_cast<float>(geometry.size.height);
    // The corners are the sheet's outer edge: they go to the outer edge of the page's pixels.
    const cv::Point2f from[4] = {c[0], c[1], c[2], c[3]};
    const cv::Point2f to[4] = {
        {-0.5F, -0.5F}, {w - 0.5F, -0.5F}, {w - 0.5F, h - 0.5F}, {-0.5F, h - 0.5F}};
    geometry.toPage = cv::Matx33d(cv::getPerspectiveTransform(from, to));
    return geometry;
}

} // namespace camcore
