// Reading back what the capture chain makes of a page: Tesseract must read at least as many
// characters correctly from the processed capture (automatic crop and cleaning, grey) as from
// the raw frame. Three pages, straight, turned 10 to 20 degrees and turned more, rendered at
// 0.7 of the camera's size so the body text is 10 to 12 pixels high, as Tesseract wants it.
#include "Corpus.h"
#include "process/CaptureChain.h"

#include <opencv2/imgproc.hpp>
#include <tesseract/baseapi.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

using namespace camcore;

namespace {

struct EndTesseract {
    void operator()(tesseract::TessBaseAPI* api) const {
        api->End();
        delete api;
    }
};
using Tesseract = std::unique_ptr<tesseract::TessBaseAPI, EndTesseract>;

struct DeleteText {
    void operator()(char* text) const { delete[] text; }
};

std::string read(tesseract::TessBaseAPI& api, const cv::Mat& rgb) {
    cv::Mat grey;
    cv::cvtColor(rgb, grey, cv::COLOR_RGB2GRAY);
    api.SetImage(grey.data, grey.cols, grey.rows, 1, static_cast<int>(grey.step[0]));
    const std::unique_ptr<char[], DeleteText> text(api.GetUTF8Text());
    return text ? std::string(text.get()) : std::string();
}

// Letters and digits only, in lower case: what counts as a character read.
std::string letters(const std::string& text) {
    std::string kept;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            kept += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return kept;
}

// Characters read correctly: the longest common subsequence of what was read and the truth.
int correct(const std::string& read, const std::string& truth) {
    std::vector<int> previous(truth.size() + 1, 0);
    std::vector<int> current(truth.size() + 1, 0);
    for (const char r : read) {
        for (std::size_t j = 0; j < truth.size(); ++j)
            current[j + 1] =
                r == truth[j] ? previous[j] + 1 : std::max(previous[j + 1], current[j]);
        std::swap(previous, current);
    }
    return previous.back();
}

} // namespace

TEST(Corpus, ProcessedCapturesReadAtLeastAsWellAsTheRawFrame) {
    // OMP_THREAD_LIMIT=1 is set for this suite by ctest: Tesseract's OpenMP loops then run on
    // one thread, three times faster on these two shared cores than on all of them.
    const Tesseract api(new tesseract::TessBaseAPI);
    ASSERT_EQ(api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY), 0) << "tesseract-ocr-eng";
    api->SetPageSegMode(tesseract::PSM_AUTO);

    // The first page without a hand in each range of turns.
    std::vector<corpus::Scene> chosen;
    for (const auto& [low, high] : {std::pair{0.0, 5.0}, {10.0, 20.0}, {20.0, 30.0}})
        for (const corpus::Scene& scene : corpus::scenes())
            if (scene.kind == corpus::Kind::Page && !scene.hand && std::abs(scene.angle) >= low &&
                std::abs(scene.angle) < high) {
                chosen.push_back(scene);
                break;
            }
    ASSERT_EQ(chosen.size(), 3U);

    ChainParams params;
    params.autoCrop = true;
    params.clean = true;
    for (const corpus::Scene& scene : chosen) {
        const corpus::Rendered rendered = corpus::render(scene, 0.7);
        std::string truth;
        for (const std::string& line : rendered.sheets.front().text)
            truth += line;
        truth = letters(truth);
        const ChainResult result = ChainTask(params).run(rendered.frame);
        ASSERT_EQ(result.pages.size(), 1U);
        const int raw = correct(letters(read(*api, rendered.frame)), truth);
        const int processed = correct(letters(read(*api, result.pages.front().picture)), truth);
        std::cout << scene.description << ": " << processed << " of " << truth.size()
                  << " characters read from the capture, " << raw << " from the raw frame\n";
        EXPECT_GE(processed, raw) << scene.description;
    }
}
