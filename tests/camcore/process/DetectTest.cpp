#include "Drawn.h"
#include "process/detect/DocumentDetect.h"

#include <gtest/gtest.h>

using namespace camcore;

namespace {

double worstError(const Quad& found, const std::array<cv::Point2d, 4>& truth) {
    double worst = 0;
    for (std::size_t i = 0; i < 4; ++i)
        worst = std::max(worst, cv::norm(found.corners[i] - truth[i]));
    return worst;
}

} // namespace

TEST(Detect, FindsATurnedSheetCornersInReadingOrder) {
    for (const double degrees : {-25.0, 0.0, 12.0}) {
        cv::Mat picture = drawn::desk({400, 300});
        const auto corners = drawn::turned({190, 155}, 210, 150, degrees);
        drawn::sheet(picture, corners, cv::Scalar(240, 238, 232));
        drawn::textLines(picture, cv::Rect(150, 120, 80, 60), degrees, 4);
        const DetectResult result = DetectTask({1, 400}).run(picture);
        ASSERT_EQ(result.documents.size(), 1U) << degrees;
        EXPECT_LT(worstError(result.documents.front(), corners), 1.5) << degrees;
    }
}

TEST(Detect, AnswersInThePictureCoordinatesAfterReducing) {
    cv::Mat picture = drawn::desk({1600, 1200});
    const auto corners = drawn::turned({800, 620}, 900, 640, 7);
    drawn::sheet(picture, corners, cv::Scalar(235, 235, 230));
    const DetectResult result = DetectTask({1, 400}).run(picture); // reduced four times
    ASSERT_EQ(result.documents.size(), 1U);
    EXPECT_LT(worstError(result.documents.front(), corners), 4.0);
}

TEST(Detect, TwoCardsSideBySideAreTwoDocumentsOnlyWhenAskedFor) {
    cv::Mat picture = drawn::desk({480, 300});
    const auto left = drawn::turned({130, 150}, 170, 108, -4);
    const auto right = drawn::turned({350, 152}, 170, 108, 3);
    drawn::sheet(picture, left, cv::Scalar(225, 235, 245));
    drawn::sheet(picture, right, cv::Scalar(225, 235, 245));

    const DetectResult two = DetectTask({2, 480}).run(picture);
    ASSERT_EQ(two.documents.size(), 2U);
    const bool leftFirst = two.documents[0].centre().x < two.documents[1].centre().x;
    EXPECT_LT(worstError(two.documents[leftFirst ? 0 : 1], left), 1.5);
    EXPECT_LT(worstError(two.documents[leftFirst ? 1 : 0], right), 1.5);
    EXPECT_EQ(DetectTask({1, 480}).run(picture).documents.size(), 1U);
}

TEST(Detect, FindsNothingOnAnEmptyDeskOrAnEmptyPicture) {
    EXPECT_TRUE(DetectTask().run(drawn::desk({320, 240})).documents.empty());
    EXPECT_TRUE(DetectTask().run(cv::Mat()).documents.empty());
}

TEST(Detect, StopsWhenCancelled) {
    TaskStatus status;
    status.cancel();
    EXPECT_THROW(DetectTask().run(drawn::desk({320, 240}), status), TaskCancelled);
}
