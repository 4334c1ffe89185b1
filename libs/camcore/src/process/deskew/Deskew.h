#pragma once

#include "process/Task.h"

#include <opencv2/core.hpp>

namespace camcore {

// Measures how far the text lines of a page slope, so the page can be turned straight.
struct DeskewParams {
    double maxAngle = 5; // degrees either way; a page cut at its edges is rarely off by more
    // The page is looked at about this wide. Text lines of an 8 MP capture are then 8 to 15
    // pixels high, and a slope of 0.1 degrees moves a line end by 1.7 pixels.
    int workWidth = 1000;
};

struct DeskewResult {
    bool found = false; // false: too little text to tell, leave the page as it is
    double angle = 0;   // degrees the lines descend to the right; turn by -angle to straighten
};

class DeskewTask {
public:
    explicit DeskewTask(DeskewParams params = {}) : m_params(params) {}
    // `page` is CV_8UC3 (RGB) or CV_8UC1.
    DeskewResult run(const cv::Mat& page, const TaskStatus& status = TaskStatus::never()) const;

private:
    DeskewParams m_params;
};

} // namespace camcore
