// The capture chain's choices: card copy layout, what comes out when nothing is found, splits
// without an outline, and the boundary with Qt pictures.
#include "Drawn.h"
#include "process/CaptureChain.h"
#include "process/MatImage.h"
#include "process/cardcopy/CardCopy.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace camcore;

TEST(CardCopy, StacksCardsCentredOnAWhitePageOfA4Proportions) {
    const cv::Mat front(60, 100, CV_8UC3, cv::Scalar(200, 40, 40));
    const cv::Mat back(70, 120, CV_8UC3, cv::Scalar(40, 40, 200));
    const CardCopyResult copy = CardCopyTask().run({front, back});
    ASSERT_EQ(copy.page.cols, 293); // 120 / 0.41
    ASSERT_EQ(copy.page.rows, 414); // 293 * 297 / 210
    ASSERT_EQ(copy.cardOrigins.size(), 2U);
    EXPECT_EQ(copy.cardOrigins[0].x, (293 - 100) / 2);
    EXPECT_EQ(copy.cardOrigins[1].x, (293 - 120) / 2);
    EXPECT_LT(copy.cardOrigins[0].y + 60, copy.cardOrigins[1].y); // front above, apart
    // The stack sits in the middle: as much white above as below.
    EXPECT_NEAR(copy.cardOrigins[0].y, copy.page.rows - (copy.cardOrigins[1].y + 70), 1);
    EXPECT_EQ(copy.page.at<cv::Vec3b>(5, 5), cv::Vec3b(255, 255, 255));
    EXPECT_EQ(copy.page.at<cv::Vec3b>(copy.cardOrigins[1] + cv::Point(5, 5)),
              back.at<cv::Vec3b>(0, 0));
}

TEST(Chain, CardCopyLaysOutTwoCardsFrontFirstAndKeepsTheFrameWithoutAny) {
    cv::Mat picture = drawn::desk({480, 300});
    drawn::sheet(picture, drawn::turned({350, 150}, 170, 108, 3), cv::Scalar(225, 235, 245));
    drawn::sheet(picture, drawn::turned({130, 150}, 170, 108, -4), cv::Scalar(245, 225, 225));
    ChainParams params;
    params.cardCopy = true;
    const ChainResult copy = ChainTask(params).run(picture);
    ASSERT_EQ(copy.pages.size(), 1U);
    const cv::Mat& page = copy.pages.front().picture;
    EXPECT_GT(page.rows, 2 * 108);
    EXPECT_FALSE(copy.pages.front().geometry);
    // The left (pink) card is the front, on top.
    const cv::Vec3b top = page.at<cv::Vec3b>(page.rows / 2 - 60, page.cols / 2);
    EXPECT_GT(top[0], top[2]);

    const ChainResult none = ChainTask(params).run(drawn::desk({320, 240}));
    ASSERT_EQ(none.pages.size(), 1U);
    EXPECT_EQ(none.pages.front().picture.size(), cv::Size(320, 240));
}

TEST(Chain, AutoCropKeepsTheWholeFrameWhenItFindsNoDocument) {
    ChainParams params;
    params.autoCrop = true;
    const ChainResult result = ChainTask(params).run(drawn::desk({400, 300}));
    ASSERT_EQ(result.pages.size(), 1U);
    EXPECT_EQ(result.pages.front().picture.size(), cv::Size(400, 300));
}

TEST(Chain, SplitsABookFillingTheFrameAtItsSpine) {
    cv::Mat picture(300, 600, CV_8UC3, cv::Scalar(240, 238, 232));
    for (int x = 0; x < picture.cols; ++x)
        picture.col(x) *= 1.0 - 0.45 * std::exp(-std::abs(x - 360) / 14.0);
    ChainParams params;
    params.split = true;
    const ChainResult result = ChainTask(params).run(picture);
    ASSERT_EQ(result.pages.size(), 2U);
    EXPECT_NEAR(result.pages[0].picture.cols, 360, 3);
    EXPECT_EQ(result.pages[0].picture.cols + result.pages[1].picture.cols, 600);
    ASSERT_TRUE(result.spine);
    EXPECT_NEAR((*result.spine)[0].x, 360, 3);
}

TEST(Chain, StopsWhenCancelled) {
    TaskStatus status;
    status.cancel();
    ChainParams params;
    params.autoCrop = true;
    EXPECT_THROW(ChainTask(params).run(drawn::desk({200, 150}), status), TaskCancelled);
}

TEST(MatImage, SharesPixelsItOwnsAndCopiesThoseItDoesNot) {
    QImage picture(40, 30, QImage::Format_RGB888);
    picture.fill(QColor(10, 20, 30));
    const cv::Mat view = matView(picture);
    EXPECT_EQ(view.data, picture.constBits()); // no copy on the way in
    const QImage back = imageOf(view);         // a view: copied, so it outlives `picture`
    EXPECT_NE(back.constBits(), picture.constBits());
    EXPECT_EQ(back.pixelColor(3, 3), QColor(10, 20, 30));

    QImage kept;
    {
        const cv::Mat owned(20, 10, CV_8UC1, cv::Scalar(77));
        kept = imageOf(owned);
        EXPECT_EQ(kept.constBits(), owned.data); // shared
    }
    EXPECT_EQ(kept.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(qGray(kept.pixel(5, 5)), 77); // still alive after the matrix went
}
