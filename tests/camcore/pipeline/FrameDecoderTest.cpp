#include "pipeline/FrameDecoder.h"
#include "pipeline/TurboJpeg.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace camcore;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Quadrants red, green, blue and white with noise, so the entropy data holds stuffed FF bytes.
QImage quadrants(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    QPainter painter(&image);
    const int w = width / 2, h = height / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, width - w, h, Qt::green);
    painter.fillRect(0, h, w, height - h, Qt::blue);
    painter.fillRect(w, h, width - w, height - h, Qt::white);
    painter.end();
    for (int y = 0; y < height; y += 7)
        image.scanLine(y)[(y * 13) % (width * 3)] ^= 0x55;
    return image;
}

Bytes encode(const QImage& rgb, int quality = 85) {
    const TjHandle tj(tjInitCompress());
    unsigned char* out = nullptr;
    unsigned long size = 0;
    EXPECT_EQ(tjCompress2(tj.get(), rgb.constBits(), rgb.width(),
                          static_cast<int>(rgb.bytesPerLine()), rgb.height(), TJPF_RGB, &out, &size,
                          TJSAMP_420, quality, 0),
              0);
    const TjBuffer owned(out);
    return Bytes(out, out + size);
}

void expectColour(const QImage& image, double fx, double fy, QColor expected, int tolerance) {
    const QColor got = image.pixelColor(int(fx * image.width()), int(fy * image.height()));
    EXPECT_NEAR(got.red(), expected.red(), tolerance) << fx << "," << fy;
    EXPECT_NEAR(got.green(), expected.green(), tolerance) << fx << "," << fy;
    EXPECT_NEAR(got.blue(), expected.blue(), tolerance) << fx << "," << fy;
}

void expectQuadrants(const QImage& image, int tolerance) {
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.format(), QImage::Format_RGB888);
    expectColour(image, 0.25, 0.25, Qt::red, tolerance);
    expectColour(image, 0.75, 0.25, Qt::green, tolerance);
    expectColour(image, 0.25, 0.75, Qt::blue, tolerance);
    expectColour(image, 0.75, 0.75, Qt::white, tolerance);
}

const Bytes& eightMegapixels() {
    static const Bytes jpeg = encode(quadrants(3264, 2448));
    return jpeg;
}

} // namespace

TEST(FrameDecoder, PicksTheSmallestScaleThatCoversTheWidth) {
    FrameDecoder decoder;
    const Bytes& jpeg = eightMegapixels();
    EXPECT_EQ(decoder.jpegSize(jpeg), QSize(3264, 2448));
    const std::pair<int, QSize> cases[] = {
        {0, {3264, 2448}}, {1280, {1632, 1224}}, {1632, {1632, 1224}}, {1633, {3264, 2448}},
        {400, {408, 306}}, {409, {816, 612}},    {1, {408, 306}},      {9999, {3264, 2448}},
    };
    for (const auto& [minWidth, size] : cases) {
        const QImage image = decoder.decodeJpeg(jpeg, minWidth);
        EXPECT_EQ(image.size(), size) << "minWidth " << minWidth;
    }
    expectQuadrants(decoder.decodeJpeg(jpeg), 12);
    expectQuadrants(decoder.decodeJpeg(jpeg, 400), 12);
}

TEST(FrameDecoder, DamagedDataGivesNullImages) {
    FrameDecoder decoder;
    const Bytes jpeg = encode(quadrants(320, 240));
    EXPECT_TRUE(decoder.decodeJpeg({}).isNull());
    EXPECT_FALSE(decoder.jpegSize({}));
    const Bytes garbage(5000, 0xA7);
    EXPECT_TRUE(decoder.decodeJpeg(garbage).isNull());
    EXPECT_TRUE(decoder.decodeJpeg(Bytes{0xFF, 0xD8, 0xFF, 0xD9}).isNull());
    for (std::size_t cut = 1; cut < jpeg.size(); cut += 97) {
        const std::span<const std::uint8_t> part(jpeg.data(), cut);
        EXPECT_TRUE(decoder.decodeJpeg(part, 100).isNull()) << "cut at " << cut;
    }
    // Corrupt entropy data may decode to a damaged picture; it must only not crash.
    Bytes flipped = jpeg;
    for (std::size_t i = flipped.size() / 3; i + 2 < flipped.size(); i += 50)
        flipped[i] ^= 0x3C;
    decoder.decodeJpeg(flipped);
    // Headers claiming 60000 x 60000 pixels (10 GB) or more than libjpeg's limit of 65500.
    for (int claimed : {60000, 65535}) {
        Bytes huge = jpeg;
        const std::uint8_t sof[] = {0xFF, 0xC0};
        const auto at = std::search(huge.begin(), huge.end(), sof, sof + 2) - huge.begin();
        for (int i : {5, 7}) // height, width
            huge[at + i] = std::uint8_t(claimed >> 8), huge[at + i + 1] = std::uint8_t(claimed);
        EXPECT_TRUE(decoder.decodeJpeg(huge).isNull());
        // The decoder still works after the error.
        expectQuadrants(decoder.decodeJpeg(jpeg), 12);
    }
}

TEST(JpegLength, FindsTheEndOfTheImageBehindPadding) {
    const Bytes jpeg = encode(quadrants(320, 240));
    const std::uint8_t stuffed[] = {0xFF, 0x00};
    ASSERT_NE(std::search(jpeg.begin(), jpeg.end(), stuffed, stuffed + 2), jpeg.end());
    EXPECT_EQ(jpegLength(jpeg), jpeg.size());

    Bytes zeros = jpeg;
    zeros.resize(jpeg.size() * 3, 0);
    EXPECT_EQ(jpegLength(zeros), jpeg.size());

    Bytes garbage = jpeg;
    for (std::uint8_t b : {0xFF, 0xD9, 0xFF, 0xD8, 0x12, 0xFF, 0xFF, 0xD9, 0xFF})
        garbage.push_back(b);
    EXPECT_EQ(jpegLength(garbage), jpeg.size());
    FrameDecoder decoder;
    expectQuadrants(decoder.decode(Frame{std::make_shared<Bytes>(garbage)}), 12);

    EXPECT_EQ(jpegLength(std::span(jpeg).first(jpeg.size() - 1)), 0u);
    EXPECT_EQ(jpegLength(std::span(jpeg).first(jpeg.size() / 2)), 0u);
    EXPECT_EQ(jpegLength(std::span(jpeg).subspan(1)), 0u);
    EXPECT_EQ(jpegLength({}), 0u);
}

TEST(JpegLength, StepsOverSegmentsStuffingAndRestartMarkers) {
    // Segment payloads and entropy data both hold FF D9 pairs that are not the end.
    const Bytes stream = {
        0xFF, 0xD8,                                           // SOI
        0xFF, 0xE0, 0x00, 0x06, 0xFF, 0xD9, 0xFF, 0xD9,       // APP0 whose payload looks like EOI
        0xFF, 0xFF, 0xDD, 0x00, 0x04, 0x00, 0x01,             // fill byte, DRI interval 1
        0xFF, 0xDA, 0x00, 0x04, 0xFF, 0xD9,                   // SOS header
        0x12, 0xFF, 0x00, 0xD9, 0xFF, 0xD0, 0xFF, 0x00, 0x34, // data, FF00 stuffing, RST0
        0xFF, 0xD7, 0x56, 0xFF, 0xFF, 0xD1, 0x9A,             // RST7, a fill byte, RST1
        0xFF, 0xC4, 0x00, 0x03, 0xAA,                         // a table between scans
        0xFF, 0xDA, 0x00, 0x02, 0x78,                         // second scan
        0xFF, 0xD9,                                           // EOI
        0x00, 0xFF, 0xD9, 0xFF};
    EXPECT_EQ(jpegLength(stream), stream.size() - 4);
    EXPECT_EQ(jpegLength(std::span(stream).first(stream.size() - 6)), 0u);
    Bytes badLength = stream;
    badLength[4] = 0x7F; // APP0 running past the end
    EXPECT_EQ(jpegLength(badLength), 0u);
}

namespace {

struct Yuv {
    std::uint8_t y, u, v;
    QColor rgb;
};
// BT.601 limited range.
const Yuv kBands[] = {{235, 128, 128, Qt::white}, {16, 128, 128, Qt::black},
                      {81, 90, 240, Qt::red},     {145, 54, 34, Qt::green},
                      {41, 240, 110, Qt::blue},   {126, 128, 128, QColor(128, 128, 128)}};
constexpr int kBandWidth = 16;
constexpr int kWidth = 6 * kBandWidth, kHeight = 24;

// Six bands, in reverse order on the lower half, so rows and columns both matter.
const Yuv& colourAt(int x, int y) {
    const int band = x / kBandWidth;
    return kBands[y < kHeight / 2 ? band : 5 - band];
}

Frame yuyvFrame(int stride) {
    auto bytes = std::make_shared<Bytes>(std::size_t(stride) * kHeight, 0xEE);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; x += 2) {
            const Yuv& c = colourAt(x, y);
            std::uint8_t* p = bytes->data() + y * stride + x * 2;
            p[0] = p[2] = c.y, p[1] = c.u, p[3] = c.v;
        }
    return Frame{bytes, PixelFormat::Yuyv, kWidth, kHeight, stride};
}

Frame nv12Frame(int stride) {
    auto bytes = std::make_shared<Bytes>(std::size_t(stride) * kHeight * 3 / 2, 0xEE);
    std::uint8_t* uv = bytes->data() + stride * kHeight;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Yuv& c = colourAt(x, y);
            (*bytes)[y * stride + x] = c.y;
            uv[(y / 2) * stride + (x / 2) * 2] = c.u;
            uv[(y / 2) * stride + (x / 2) * 2 + 1] = c.v;
        }
    return Frame{bytes, PixelFormat::Nv12, kWidth, kHeight, stride};
}

void expectBands(const QImage& image, int reduction) {
    ASSERT_EQ(image.size(), QSize(kWidth / reduction, kHeight / reduction));
    for (double fy : {0.25, 0.75})
        for (int band = 0; band < 6; ++band)
            expectColour(image, (band + 0.5) / 6, fy,
                         colourAt(band * kBandWidth, int(fy * kHeight)).rgb, 3);
}

} // namespace

TEST(FrameDecoder, ConvertsRawFramesAtFullAndReducedSize) {
    FrameDecoder decoder;
    std::vector<Frame> frames = {yuyvFrame(kWidth * 2), yuyvFrame(kWidth * 2 + 64),
                                 nv12Frame(kWidth), nv12Frame(kWidth + 32)};
    for (std::size_t i : {0, 2}) { // unpadded frames may report no stride
        frames.push_back(frames[i]);
        frames.back().stride = 0;
    }
    for (const Frame& f : frames) {
        SCOPED_TRACE(testing::Message() << int(f.format) << " stride " << f.stride);
        expectBands(decoder.decode(f), 1);
        expectBands(decoder.decode(f, kWidth / 2), 2);
        expectBands(decoder.decode(f, kWidth / 4), 4);
        expectBands(decoder.decode(f, kWidth / 4 + 1), 2);
    }
}

TEST(FrameDecoder, RefusesRawFramesThatDoNotFitTheirBuffer) {
    FrameDecoder decoder;
    const auto changed = [](Frame f, auto change) {
        return change(f), f;
    };
    const auto oneByteShort = [](Frame& f) {
        f.bytes = std::make_shared<Bytes>(f.bytes->begin(), f.bytes->end() - 1);
    };
    for (const Frame& f :
         {changed(yuyvFrame(kWidth * 2), oneByteShort), changed(nv12Frame(kWidth), oneByteShort),
          changed(yuyvFrame(kWidth * 2), [](Frame& f) { f.stride = kWidth; }),
          changed(nv12Frame(kWidth), [](Frame& f) { f.height *= 100; }),
          changed(nv12Frame(kWidth), [](Frame& f) { f.width = -4; }), Frame{}})
        EXPECT_TRUE(decoder.decode(f, 10).isNull());
}

namespace {

// BT.601 limited range in floating point, rounded and clamped: what every conversion of a
// YUYV or NV12 pixel should give within the bands' tolerance.
std::array<int, 3> bt601(int y, int u, int v) {
    const double l = 1.164383 * (y - 16);
    const double rgb[3] = {l + 1.596027 * (v - 128),
                           l - 0.391762 * (u - 128) - 0.812968 * (v - 128),
                           l + 2.017232 * (u - 128)};
    std::array<int, 3> out{};
    for (int i = 0; i < 3; ++i)
        out[i] = std::clamp(int(std::lround(rgb[i])), 0, 255);
    return out;
}

} // namespace

TEST(FrameDecoder, FullSizeYuyvFollowsBt601ForEveryValue) {
    // Every (U, V) of a 16 x 16 grid over 0..255 on its own row, Y rising along the row; an odd
    // width, so the last pixel has half a pair, and a padded stride.
    constexpr int kW = 65, kH = 256, kStride = 36 * 4;
    auto bytes = std::make_shared<Bytes>(std::size_t(kStride) * kH, 0xEE);
    const auto levelOf = [](int i) {
        return std::min(255, i * 17);
    };
    for (int row = 0; row < kH; ++row)
        for (int x = 0; x < kW + 1; x += 2) {
            std::uint8_t* p = bytes->data() + row * kStride + x * 2;
            p[0] = std::uint8_t(x * 4), p[2] = std::uint8_t(std::min(255, (x + 1) * 4));
            p[1] = std::uint8_t(levelOf(row / 16)), p[3] = std::uint8_t(levelOf(row % 16));
        }
    FrameDecoder decoder;
    const QImage image = decoder.decode(Frame{bytes, PixelFormat::Yuyv, kW, kH, kStride});
    ASSERT_EQ(image.size(), QSize(kW, kH));
    ASSERT_EQ(image.format(), QImage::Format_RGB888);
    int worst = 0;
    for (int row = 0; row < kH; ++row)
        for (int x = 0; x < kW; ++x) {
            const std::uint8_t* p = bytes->data() + row * kStride + (x & ~1) * 2;
            const std::array<int, 3> want = bt601(p[(x & 1) * 2], p[1], p[3]);
            const uchar* got = image.constScanLine(row) + x * 3;
            for (int i = 0; i < 3; ++i)
                worst = std::max(worst, std::abs(got[i] - want[i]));
        }
    EXPECT_LE(worst, 3); // the bands' tolerance; libyuv's fixed point is within 3 of the formula
}
