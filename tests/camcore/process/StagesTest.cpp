// Deskew, cleaning and the spine search on small drawn pages.
#include "Drawn.h"
#include "process/clean/BackgroundClean.h"
#include "process/deskew/Deskew.h"
#include "process/split/SpineFind.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

using namespace camcore;

TEST(Deskew, MeasuresTheSlopeOfTextLinesEitherWay) {
    for (const double degrees : {-2.3, 0.0, 1.7}) {
        cv::Mat page(400, 500, CV_8UC3, cv::Scalar(245, 245, 240));
        drawn::textLines(page, cv::Rect(40, 40, 420, 320), degrees, 6);
        const DeskewResult result = DeskewTask().run(page);
        ASSERT_TRUE(result.found) << degrees;
        EXPECT_NEAR(result.angle, degrees, 0.06);
    }
}

TEST(Deskew, LeavesAPageWithoutTextAlone) {
    cv::Mat blank(300, 400, CV_8UC3, cv::Scalar(240, 240, 240));
    EXPECT_FALSE(DeskewTask().run(blank).found);
    cv::Mat photo(300, 400, CV_8UC1);
    cv::randu(photo, 0, 255);
    cv::GaussianBlur(photo, photo, {0, 0}, 6);
    EXPECT_FALSE(DeskewTask().run(photo).found);
}

namespace {

// A page lit from the left, falling to 55% on the right, with print, a dark box and a red stamp.
cv::Mat litPage(cv::Mat& flat) {
    flat = cv::Mat(300, 400, CV_8UC3, cv::Scalar(235, 232, 222));
    drawn::textLines(flat, cv::Rect(30, 30, 340, 100), 0, 5);
    cv::rectangle(flat, cv::Rect(40, 170, 200, 40), cv::Scalar(50, 55, 60), cv::FILLED);
    cv::circle(flat, {320, 240}, 30, cv::Scalar(200, 30, 40), 4, cv::LINE_AA);
    cv::Mat lit;
    flat.convertTo(lit, CV_32FC3);
    for (int x = 0; x < lit.cols; ++x)
        lit.col(x) *= 1.0 - 0.45 * x / (lit.cols - 1);
    lit.convertTo(lit, CV_8UC3);
    return lit;
}

} // namespace

TEST(Clean, WhitensPaperUnderUnevenLightAndKeepsWhatIsOnIt) {
    cv::Mat flat;
    const cv::Mat page = CleanTask().run(litPage(flat)).page;
    ASSERT_EQ(page.size(), flat.size());
    cv::Mat grey;
    cv::cvtColor(page, grey, cv::COLOR_RGB2GRAY);
    // Paper at the far, dim side as white as at the lamp.
    EXPECT_GE(cv::mean(grey(cv::Rect(360, 135, 30, 25)))[0], 250);
    EXPECT_GE(cv::mean(grey(cv::Rect(5, 135, 30, 25)))[0], 250);
    // The dark box stays dark to its rim: no lighter or darker band along its edge.
    const double rim = cv::mean(grey(cv::Rect(42, 172, 196, 4)))[0];
    const double middle = cv::mean(grey(cv::Rect(60, 185, 160, 10)))[0];
    EXPECT_LT(middle, 90);
    EXPECT_NEAR(rim, middle, 12);
    // The paper right round it is as white as elsewhere.
    EXPECT_GE(cv::mean(grey(cv::Rect(40, 214, 200, 6)))[0], 248);
    // The stamp is still red.
    const cv::Vec3b stamp = page.at<cv::Vec3b>(240, 291);
    EXPECT_GT(stamp[0] - (stamp[1] + stamp[2]) / 2, 100);
}

TEST(Clean, WorksOnGreyPagesToo) {
    cv::Mat flat;
    cv::Mat grey;
    cv::cvtColor(litPage(flat), grey, cv::COLOR_RGB2GRAY);
    const cv::Mat page = CleanTask().run(grey).page;
    ASSERT_EQ(page.type(), CV_8UC1);
    EXPECT_GE(cv::mean(page(cv::Rect(360, 135, 30, 25)))[0], 250);
}

namespace {

// An open book lying off centre: two pages darkening towards a spine at `spine`.
cv::Mat spread(int spine) {
    cv::Mat picture(250, 500, CV_8UC3, cv::Scalar(240, 238, 232));
    for (int x = 0; x < picture.cols; ++x)
        picture.col(x) *= 1.0 - 0.45 * std::exp(-std::abs(x - spine) / 12.0);
    drawn::textLines(picture, cv::Rect(30, 30, spine - 60, 190), 0, 4);
    drawn::textLines(picture, cv::Rect(spine + 30, 30, 440 - spine, 190), 0, 4);
    return picture;
}

} // namespace

TEST(Spine, FollowsTheShadowNotTheMiddle) {
    const SpineResult result = SpineTask().run(spread(290));
    ASSERT_TRUE(result.found);
    EXPECT_NEAR(result.top.x, 290, 2);
    EXPECT_NEAR(result.bottom.x, 290, 2);
    EXPECT_EQ(result.top.y, -0.5);
    EXPECT_EQ(result.bottom.y, 249.5);
}

TEST(Spine, FindsNoneOnASinglePageOrOutsideTheSearchedBand) {
    cv::Mat page(250, 500, CV_8UC3, cv::Scalar(240, 238, 232));
    drawn::textLines(page, cv::Rect(30, 30, 440, 190), 0, 4);
    EXPECT_FALSE(SpineTask().run(page).found);
    EXPECT_FALSE(SpineTask({0.3, 0.5, 800}).run(spread(330)).found);
}
