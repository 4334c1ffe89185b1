#include "process/dewarp/Dewarp.h"

#include "process/Reduce.h"
#include "process/dewarp/TextLines.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <vector>

namespace camcore {

namespace {

// The picture is resampled in bands of rows, so the coordinate maps stay small (2 x 1 MB for an
// 8 MP page instead of 2 x 32 MB) and warm in the cache.
constexpr int kBandRows = 128;

} // namespace

std::optional<PageSurface> DewarpTask::measure(const cv::Mat& page,
                                               const TaskStatus& status) const {
    if (page.empty())
        return std::nullopt;
    double factor = 1;
    const cv::Mat grey = greyOf(reduceToWidth(page, m_params.workWidth, factor));
    const TextLines lines = findTextLines(grey);
    status.throwIfCancelled();
    if (static_cast<int>(lines.traces.size()) < m_params.minLines)
        return std::nullopt;
    const std::optional<PageSurface> surface = fitSurface(lines.traces, grey.cols);
    if (!surface || surface->bend < m_params.minBend * grey.cols)
        return std::nullopt;
    return surface->enlarged(factor);
}

cv::Mat DewarpTask::flatten(const cv::Mat& page, const PageSurface& surface) {
    // Row y of column x comes from shift(x) + stretch(x) * y: two numbers per column.
    std::vector<float> shift(static_cast<std::size_t>(page.cols));
    std::vector<float> stretch(static_cast<std::size_t>(page.cols));
    for (int x = 0; x < page.cols; ++x) {
        const double at0 = surface.sourceY(x, 0);
        shift[static_cast<std::size_t>(x)] = static_cast<float>(at0);
        stretch[static_cast<std::size_t>(x)] = static_cast<float>(surface.sourceY(x, 1) - at0);
    }
    cv::Mat flat(page.size(), page.type());
    cv::Mat mapX(kBandRows, page.cols, CV_32F);
    cv::Mat mapY(kBandRows, page.cols, CV_32F);
    for (int x = 0; x < page.cols; ++x)
        for (int r = 0; r < kBandRows; ++r)
            mapX.at<float>(r, x) = static_cast<float>(x);
    for (int y0 = 0; y0 < page.rows; y0 += kBandRows) {
        const int rows = std::min(kBandRows, page.rows - y0);
        for (int r = 0; r < rows; ++r) {
            float* out = mapY.ptr<float>(r);
            const auto y = static_cast<float>(y0 + r);
            for (int x = 0; x < page.cols; ++x)
                out[x] =
                    shift[static_cast<std::size_t>(x)] + stretch[static_cast<std::size_t>(x)] * y;
        }
        cv::Mat band = flat.rowRange(y0, y0 + rows);
        // Beyond the picture's edge the paper at the edge goes on.
        cv::remap(page, band, mapX.rowRange(0, rows), mapY.rowRange(0, rows), cv::INTER_LINEAR,
                  cv::BORDER_REPLICATE);
    }
    return flat;
}

DewarpResult DewarpTask::run(const cv::Mat& page, const TaskStatus& status) const {
    DewarpResult result;
    result.page = page;
    if (const std::optional<PageSurface> surface = measure(page, status)) {
        result.page = flatten(page, *surface);
        result.flattened = true;
    }
    return result;
}

} // namespace camcore
