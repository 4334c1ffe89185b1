#pragma once

#include "process/Task.h"

#include <opencv2/core.hpp>

namespace camcore {

// Finds the spine of an open book: the line between its two pages, where the paper curves down
// into a shadow. Works on a picture of the spread (straightened or not) reduced to about
// workWidth pixels.
struct SpineParams {
    // The spine is looked for between these shares of the width. A straightened spread has it
    // near the middle; a whole frame may show the book well off centre.
    double searchFrom = 0.3;
    double searchTo = 0.7;
    int workWidth = 800;
};

struct SpineResult {
    bool found = false; // false: no shadow that could be a spine
    // Where the spine meets the top and the bottom of the picture (y = -0.5 and rows - 0.5).
    cv::Point2d top;
    cv::Point2d bottom;
};

class SpineTask {
public:
    explicit SpineTask(SpineParams params = {}) : m_params(params) {}
    // `spread` is CV_8UC3 (RGB) or CV_8UC1.
    SpineResult run(const cv::Mat& spread, const TaskStatus& status = TaskStatus::never()) const;

private:
    SpineParams m_params;
};

} // namespace camcore
