#pragma once

#include "process/Task.h"

#include <opencv2/core.hpp>

namespace camcore {

// Evens out the light on a page and turns its paper white, keeping text, stamps, photos and
// colour marks. The light is estimated from the paper alone and carried smoothly across
// whatever lies on it, so nothing dark gets a bright or dark rim.
struct CleanParams {
    // Paper at this share of its estimated brightness or above becomes pure white: sensor noise
    // (+-5 levels) and paper grain stay well inside the 10% it allows.
    double whitePoint = 0.90;
    // Then the tones below white are stretched so that this share of white becomes black. Thin
    // print is light grey where the lens blurs it (60% of the paper's brightness on our corpus
    // pages); dividing by the light makes it lighter still, and 0.15 left a tenth of the pages
    // with less contrast than before; 0.25 leaves none.
    double blackPoint = 0.25;
};

struct CleanResult {
    cv::Mat page; // same type and size as the input
};

class CleanTask {
public:
    explicit CleanTask(CleanParams params = {}) : m_params(params) {}
    // `page` is CV_8UC3 (RGB) or CV_8UC1.
    CleanResult run(const cv::Mat& page, const TaskStatus& status = TaskStatus::never()) const;

private:
    CleanParams m_params;
};

} // namespace camcore
