#pragma once

#include <opencv2/core.hpp>

namespace camcore {

// `picture` reduced to about `width` pixels across (never enlarged), for the stages that look at
// a picture before working on it at full size; `scale` receives how many of the picture's
// pixels one reduced pixel spans. A point maps back as x * scale + (scale - 1) / 2.
cv::Mat reduceToWidth(const cv::Mat& picture, int width, double& scale);
// `picture` in grey: itself when it is grey already, otherwise converted from RGB.
cv::Mat greyOf(const cv::Mat& picture);

} // namespace camcore
