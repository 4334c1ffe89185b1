#include "pipeline/ColorMode.h"

#include <QPainter>

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>

using namespace camcore;

namespace {

constexpr int kWidth = 1280, kHeight = 960;
const QRect kPhoto(120, 620, 260, 220); // a dark picture on the bright side

// A printed page as the camera sees it: text from 11 to 36 pixels high and hairlines, a lamp on
// the left falling to 35% on the right, optical blur and sensor noise. `ink` receives where
// the print is. A blank page has no print and no picture.
QImage photographedPage(cv::Mat& ink, bool blank = false) {
    QImage page(kWidth, kHeight, QImage::Format_RGB888);
    page.fill(QColor(240, 240, 240));
    QPainter painter(&page);
    painter.setPen(QColor(30, 30, 30));
    QFont font("DejaVu Sans");
    int y = 30;
    for (int size = 11; !blank && y < 560; size = size >= 36 ? 11 : size + 5) {
        font.setPixelSize(size);
        painter.setFont(font);
        for (int x : {20, 660})
            painter.drawText(x, y + size, "Quarterly figures: 12,480 units");
        y += size * 2;
    }
    if (!blank)
        for (int x = 500; x < 1260; x += 40)
            painter.drawLine(x, 600, x + 20, 940); // one pixel strokes
    painter.end();

    cv::Mat clean(kHeight, kWidth, CV_8UC3, page.bits(), page.bytesPerLine()), grey;
    cv::cvtColor(clean, grey, cv::COLOR_RGB2GRAY);
    ink = grey < 128;
    for (int py = kPhoto.top(); !blank && py <= kPhoto.bottom(); ++py)
        for (int px = kPhoto.left(); px <= kPhoto.right(); ++px)
            grey.at<uchar>(py, px) = uchar(30 + 40 * (px - kPhoto.left()) / kPhoto.width());

    cv::Mat lit(kHeight, kWidth, CV_32F);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0, 4);
    cv::GaussianBlur(grey, grey, {0, 0}, 0.8);
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px)
            lit.at<float>(py, px) =
                grey.at<uchar>(py, px) * (1.0f - 0.65f * px / (kWidth - 1)) + noise(random);
    lit.convertTo(grey, CV_8U);
    cv::cvtColor(grey, clean, cv::COLOR_GRAY2RGB); // clean views page: writes it in place
    return page;
}

struct Score {
    double correct = 0; // share of pixels whose colour matches the print
    double found = 0;   // share of print pixels that came out black
};

Score score(const cv::Mat& black, const cv::Mat& ink, cv::Rect part) {
    cv::Mat mask = cv::Mat::ones(ink.size(), CV_8U);
    mask(cv::Rect(kPhoto.x(), kPhoto.y(), kPhoto.width(), kPhoto.height())) = 0;
    const cv::Mat b = black(part), i = ink(part), m = mask(part);
    const double pixels = cv::countNonZero(m);
    const double wrong = cv::countNonZero((b != i) & m);
    return {1 - wrong / pixels, double(cv::countNonZero(b & i)) / cv::countNonZero(i)};
}

cv::Mat pixels(const QImage& image) {
    return cv::Mat(image.height(), image.width(), CV_8U, const_cast<uchar*>(image.bits()),
                   image.bytesPerLine());
}

} // namespace

TEST(ColorMode, GreyIsRec601Luma) {
    const std::pair<QColor, int> cases[] = {
        {Qt::red, 76}, {Qt::green, 150}, {Qt::blue, 29}, {Qt::white, 255}, {Qt::black, 0}};
    for (const auto& [colour, luma] : cases) {
        for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_ARGB32}) {
            QImage image(3, 2, format);
            image.fill(colour);
            const QImage grey = applyColorMode(image, ColorMode::Grey);
            ASSERT_EQ(grey.format(), QImage::Format_Grayscale8);
            EXPECT_NEAR(qGray(grey.pixel(2, 1)), luma, 1) << colour.name().toStdString();
        }
    }
    QImage tiny(3, 2, QImage::Format_RGB888);
    tiny.fill(Qt::gray);
    EXPECT_EQ(applyColorMode(tiny, ColorMode::Color).cacheKey(), tiny.cacheKey());
    EXPECT_EQ(applyColorMode(tiny, ColorMode::BlackWhite).size(), tiny.size());
    EXPECT_TRUE(applyColorMode(QImage(), ColorMode::BlackWhite).isNull());
}

TEST(ColorMode, BlackAndWhiteFollowsUnevenLight) {
    cv::Mat ink;
    const QImage page = photographedPage(ink);
    const QImage bw = applyColorMode(page, ColorMode::BlackWhite);
    ASSERT_EQ(bw.format(), QImage::Format_Grayscale8);
    ASSERT_EQ(bw.size(), page.size());
    const cv::Mat black = pixels(bw) == 0;
    EXPECT_EQ(cv::countNonZero(black | (pixels(bw) == 255)), kWidth * kHeight) << "0 and 255 only";

    // A threshold at 128 turns the dimly lit half black; this must not.
    cv::Mat grey;
    cv::cvtColor(
        cv::Mat(kHeight, kWidth, CV_8UC3, const_cast<uchar*>(page.bits()), page.bytesPerLine()),
        grey, cv::COLOR_RGB2GRAY);
    const cv::Mat fixedBlack = grey < 128;
    const cv::Rect bright(0, 0, kWidth / 2, kHeight), dim(kWidth / 2, 0, kWidth / 2, kHeight);
    for (const auto& [name, part] : {std::pair("bright", bright), std::pair("dim", dim)}) {
        const Score s = score(black, ink, part);
        EXPECT_GT(s.correct, 0.98) << name;
        EXPECT_GT(s.found, 0.85) << name;
    }
    EXPECT_LT(score(fixedBlack, ink, dim).correct, 0.5);

    // The dark picture stays a dark area rather than speckle.
    const cv::Mat photo =
        black(cv::Rect(kPhoto.x() + 8, kPhoto.y() + 8, kPhoto.width() - 16, kPhoto.height() - 16));
    EXPECT_GT(cv::countNonZero(photo), 0.9 * photo.total());
}

TEST(ColorMode, BlankPageUnderUnevenLightStaysWhite) {
    cv::Mat ink;
    const QImage page = photographedPage(ink, true);
    const cv::Mat black = pixels(applyColorMode(page, ColorMode::BlackWhite)) == 0;
    EXPECT_LT(cv::countNonZero(black), 0.001 * black.total());
}
