#include "OutputTestSupport.h"

#include "output/JpegMarkers.h"
#include "output/JpegWriter.h"

#include <gtest/gtest.h>

#include <optional>

using namespace camcore;
using namespace output_test;

namespace {

struct Density {
    int units = -1;
    int x = 0;
    int y = 0;
};

// The density of the JFIF APP0 that must follow SOI directly.
std::optional<Density> jfifDensity(const QByteArray& jpeg) {
    if (jpeg.size() < 20 || !jpeg.startsWith("\xFF\xD8\xFF\xE0") ||
        jpeg.mid(6, 5) != QByteArray("JFIF\0", 5))
        return std::nullopt;
    const auto byte = [&](int i) {
        return static_cast<unsigned char>(jpeg[i]);
    };
    return Density{byte(13), byte(14) << 8 | byte(15), byte(16) << 8 | byte(17)};
}

// `jpeg` without its segments of `marker` before the first scan.
QByteArray withoutSegments(QByteArray jpeg, unsigned char marker) {
    for (qsizetype pos = 2; pos + 4 <= jpeg.size() && uchar(jpeg[pos + 1]) != 0xDA;) {
        const qsizetype length = uchar(jpeg[pos + 2]) << 8 | uchar(jpeg[pos + 3]);
        if (uchar(jpeg[pos + 1]) == marker)
            jpeg.remove(pos, 2 + length);
        else
            pos += 2 + length;
    }
    return jpeg;
}

std::shared_ptr<const std::vector<std::uint8_t>> cameraBytes(const QByteArray& jpeg) {
    return std::make_shared<const std::vector<std::uint8_t>>(jpeg.begin(), jpeg.end());
}

class JpegWriterTest : public ::testing::Test {
protected:
    QImage colour = colourPage(320, 240);
    // The camera's frame as MJPEG streams often carry it: no APP0 at all.
    QByteArray camera = withoutSegments(encodeJpeg(colour, 80), 0xE0);

    OutputImage cameraCapture(int quality) {
        OutputImage image = outputOf(colour, 300);
        image.cameraJpeg = cameraBytes(camera);
        image.jpegQuality = quality;
        return image;
    }
};

} // namespace

TEST_F(JpegWriterTest, FreshEncodeStoresDensityQualityAndColourKind) {
    for (const QImage& picture : {colour, colour.convertToFormat(QImage::Format_Grayscale8)}) {
        for (int dpi : {72, 300, 600}) {
            OutputImage image = outputOf(picture, dpi);
            image.jpegQuality = 90;
            const QByteArray jpeg = jpegBytes(image);
            const std::optional<Density> density = jfifDensity(jpeg);
            ASSERT_TRUE(density) << dpi;
            EXPECT_EQ(density->units, 1);
            EXPECT_EQ(density->x, dpi);
            EXPECT_EQ(density->y, dpi);
            EXPECT_NEAR(estimateJpegQuality(byteSpan(jpeg)), 90, 3);
            const QImage decoded = QImage::fromData(jpeg, "JPEG");
            EXPECT_EQ(decoded.size(), picture.size());
            EXPECT_EQ(decoded.isGrayscale(), picture.format() == QImage::Format_Grayscale8);
        }
    }
}

TEST_F(JpegWriterTest, PassThroughKeepsTheCameraScanAndAddsJfifAfterSoi) {
    ASSERT_FALSE(jfifDensity(camera));
    const OutputImage image = cameraCapture(90);
    ASSERT_TRUE(passesCameraJpeg(image));
    const QByteArray jpeg = jpegBytes(image);
    const std::optional<Density> density = jfifDensity(jpeg);
    ASSERT_TRUE(density);
    EXPECT_EQ(density->units, 1);
    EXPECT_EQ(density->x, 300);
    EXPECT_EQ(density->y, 300);
    // Only the 18-byte APP0 was added.
    EXPECT_EQ(jpeg.mid(2 + 18), camera.mid(2));

    // An AVI1 APP0 first, as UVC cameras send it: JFIF goes in front, the AVI1 stays.
    const QByteArray avi1("\xFF\xE0\x00\x10"
                          "AVI1\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00",
                          18);
    QByteArray aviCamera = camera;
    aviCamera.insert(2, avi1);
    const QByteArray fromAvi = withJfifDensity(byteSpan(aviCamera), 200);
    ASSERT_TRUE(jfifDensity(fromAvi));
    EXPECT_EQ(jfifDensity(fromAvi)->x, 200);
    EXPECT_EQ(fromAvi.mid(2 + 18), aviCamera.mid(2));

    // A JFIF APP0 is patched in place, not doubled.
    const QByteArray own = encodeJpeg(colour, 80);
    const QByteArray patched = withJfifDensity(byteSpan(own), 150);
    EXPECT_EQ(patched.size(), own.size());
    EXPECT_EQ(jfifDensity(patched)->x, 150);
}

TEST_F(JpegWriterTest, CameraJpegIsCompressedAgainWhenItCannotStandForThePicture) {
    const QByteArray passed = jpegBytes(cameraCapture(90));
    // The user asked for less than the camera's quality: the file must be at the user's.
    const OutputImage lower = cameraCapture(60);
    EXPECT_FALSE(passesCameraJpeg(lower));
    EXPECT_NEAR(estimateJpegQuality(byteSpan(jpegBytes(lower))), 60, 3);

    OutputImage otherSize = cameraCapture(90);
    otherSize.picture = colour.scaled(160, 120);
    EXPECT_FALSE(passesCameraJpeg(otherSize));

    OutputImage grey = cameraCapture(90);
    grey.picture = colour.convertToFormat(QImage::Format_Grayscale8);
    EXPECT_FALSE(passesCameraJpeg(grey));

    // MJPEG without Huffman tables is no complete JPEG file.
    OutputImage noTables = cameraCapture(90);
    noTables.cameraJpeg = cameraBytes(withoutSegments(camera, 0xC4));
    EXPECT_FALSE(passesCameraJpeg(noTables));
    const QByteArray recompressed = jpegBytes(noTables);
    EXPECT_TRUE(hasHuffmanTables(byteSpan(recompressed)));
    EXPECT_NE(recompressed, passed);
}

TEST(JpegMarkers, QualityEstimateMatchesTheEncoderSetting) {
    const QImage colour = colourPage(64, 64);
    for (const QImage& picture : {colour, colour.convertToFormat(QImage::Format_Grayscale8)}) {
        for (int quality : {50, 75, 90, 95})
            EXPECT_NEAR(estimateJpegQuality(byteSpan(encodeJpeg(picture, quality))), quality, 3);
    }
}

TEST(JpegMarkers, DamagedDataGivesEmptyResults) {
    const QByteArray good = encodeJpeg(colourPage(32, 32), 75);
    const QByteArray cases[] = {QByteArray(), QByteArray("not a jpeg"), good.left(40),
                                QByteArray("\xFF\xD8\xFF\xDB\xFF\xFF", 6)};
    for (const QByteArray& bad : cases) {
        EXPECT_TRUE(withJfifDensity(byteSpan(bad), 300).isEmpty());
        EXPECT_EQ(estimateJpegQuality(byteSpan(bad)), 0);
        EXPECT_FALSE(hasHuffmanTables(byteSpan(bad)));
    }
    EXPECT_TRUE(withJfifDensity(byteSpan(good), 0).isEmpty());
    EXPECT_TRUE(withJfifDensity(byteSpan(good), 65536).isEmpty());
    EXPECT_TRUE(encodeJpeg(QImage(8, 8, QImage::Format_RGB32), 80).isEmpty());
}
