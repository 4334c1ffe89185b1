// Text pages through the capture chain with automatic crop and cleaning on: how straight their
// lines come out, and how white their paper, with print, stamps, marker, photos and dark boxes
// kept. Pages are rendered at 0.4 of the camera's size (1305 x 979): a page is then 500 to 1000
// pixels wide, and the chain measures its text lines on a copy at most 1000 wide and its light
// on one 600 wide, so it sees about what it sees at full size, a little less sharply.
#include "Corpus.h"
#include "process/CaptureChain.h"
#include "process/crop/PerspectiveCrop.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

using namespace camcore;

namespace {

// Aims: residual skew at most 0.3 degrees on every text page, and at least 95% of the paper at
// 245 or brighter after cleaning. The counts measured when this was written are the floors.
constexpr int kMinStraight = 108; // of 110
constexpr int kMinClean = 110;    // of 110

cv::Point2d apply(const cv::Matx33d& h, cv::Point2d p) {
    const cv::Vec3d v = h * cv::Vec3d(p.x, p.y, 1);
    return {v[0] / v[2], v[1] / v[2]};
}

cv::Mat luminance(const cv::Mat& rgb) {
    cv::Mat grey;
    cv::cvtColor(rgb, grey, cv::COLOR_RGB2GRAY);
    return grey;
}

// The largest slope, in degrees, of the page's text lines in the output.
double residualSkew(const corpus::Sheet& sheet, const cv::Matx33d& contentToPage) {
    double worst = 0;
    const double width = sheet.content.cols;
    for (const auto& line : sheet.baselines) {
        if (line[1].x - line[0].x < 0.3 * width)
            continue; // a short last line of a paragraph says little
        const cv::Point2d a = apply(contentToPage, line[0]);
        const cv::Point2d b = apply(contentToPage, line[1]);
        worst = std::max(worst, std::abs(std::atan2(b.y - a.y, b.x - a.x)) * 180 / CV_PI);
    }
    return worst;
}

struct Cleaning {
    double whitePaper = 0; // share of paper pixels with every channel at 245 or above
    std::string problem;   // empty when print, stamp, marker, photo and box came through
};

double redness(const cv::Vec3b& p) {
    return p[0] - (p[1] + p[2]) / 2.0;
}

double yellowness(const cv::Vec3b& p) {
    return (p[0] + p[1]) / 2.0 - p[2];
}

Cleaning judgeCleaning(const cv::Mat& cleaned, const cv::Mat& raw, const cv::Mat& regions,
                       const cv::Mat& truth, const cv::Mat& hand) {
    Cleaning result;
    const cv::Mat free = hand == 0;
    const cv::Mat paper = (regions == corpus::Paper) & free;
    cv::Mat white;
    cv::Mat lowest;
    {
        std::vector<cv::Mat> channels;
        cv::split(cleaned, channels);
        lowest = cv::min(cv::min(channels[0], channels[1]), channels[2]);
    }
    white = (lowest >= 245) & paper;
    const int paperPixels = cv::countNonZero(paper);
    result.whitePaper = paperPixels > 0 ? double(cv::countNonZero(white)) / paperPixels : 0;

    // Print keeps its contrast with the paper: at least as much as before cleaning.
    const cv::Mat ink = (regions == corpus::Ink) & free;
    auto contrast = [&](const cv::Mat& picture) {
        const cv::Mat grey = luminance(picture);
        return cv::mean(grey, paper)[0] - cv::mean(grey, ink)[0];
    };
    if (cv::countNonZero(ink) > 0 && contrast(cleaned) < contrast(raw))
        result.problem = " print lost contrast";

    // Stamps and marker keep their colour (60% of it, measured against the flat page).
    auto keepsColour = [&](corpus::Region region, double (*colour)(const cv::Vec3b&)) {
        double got = 0;
        double expected = 0;
        int count = 0;
        for (int y = 0; y < regions.rows; ++y)
            for (int x = 0; x < regions.cols; ++x) {
                if (regions.at<uchar>(y, x) != region || hand.at<uchar>(y, x) != 0)
                    continue;
                const cv::Vec3b t = truth.at<cv::Vec3b>(y, x);
                if (colour(t) < 60)
                    continue; // paper between the strokes
                got += colour(cleaned.at<cv::Vec3b>(y, x));
                expected += colour(t);
                ++count;
            }
        return count == 0 || got >= 0.6 * expected;
    };
    if (!keepsColour(corpus::Stamp, redness))
        result.problem += " stamp faded";
    if (!keepsColour(corpus::Highlight, yellowness))
        result.problem += " marker faded";

    // A photo keeps its picture: it follows the original closely and is not washed out.
    cv::Mat photo = (regions == corpus::Photo) & free;
    cv::erode(photo, photo, cv::Mat::ones(7, 7, CV_8U));
    if (cv::countNonZero(photo) > 100) {
        cv::Mat a, b;
        luminance(cleaned).convertTo(a, CV_32F);
        luminance(truth).convertTo(b, CV_32F);
        cv::Scalar ma, sa, mb, sb;
        cv::meanStdDev(a, ma, sa, photo);
        cv::meanStdDev(b, mb, sb, photo);
        cv::Mat product = (a - ma[0]).mul(b - mb[0]);
        const double correlation = cv::mean(product, photo)[0] / (sa[0] * sb[0] + 1e-9);
        if (correlation < 0.9 || ma[0] > 235)
            result.problem += " photo changed";
    }

    // No halo: the rim of a dark box is as dark as its middle.
    const cv::Mat box = (regions == corpus::DarkBox) & free;
    if (cv::countNonZero(box) > 400) {
        cv::Mat inner, core;
        cv::erode(box, inner, cv::Mat::ones(5, 5, CV_8U));
        cv::erode(box, core, cv::Mat::ones(21, 21, CV_8U));
        const cv::Mat rim = inner & ~core;
        const cv::Mat grey = luminance(cleaned);
        if (cv::countNonZero(core) > 0 &&
            std::abs(cv::mean(grey, rim)[0] - cv::mean(grey, core)[0]) > 10)
            result.problem += " halo at a dark box";
    }
    return result;
}

} // namespace

TEST(Corpus, TextPagesComeOutStraightAndClean) {
    int straight = 0;
    int clean = 0;
    int pages = 0;
    std::ostringstream failures;
    ChainParams params;
    params.autoCrop = true;
    params.clean = true;
    for (const corpus::Scene& scene : corpus::scenes()) {
        if (scene.kind != corpus::Kind::Page)
            continue;
        ++pages;
        const corpus::Rendered rendered = corpus::render(scene, 0.4);
        const ChainResult result = ChainTask(params).run(rendered.frame);
        ASSERT_EQ(result.pages.size(), 1U);
        const ChainPage& page = result.pages.front();
        ASSERT_TRUE(page.geometry);
        const corpus::Sheet& sheet = rendered.sheets.front();
        const cv::Matx33d contentToPage = page.geometry->toPage * sheet.contentToFrame;

        const double skew = residualSkew(sheet, contentToPage);
        if (skew <= 0.3)
            ++straight;
        else
            failures << "  " << scene.description << ": lines slope " << skew << " degrees\n";

        const cv::Size size = page.picture.size();
        cv::Mat regions, truth, hand;
        cv::warpPerspective(sheet.regions, regions, contentToPage, size, cv::INTER_NEAREST,
                            cv::BORDER_CONSTANT, corpus::Outside);
        cv::warpPerspective(sheet.content, truth, contentToPage, size, cv::INTER_LINEAR);
        cv::warpPerspective(rendered.hand, hand, page.geometry->toPage, size, cv::INTER_NEAREST);
        const cv::Mat raw = CropTask({*page.geometry}).run(rendered.frame).page;
        const Cleaning cleaning = judgeCleaning(page.picture, raw, regions, truth, hand);
        if (cleaning.whitePaper >= 0.95 && cleaning.problem.empty())
            ++clean;
        else
            failures << "  " << scene.description << ": " << cleaning.whitePaper * 100
                     << "% of the paper white;" << cleaning.problem << "\n";
    }
    std::cout << "text lines within 0.3 degrees: " << straight << " of " << pages
              << "; paper white and all else kept: " << clean << " of " << pages << "\n"
              << failures.str();
    EXPECT_GE(straight, kMinStraight) << failures.str();
    EXPECT_GE(clean, kMinClean) << failures.str();
}
