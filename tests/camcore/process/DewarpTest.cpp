// Flattening on drawn pages of text bent as an open book bends them.
#include "process/dewarp/Dewarp.h"
#include "Curved.h"
#include "process/CaptureChain.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

using namespace camcore;

namespace {

const cv::Scalar kDesk(90, 70, 50);

} // namespace

TEST(Dewarp, StraightensTheLinesOfABentPageWithTheSpineOnEitherSide) {
    const curved::TextPage flat = curved::textPage({900, 1200}, 16, 7);
    for (const bool spineRight : {true, false}) {
        curved::Bend bend;
        bend.depth = 0.2;
        bend.spineRight = spineRight;
        const curved::Maps maps = curved::bendMaps(flat.page.size(), bend);
        const cv::Mat page = curved::bent(flat.page, maps, kDesk);
        const cv::Mat probe = curved::bent(flat.probe, maps, cv::Scalar(255));
        const curved::Straightness before = curved::straightness(probe);
        ASSERT_GT(before.worst, 9) << "the drawn page is bent";

        const std::optional<PageSurface> surface = DewarpTask().measure(page);
        ASSERT_TRUE(surface) << spineRight;
        const cv::Mat flattened = DewarpTask::flatten(page, *surface);
        ASSERT_EQ(flattened.size(), page.size());
        ASSERT_EQ(flattened.type(), page.type());
        const curved::Straightness after =
            curved::straightness(DewarpTask::flatten(probe, *surface));
        EXPECT_GE(after.lines, flat.lines - 2) << spineRight;
        EXPECT_LT(after.worst, 3.0) << spineRight << " was " << before.worst;
    }
}

TEST(Dewarp, LeavesFlatPagesAndPagesWithoutTextExactlyAsTheyAre) {
    const curved::TextPage flat = curved::textPage({900, 1200}, 16, 11);
    cv::Mat grey;
    cv::cvtColor(flat.page, grey, cv::COLOR_RGB2GRAY);
    cv::Mat photo(800, 600, CV_8UC3);
    cv::randu(photo, 0, 255);
    cv::GaussianBlur(photo, photo, {0, 0}, 5);
    cv::Mat few(800, 600, CV_8UC3, cv::Scalar(240, 240, 240));
    curved::Bend bend;
    bend.depth = 0.08;
    const curved::TextPage three = curved::textPage({600, 160}, 16, 3);
    ASSERT_EQ(three.lines, 3);
    curved::bent(three.page, curved::bendMaps(three.page.size(), bend), kDesk)
        .copyTo(few(cv::Rect(0, 200, 600, 160)));
    for (const cv::Mat& page : {flat.page, grey, photo, few, cv::Mat()}) {
        const DewarpResult result = DewarpTask().run(page);
        EXPECT_FALSE(result.flattened);
        EXPECT_EQ(result.page.data, page.data) << "the very same picture";
    }
}

// A split spread: each page is flattened on its own, the two curving opposite ways into the
// spine between them.
TEST(Dewarp, TheChainFlattensBothPagesOfASplitSpread) {
    const curved::TextPage flat = curved::textPage({900, 1200}, 16, 5);
    cv::Mat spread(1200, 1800, CV_8UC3);
    for (const bool left : {true, false}) {
        curved::Bend bend;
        bend.depth = 0.2;
        bend.spineRight = left;
        curved::bent(flat.page, curved::bendMaps(flat.page.size(), bend), kDesk)
            .copyTo(spread(cv::Rect(left ? 0 : 900, 0, 900, 1200)));
    }
    ChainParams params;
    params.split = true;
    params.dewarp = true;
    const ChainResult result = ChainTask(params).run(spread);
    ASSERT_EQ(result.pages.size(), 2U);
    for (std::size_t i = 0; i < 2; ++i) {
        const cv::Mat& page = result.pages[i].picture;
        ASSERT_EQ(page.rows, 1200);
        ASSERT_NEAR(page.cols, 900, 30) << "cut about where the pages meet";
        const cv::Mat half = spread(cv::Rect(i == 0 ? 0 : 1800 - page.cols, 0, page.cols, 1200));
        EXPECT_TRUE(DewarpTask().measure(half)) << "each half is bent";
        EXPECT_FALSE(DewarpTask().measure(page)) << "and comes out flat";
    }
}
