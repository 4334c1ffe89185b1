#pragma once

#include <QRect>

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// Places in a grey picture where a Data Matrix or Aztec symbol may lie: compact dark blobs
// (modules merged by a closing) of a plausible size and shape, each widened by a margin. The
// decoder of this zxing-cpp version finds these symbols only when they sit at the centre of the
// image it is given, so each place is handed to it on its own.
std::vector<QRect> symbolCandidates(const cv::Mat& grey);

} // namespace camcore
