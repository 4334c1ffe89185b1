// Open books through split capture: where the spine is found, with automatic crop (the spread
// straightened first) and without (the picture cut straight down). Spreads are rendered at a
// quarter of the camera's size (816 x 612), where a spread is 450 to 730 pixels wide; the
// chain looks for the spine on a copy at most 800 wide, so it sees what it sees at full size.
#include "Corpus.h"
#include "process/CaptureChain.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

using namespace camcore;

namespace {

// Aim: the spine within 1% of the spread's width. Floors: the counts measured when this was
// written. Without the crop only books lying within 5 degrees of square are counted: a cut
// straight down cannot follow a spine that leans more.
constexpr int kMinSplitStraightened = 49; // of 50
constexpr int kMinSplitPlain = 14;        // of 15

double distanceToLine(cv::Point2d p, const std::array<cv::Point2d, 2>& line) {
    const cv::Point2d d = line[1] - line[0];
    return std::abs(d.cross(p - line[0])) / cv::norm(d);
}

} // namespace

TEST(Corpus, BooksAreSplitAtTheirSpine) {
    int straightened = 0;
    int plain = 0;
    int upright = 0;
    std::ostringstream failures;
    const double scale = 0.25;
    for (const corpus::Scene& scene : corpus::scenes()) {
        if (scene.kind != corpus::Kind::Spread)
            continue;
        const corpus::Rendered rendered = corpus::render(scene, scale);
        const auto& c = rendered.sheets.front().corners;
        const double width = cv::norm((c[1] + c[2]) * 0.5 - (c[0] + c[3]) * 0.5);

        ChainParams params;
        params.split = true;
        params.autoCrop = true;
        const ChainResult cut = ChainTask(params).run(rendered.frame);
        ASSERT_EQ(cut.pages.size(), 2U) << scene.description;
        ASSERT_TRUE(cut.spine);
        double worst = 0;
        for (const cv::Point2d& end : *cut.spine)
            worst = std::max(worst, distanceToLine(corpus::toFull(end, scale), rendered.spine));
        if (worst <= 0.01 * width)
            ++straightened;
        else
            failures << "  " << scene.description << ": spine " << worst / width * 100
                     << "% of the width off\n";

        const cv::Point2d top = rendered.spine[0];
        const cv::Point2d bottom = rendered.spine[1];
        if (std::abs(std::atan2(bottom.x - top.x, bottom.y - top.y)) > 5 * CV_PI / 180)
            continue;
        ++upright;
        params.autoCrop = false;
        const ChainResult plainCut = ChainTask(params).run(rendered.frame);
        ASSERT_EQ(plainCut.pages.size(), 2U);
        const double x = corpus::toFull((*plainCut.spine)[0], scale).x;
        const double truth = (top.x + bottom.x) / 2;
        if (std::abs(x - truth) <= 0.01 * width)
            ++plain;
        else
            failures << "  " << scene.description << ": cut without crop "
                     << std::abs(x - truth) / width * 100 << "% of the width off\n";
    }
    std::cout << "spine within 1% of the width: " << straightened << " of 50 straightened, "
              << plain << " of " << upright << " cut straight down\n"
              << failures.str();
    EXPECT_GE(straightened, kMinSplitStraightened) << failures.str();
    EXPECT_GE(plain, kMinSplitPlain) << failures.str();
}
