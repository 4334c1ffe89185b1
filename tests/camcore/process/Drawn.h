#pragma once

#include <opencv2/core.hpp>

#include <array>

// Small drawn pictures for the stage tests: a desk, sheets on it, lines of "words".
namespace drawn {

// A mid-brown desk with a fixed pattern of noise, RGB.
cv::Mat desk(cv::Size size);

// A sheet of `colour` with the given corners (clockwise from top-left), edges anti-aliased.
void sheet(cv::Mat& picture, const std::array<cv::Point2d, 4>& corners, cv::Scalar colour);

// Corners of a w x h sheet turned by `degrees` about `centre`.
std::array<cv::Point2d, 4> turned(cv::Point2d centre, double w, double h, double degrees);

// Lines of dark word-sized bars across `area`, sloping by `degrees`.
void textLines(cv::Mat& picture, cv::Rect area, double degrees, int lineHeight);

} // namespace drawn
