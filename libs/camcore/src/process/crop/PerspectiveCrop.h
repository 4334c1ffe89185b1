#pragma once

#include "process/Task.h"
#include "process/crop/PageGeometry.h"

#include <opencv2/core.hpp>

namespace camcore {

// Resamples a page out of the picture: cut, straightened and turned as its geometry says.
struct CropParams {
    PageGeometry geometry;
};

struct CropResult {
    cv::Mat page; // the picture's type, geometry.size
};

class CropTask {
public:
    explicit CropTask(CropParams params) : m_params(params) {}
    CropResult run(const cv::Mat& picture, const TaskStatus& status = TaskStatus::never()) const;

private:
    CropParams m_params;
};

} // namespace camcore
