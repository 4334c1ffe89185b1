#pragma once

#include "process/Task.h"

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// An ID-card copy page: two cards (front and back) one above the other, centred on a white
// page of A4 proportions, at the resolution they were captured in.
struct CardCopyParams {
    // The cards take this share of the page's width, as an 85.6 mm card on a 210 mm sheet does
    // (41%); a larger document than a card is given the same margin in proportion.
    double cardShare = 0.41;
};

struct CardCopyResult {
    cv::Mat page;                       // CV_8UC3 or CV_8UC1, as the cards
    std::vector<cv::Point> cardOrigins; // where each card's top-left pixel landed
};

class CardCopyTask {
public:
    explicit CardCopyTask(CardCopyParams params = {}) : m_params(params) {}
    // `cards` in the order they go down the page, all of one type.
    CardCopyResult run(const std::vector<cv::Mat>& cards,
                       const TaskStatus& status = TaskStatus::never()) const;

private:
    CardCopyParams m_params;
};

} // namespace camcore
