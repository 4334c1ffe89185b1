#include "process/mix/Inset.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace camcore {

cv::Mat InsetTask::run(const cv::Mat& main, const cv::Mat& sub, bool bilevel,
                       const TaskStatus& status) const {
    status.throwIfCancelled();
    cv::Mat result = main.clone();
    const cv::Rect area = m_params.area;
    const cv::Rect visible = area & cv::Rect(0, 0, main.cols, main.rows);
    if (area.empty() || sub.empty() || visible.empty())
        return result;
    cv::Mat scaled;
    cv::resize(sub, scaled, area.size(), 0, 0,
               area.width < sub.cols ? cv::INTER_AREA : cv::INTER_LINEAR);
    if (bilevel)
        cv::threshold(scaled, scaled, 127, 255, cv::THRESH_BINARY);
    status.throwIfCancelled();
    scaled(visible - area.tl()).copyTo(result(visible));
    // About 1% of the inset's shorter side: 2 px on the 272 x 200 inset of a 1920-pixel picture.
    const int border = std::max(1, std::min(area.width, area.height) / 100);
    for (int ring = 0; ring < border; ++ring) // inside the area, so the frame covers no more
        cv::rectangle(
            result,
            cv::Rect(area.x + ring, area.y + ring, area.width - 2 * ring, area.height - 2 * ring),
            cv::Scalar::all(0));
    return result;
}

} // namespace camcore
