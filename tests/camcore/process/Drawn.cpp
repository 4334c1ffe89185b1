#include "Drawn.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace drawn {

cv::Mat desk(cv::Size size) {
    cv::Mat picture(size, CV_8UC3, cv::Scalar(95, 70, 50));
    cv::Mat noise(size, CV_8UC3);
    cv::RNG(3).fill(noise, cv::RNG::UNIFORM, 0, 12);
    picture += noise;
    return picture;
}

void sheet(cv::Mat& picture, const std::array<cv::Point2d, 4>& corners, cv::Scalar colour) {
    // Eight bits of sub-pixel position.
    std::vector<cv::Point> points;
    for (const cv::Point2d& c : corners)
        points.emplace_back(cvRound(c.x * 256), cvRound(c.y * 256));
    cv::fillConvexPoly(picture, points, colour, cv::LINE_AA, 8);
}

std::array<cv::Point2d, 4> turned(cv::Point2d centre, double w, double h, double degrees) {
    const double a = degrees * CV_PI / 180;
    const double c = std::cos(a);
    const double s = std::sin(a);
    std::array<cv::Point2d, 4> corners;
    const std::array<cv::Point2d, 4> local{
        {{-w / 2, -h / 2}, {w / 2, -h / 2}, {w / 2, h / 2}, {-w / 2, h / 2}}};
    for (std::size_t i = 0; i < 4; ++i)
        corners[i] =
            centre + cv::Point2d(c * local[i].x - s * local[i].y, s * local[i].x + c * local[i].y);
    return corners;
}

void textLines(cv::Mat& picture, cv::Rect area, double degrees, int lineHeight) {
    const double slope = std::tan(degrees * CV_PI / 180);
    cv::RNG words(5);
    for (int y = area.y; y + lineHeight < area.y + area.height; y += 2 * lineHeight) {
        for (int x = area.x; x < area.x + area.width;) {
            const int length = words.uniform(lineHeight * 2, lineHeight * 6);
            const int end = std::min(x + length, area.x + area.width);
            const double top = y + (x - area.x) * slope;
            const double bottom = y + (end - area.x) * slope;
            const std::vector<cv::Point> bar{{x, cvRound(top)},
                                             {end, cvRound(bottom)},
                                             {end, cvRound(bottom) + lineHeight},
                                             {x, cvRound(top) + lineHeight}};
            cv::fillConvexPoly(picture, bar, cv::Scalar(30, 30, 35), cv::LINE_AA);
            x = end + lineHeight;
        }
    }
}

} // namespace drawn
