#include "PageWatch.h"

#include "process/MatImage.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace camcore {

bool PageWatch::feed(const QImage& picture, std::uint64_t session, PageRequests requests) {
    if (session != m_session) {
        m_detector.reset();
        m_session = session;
        m_done = requests;
    }
    for (; m_done.forgotten < requests.forgotten; ++m_done.forgotten)
        m_detector.forgetLastPage();
    if (m_done.lookAgain < requests.lookAgain) {
        m_done.lookAgain = requests.lookAgain;
        m_detector.lookAgain();
    }
    const cv::Mat pixels = matView(picture);
    if (pixels.empty() || pixels.cols < kWidth)
        return false;
    cv::Mat grey = pixels;
    if (pixels.channels() == 3)
        cv::cvtColor(pixels, grey, cv::COLOR_RGB2GRAY);
    const int height = std::max(1, grey.rows * kWidth / grey.cols);
    cv::Mat small;
    cv::resize(grey, small, cv::Size(kWidth, height), 0, 0, cv::INTER_AREA);
    return m_detector.feed(small);
}

} // namespace camcore
