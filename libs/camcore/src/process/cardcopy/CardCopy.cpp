#include "process/cardcopy/CardCopy.h"

#include <algorithm>
#include <cmath>

namespace camcore {

CardCopyResult CardCopyTask::run(const std::vector<cv::Mat>& cards,
                                 const TaskStatus& status) const {
    status.throwIfCancelled();
    CardCopyResult result;
    if (cards.empty())
        return result;
    int widest = 0;
    int stacked = 0;
    for (const cv::Mat& card : cards) {
        widest = std::max(widest, card.cols);
        stacked += card.rows;
    }
    const int gap = std::max(1, widest / 8);
    stacked += gap * static_cast<int>(cards.size() - 1);
    int width = static_cast<int>(std::lround(widest / m_params.cardShare));
    int height = static_cast<int>(std::lround(width * 297.0 / 210.0));
    // Documents too tall for the page get a page tall enough, with the same margin below and
    // above as at the sides.
    const int margin = (width - widest) / 2;
    height = std::max(height, stacked + 2 * margin);
    width = std::max(width, widest);

    result.page = cv::Mat(height, width, cards.front().type(), cv::Scalar::all(255));
    int y = (height - stacked) / 2;
    for (const cv::Mat& card : cards) {
        const cv::Point origin((width - card.cols) / 2, y);
        card.copyTo(result.page(cv::Rect(origin, card.size())));
        result.cardOrigins.push_back(origin);
        y += card.rows + gap;
    }
    return result;
}

} // namespace camcore
