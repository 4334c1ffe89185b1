#include "device/v4l2/Capture.h"
#include "pipeline/FrameDecoder.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

using namespace camcore;
using namespace camcore::v4l2;

std::vector<std::uint8_t> jpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor((x * 7) % 256, (y * 3) % 256, (x ^ y) % 256));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    image.save(&out, "JPG", 80);
    const QByteArray& bytes = out.data();
    return {bytes.begin(), bytes.end()};
}

// A driver buffer of `size` bytes holding `payload` and then what an earlier frame left.
std::vector<std::uint8_t> buffer(const std::vector<std::uint8_t>& payload, std::size_t size,
                                 std::uint8_t leftover) {
    std::vector<std::uint8_t> b(size, leftover);
    std::copy(payload.begin(), payload.begin() + std::min(size, payload.size()), b.begin());
    return b;
}

const StreamFormat kMjpeg{PixelFormat::Mjpeg, 64, 48, 0};

TEST(FrameFromBufferTest, MjpegPaddedToTheWholeBufferIsCutAtItsEnd) {
    const std::vector<std::uint8_t> picture = jpeg(64, 48);
    // bytesused == the whole buffer, as v4l2loopback and some UVC cameras report it; what follows
    // the JPEG may be zeros or an older, longer frame's tail.
    for (std::uint8_t leftover : {0x00, 0xFF, 0xD9}) {
        const std::vector<std::uint8_t> used = buffer(picture, picture.size() + 4096, leftover);
        const std::optional<Frame> frame = frameFromBuffer(used, kMjpeg, 7);
        ASSERT_TRUE(frame) << int(leftover);
        EXPECT_EQ(*frame->bytes, picture);
        EXPECT_EQ(frame->format, PixelFormat::Mjpeg);
        EXPECT_EQ(frame->width, 64);
        EXPECT_EQ(frame->height, 48);
        EXPECT_EQ(frame->stride, 0);
        EXPECT_EQ(frame->sequence, 7u);
        EXPECT_EQ(FrameDecoder().decode(*frame).size(), QSize(64, 48));
    }
    EXPECT_EQ(*frameFromBuffer(picture, kMjpeg, 1)->bytes, picture) << "exact bytesused";
}

TEST(FrameFromBufferTest, CutOrForeignMjpegIsDropped) {
    const std::vector<std::uint8_t> picture = jpeg(64, 48);
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{100},
                            picture.size() / 2, picture.size() - 1})
        EXPECT_FALSE(frameFromBuffer(buffer(picture, cut, 0), kMjpeg, 1)) << cut;
    // Cut short inside the picture, with zeros after it: no end marker.
    EXPECT_FALSE(
        frameFromBuffer(buffer(buffer(picture, picture.size() / 2, 0), 8192, 0), kMjpeg, 1));
    std::vector<std::uint8_t> noise(5000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 2654435761u >> 13);
    EXPECT_FALSE(frameFromBuffer(noise, kMjpeg, 1));
    EXPECT_FALSE(frameFromBuffer(buffer(jpeg(8, 8), 300, 0), {PixelFormat::Yuyv, 64, 48, 128}, 1))
        << "a raw stream takes no JPEG-sized frame";
}

TEST(FrameFromBufferTest, RawFramesNeedTheirWholeSizeAndDropThePadding) {
    const StreamFormat yuyv{PixelFormat::Yuyv, 6, 4, 16}; // 12 bytes of pixels, 4 of padding
    std::vector<std::uint8_t> used(16 * 4 + 100);
    for (std::size_t i = 0; i < used.size(); ++i)
        used[i] = static_cast<std::uint8_t>(i);
    const std::optional<Frame> frame = frameFromBuffer(used, yuyv, 3);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->bytes->size(), 64u);
    EXPECT_EQ(frame->stride, 16);
    EXPECT_TRUE(std::equal(frame->bytes->begin(), frame->bytes->end(), used.begin()));
    EXPECT_FALSE(FrameDecoder().decode(*frame).isNull());
    EXPECT_FALSE(frameFromBuffer(std::span(used).first(63), yuyv, 3));

    const StreamFormat nv12{PixelFormat::Nv12, 6, 5, 8}; // 5 luma rows, 3 chroma rows
    EXPECT_EQ(frameFromBuffer(used, nv12, 1)->bytes->size(), 64u);
    EXPECT_FALSE(frameFromBuffer(std::span(used).first(63), nv12, 1));
    EXPECT_FALSE(frameFromBuffer({}, nv12, 1));
}

} // namespace
