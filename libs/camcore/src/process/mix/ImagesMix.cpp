#include "process/mix/ImagesMix.h"

#include <algorithm>

namespace camcore {

MixResult MixTask::run(const std::vector<cv::Mat>& sources, const TaskStatus& status) const {
    status.throwIfCancelled();
    MixResult result;
    if (sources.empty())
        return result;
    const bool stacked = m_params.layout == MixLayout::Stacked;
    int across = 0; // the canvas's side across the direction of joining
    int along = 0;
    for (const cv::Mat& source : sources) {
        across = std::max(across, stacked ? source.cols : source.rows);
        along += stacked ? source.rows : source.cols;
    }
    result.picture = stacked ? cv::Mat(along, across, sources.front().type(), cv::Scalar::all(255))
                             : cv::Mat(across, along, sources.front().type(), cv::Scalar::all(255));
    int offset = 0;
    for (const cv::Mat& source : sources) {
        const cv::Point origin = stacked ? cv::Point((across - source.cols) / 2, offset)
                                         : cv::Point(offset, (across - source.rows) / 2);
        source.copyTo(result.picture(cv::Rect(origin, source.size())));
        result.origins.push_back(origin);
        offset += stacked ? source.rows : source.cols;
    }
    return result;
}

} // namespace camcore
