#pragma once

#include "process/Task.h"

#include <opencv2/core.hpp>

namespace camcore {

// The sub camera's picture drawn over the main one where the floating window showed it.
struct InsetParams {
    cv::Rect area; // in the main picture's pixels; may reach past its edges
};

class InsetTask {
public:
    explicit InsetTask(InsetParams params) : m_params(params) {}
    // A copy of `main` with `sub` scaled to the area, framed by a thin black border, both
    // clipped to the picture. `sub` has main's type. With `bilevel` the scaled sub picture is
    // thresholded, so a black-and-white result stays black and white.
    cv::Mat run(const cv::Mat& main, const cv::Mat& sub, bool bilevel = false,
                const TaskStatus& status = TaskStatus::never()) const;

private:
    InsetParams m_params;
};

} // namespace camcore
