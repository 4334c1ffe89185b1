#pragma once

#include <QImage>

#include <opencv2/core.hpp>

namespace camcore {

// The stages work on cv::Mat; the engine hands pictures around as QImage. These convert at the
// boundary without copying pixels where the layouts agree.

// RGB888 becomes CV_8UC3 and Grayscale8 CV_8UC1, sharing the picture's pixels: the picture must
// stay alive and unchanged while the view is used. Other formats are converted to an RGB copy.
cv::Mat matView(const QImage& picture);

// CV_8UC3 (RGB) becomes RGB888 and CV_8UC1 Grayscale8, sharing the matrix's pixels, which the
// QImage keeps alive; a matrix that does not own its pixels (a view, as of matView) is copied.
// Null for other types.
QImage imageOf(const cv::Mat& pixels);

} // namespace camcore
