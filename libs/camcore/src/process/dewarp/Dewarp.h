#pragma once

#include "process/Task.h"
#include "process/dewarp/PageSurface.h"

#include <opencv2/core.hpp>

#include <optional>

namespace camcore {

// Flattens a page that curves like the pages of an open book: its text lines, bent and drawn
// together near the spine, come out straight and evenly spaced. A page whose lines already run
// straight, or with too few lines to tell, is left exactly as it is.
struct DewarpParams {
    int workWidth = 1000; // the page is measured about this wide (see DeskewParams)
    int minLines = 5;     // fewer text lines than this do not show the page's shape
    // Lines curving off straight by less than this share of the page's width are read as a flat
    // page: 4.5 pixels across 1000. The fit follows drawn flat pages to within 1 pixel and the
    // engine's virtual scene (12 lines of several sizes, a code and a box beside them) to 2.1;
    // the slightest curl of our corpus measures 0.51% of the width (4.2 pixels across 816). A
    // share of a letter's height would not do: a Chinese character stands twice as tall as a
    // Latin x.
    double minBend = 0.0045;
};

struct DewarpResult {
    cv::Mat page; // the input itself when it was left alone
    bool flattened = false;
};

class DewarpTask {
public:
    explicit DewarpTask(DewarpParams params = {}) : m_params(params) {}
    // `page` is CV_8UC3 (RGB) or CV_8UC1.
    DewarpResult run(const cv::Mat& page, const TaskStatus& status = TaskStatus::never()) const;

    // The two halves of run(): the page's shape in its own pixels (none for a flat page), and
    // a picture of the same size resampled flat along it.
    std::optional<PageSurface> measure(const cv::Mat& page,
                                       const TaskStatus& status = TaskStatus::never()) const;
    static cv::Mat flatten(const cv::Mat& page, const PageSurface& surface);

private:
    DewarpParams m_params;
};

} // namespace camcore
