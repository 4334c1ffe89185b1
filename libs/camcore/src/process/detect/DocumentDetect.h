#pragma once

#include "process/Quad.h"
#include "process/Task.h"

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// Finds documents lying in a picture: a page, a card or an open book, at any rotation, under
// mild perspective, on a plain, textured or coloured desk, with a hand over a corner. Works on
// a copy reduced to about workWidth pixels across and answers in the picture's coordinates.
struct DetectParams {
    // 1: the one document the picture is about. 2: up to two separate documents lying side by
    // side (the front and back of a card), each with all four edges whole.
    int maxDocuments = 1;
    // At 640, 95% of the corpus' 200 scenes have every corner within 1% of the diagonal, in
    // 14 ms for an 8 MP frame (bench/ProcessBench.cpp); the preview outline uses 256.
    int workWidth = 640;
};

struct DetectResult {
    std::vector<Quad> documents; // best first; empty when the picture shows none
};

class DetectTask {
public:
    explicit DetectTask(DetectParams params = {}) : m_params(params) {}
    // `picture` is CV_8UC3 (RGB) or CV_8UC1.
    DetectResult run(const cv::Mat& picture, const TaskStatus& status = TaskStatus::never()) const;

private:
    DetectParams m_params;
};

} // namespace camcore
