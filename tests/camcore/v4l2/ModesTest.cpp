#include "device/v4l2/Modes.h"

#include <gtest/gtest.h>

#include <linux/videodev2.h>

namespace {

using namespace camcore;
using namespace camcore::v4l2;

constexpr Interval k30{1, 30};
constexpr Interval k5{1, 5};

TEST(ModesTest, OnlyFormatsTheDecoderTakes) {
    EXPECT_EQ(decodableFormat(V4L2_PIX_FMT_MJPEG), PixelFormat::Mjpeg);
    EXPECT_EQ(decodableFormat(V4L2_PIX_FMT_JPEG), PixelFormat::Mjpeg);
    EXPECT_EQ(decodableFormat(V4L2_PIX_FMT_YUYV), PixelFormat::Yuyv);
    EXPECT_EQ(decodableFormat(V4L2_PIX_FMT_NV12), PixelFormat::Nv12);
    for (std::uint32_t other : {V4L2_PIX_FMT_UYVY, V4L2_PIX_FMT_NV21, V4L2_PIX_FMT_H264,
                                V4L2_PIX_FMT_GREY, V4L2_PIX_FMT_RGB24, 0u})
        EXPECT_FALSE(decodableFormat(other)) << other;
}

TEST(ModesTest, IntervalsCompareAsFractions) {
    EXPECT_TRUE(k30.shorterThan(k5));
    EXPECT_FALSE(k5.shorterThan(k30));
    EXPECT_FALSE((Interval{2, 60}).shorterThan(k30)); // equal
    EXPECT_TRUE((Interval{1001, 30000}).shorterThan(Interval{1, 29}));
}

TEST(ModesTest, StepwiseRangeGivesItsLargestAndTheCommonSizesOnItsGrid) {
    // Steps of 16 x 8 from 160 x 120; the maximum itself is off the grid.
    EXPECT_EQ(sizesInRange({160, 120}, {1927, 1083}, 16, 8), (std::vector<Resolution>{{1920, 1080},
                                                                                      {1280, 960},
                                                                                      {1280, 720},
                                                                                      {1024, 768},
                                                                                      {800, 600},
                                                                                      {640, 480},
                                                                                      {640, 360},
                                                                                      {352, 288},
                                                                                      {320, 240}}))
        << "320 x 180 is off the grid (180 = 120 + 7.5 * 8), 1600 x 1200 too high";

    // Continuous (step 1): every common size within the range, and the range's largest once.
    const std::vector<Resolution> any = sizesInRange({48, 32}, {4096, 3072}, 1, 1);
    EXPECT_EQ(any.front(), (Resolution{4096, 3072}));
    EXPECT_EQ(any.size(), 17u);
    EXPECT_EQ(std::count(any.begin(), any.end(), Resolution{4096, 3072}), 1);

    EXPECT_TRUE(sizesInRange({640, 480}, {320, 240}, 1, 1).empty());
    EXPECT_TRUE(sizesInRange({0, 0}, {640, 480}, 0, 0).empty());
    EXPECT_EQ(sizesInRange({640, 480}, {640, 480}, 0, 0), (std::vector<Resolution>{{640, 480}}));
}

TEST(ModesTest, ResolutionsAreTheUnionLargestFirstWithMjpegPreferred) {
    const std::vector<FormatOffer> offers{
        // Listed smallest first, as many drivers do; YUYV first, as UVC cameras do.
        {V4L2_PIX_FMT_YUYV,
         {{{640, 480}, k30}, {{1280, 720}, Interval{1, 10}}, {{3264, 2448}, k5}}},
        {V4L2_PIX_FMT_H264, {{{4096, 2160}, k30}}},
        {V4L2_PIX_FMT_NV12, {{{800, 600}, k30}, {{1280, 720}, k30}}},
        {V4L2_PIX_FMT_MJPEG, {{{1280, 720}, k30}, {{3264, 2448}, Interval{1, 15}}}},
    };
    const ModeTable table(offers);
    EXPECT_EQ(table.resolutions(),
              (std::vector<Resolution>{{3264, 2448}, {1280, 720}, {800, 600}, {640, 480}}));

    const auto largest = table.mode({3264, 2448});
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->fourcc, V4L2_PIX_FMT_MJPEG);
    EXPECT_EQ(largest->format, PixelFormat::Mjpeg);
    EXPECT_EQ(largest->interval, (Interval{1, 15}));
    EXPECT_EQ(table.mode({1280, 720})->fourcc, V4L2_PIX_FMT_MJPEG);
    EXPECT_EQ(table.mode({800, 600})->format, PixelFormat::Nv12);
    const auto vga = table.mode({640, 480});
    EXPECT_EQ(vga->format, PixelFormat::Yuyv);
    EXPECT_EQ(vga->interval, k30);
    EXPECT_FALSE(table.mode({4096, 2160})) << "H.264 is not decoded";
    EXPECT_FALSE(table.mode({1024, 768}));
}

TEST(ModesTest, RawBeatsNv12AndEqualAreasGoWidestFirst) {
    const ModeTable table({{V4L2_PIX_FMT_NV12, {{{640, 480}, k30}, {{480, 640}, k30}}},
                           {V4L2_PIX_FMT_YUYV, {{{640, 480}, std::nullopt}, {{0, 480}, k30}}}});
    EXPECT_EQ(table.resolutions(), (std::vector<Resolution>{{640, 480}, {480, 640}}));
    EXPECT_EQ(table.mode({640, 480})->format, PixelFormat::Yuyv);
    EXPECT_FALSE(table.mode({640, 480})->interval);
    EXPECT_TRUE(ModeTable({{V4L2_PIX_FMT_H264, {{{640, 480}, k30}}}}).empty());
    EXPECT_TRUE(ModeTable().resolutions().empty());
}

} // namespace
