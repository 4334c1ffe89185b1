#pragma once

#include "process/Task.h"

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// Several pictures joined into one: the two sides of a card or a document, or the two
// cameras' pictures, one above the other or side by side.
enum class MixLayout { Stacked, SideBySide };

struct MixParams {
    MixLayout layout = MixLayout::Stacked;
};

struct MixResult {
    cv::Mat picture;                // CV_8UC3 or CV_8UC1, as the sources
    std::vector<cv::Point> origins; // where each source's top-left pixel landed
};

// The sources follow each other without a gap, each centred across the canvas, which is white
// and as wide (stacked) or as high (side by side) as the largest source.
class MixTask {
public:
    explicit MixTask(MixParams params = {}) : m_params(params) {}
    // `sources` in order, all of one type.
    MixResult run(const std::vector<cv::Mat>& sources,
                  const TaskStatus& status = TaskStatus::never()) const;

private:
    MixParams m_params;
};

} // namespace camcore
