#include "OutputTestSupport.h"
#include "support/QtMessages.h"

#include "output/CaptureWriter.h"
#include "output/TiffMemory.h"

#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace camcore;
using namespace output_test;

namespace {

// PNG pHYs: pixels per unit X, Y and the unit (1 = metre); empty without the chunk.
std::optional<std::array<quint32, 3>> pngPhys(const QByteArray& png) {
    for (qsizetype pos = 8; pos + 12 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + pos);
        if (png.mid(pos + 4, 4) == "pHYs" && length == 9) {
            const char* data = png.constData() + pos + 8;
            return std::array<quint32, 3>{qFromBigEndian<quint32>(data),
                                          qFromBigEndian<quint32>(data + 4),
                                          quint32(uchar(data[8]))};
        }
        pos += 12 + qsizetype(length);
    }
    return std::nullopt;
}

QImage asGrey(const QImage& image) {
    return image.convertToFormat(QImage::Format_Grayscale8);
}

template <typename T> T tiffField(TIFF* tiff, ttag_t tag) {
    T value{};
    EXPECT_TRUE(TIFFGetField(tiff, tag, &value)) << tag;
    return value;
}

class FormatsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace

TEST(ImageFormat, ExtensionNamesTheFormatIgnoringCase) {
    EXPECT_EQ(formatFromPath("/a/b.jpg"), ImageFormat::Jpeg);
    EXPECT_EQ(formatFromPath("b.JPEG"), ImageFormat::Jpeg);
    EXPECT_EQ(formatFromPath("b.Png"), ImageFormat::Png);
    EXPECT_EQ(formatFromPath("b.bmp"), ImageFormat::Bmp);
    EXPECT_EQ(formatFromPath("b.tif"), ImageFormat::Tiff);
    EXPECT_EQ(formatFromPath("b.TIFF"), ImageFormat::Tiff);
    EXPECT_EQ(formatFromPath("scan.2024.pdf"), ImageFormat::Pdf);
    for (const char* other : {"b.gif", "b", "", "b.jpg.tmp", "/a.pdf/b", "b.jp"})
        EXPECT_FALSE(formatFromPath(other)) << other;
}

TEST_F(FormatsTest, PngAndBmpStoreDpiAsPixelsPerMetre) {
    for (const QImage& picture : {colourPage(120, 80), greyPage(120, 80)}) {
        ASSERT_EQ(writeCapture(path("a.png"), outputOf(picture, 300)), 1);
        const std::optional<std::array<quint32, 3>> phys = pngPhys(readAll(path("a.png")));
        ASSERT_TRUE(phys);
        EXPECT_EQ((*phys)[0], 11811u); // round(300 / 0.0254)
        EXPECT_EQ((*phys)[1], 11811u);
        EXPECT_EQ((*phys)[2], 1u);

        ASSERT_EQ(writeCapture(path("a.bmp"), outputOf(picture, 200)), 1);
        const QByteArray bmp = readAll(path("a.bmp"));
        ASSERT_GE(bmp.size(), 54);
        EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 38), 7874); // biXPelsPerMeter
        EXPECT_EQ(qFromLittleEndian<qint32>(bmp.constData() + 42), 7874); // biYPelsPerMeter

        for (const char* name : {"a.png", "a.bmp"})
            EXPECT_EQ(QImage(path(name)).convertToFormat(picture.format()), picture) << name;
    }
    EXPECT_EQ(entries(dir.path()), QStringList({"a.bmp", "a.png"}));
}

TEST_F(FormatsTest, BilevelPngAndBmpAreOneBitAndExact) {
    const QImage page = bilevelPage(101, 67); // odd width: rows end in a partial byte
    ASSERT_EQ(writeCapture(path("b.png"), outputOf(page, 300, true)), 1);
    ASSERT_EQ(writeCapture(path("b.bmp"), outputOf(page, 300, true)), 1);
    EXPECT_EQ(uchar(readAll(path("b.png"))[24]), 1); // IHDR bit depth
    EXPECT_EQ(qFromLittleEndian<quint16>(readAll(path("b.bmp")).constData() + 28), 1); // biBitCount
    EXPECT_EQ(asGrey(QImage(path("b.png"))), page);
    EXPECT_EQ(asGrey(QImage(path("b.bmp"))), page);
}

TEST_F(FormatsTest, TiffStoresResolutionAndLosslessPixels) {
    const QImage colour = colourPage(150, 90);
    for (const QImage& picture : {colour, asGrey(colour)}) {
        ASSERT_EQ(writeCapture(path("c.tif"), outputOf(picture, 400)), 1);
        {
            const TiffHandle tiff(TIFFOpen(path("c.tif").toLocal8Bit(), "r"));
            ASSERT_TRUE(tiff);
            EXPECT_FLOAT_EQ(tiffField<float>(tiff.get(), TIFFTAG_XRESOLUTION), 400.f);
            EXPECT_FLOAT_EQ(tiffField<float>(tiff.get(), TIFFTAG_YRESOLUTION), 400.f);
            EXPECT_EQ(tiffField<uint16_t>(tiff.get(), TIFFTAG_RESOLUTIONUNIT), RESUNIT_INCH);
            EXPECT_EQ(tiffField<uint16_t>(tiff.get(), TIFFTAG_COMPRESSION),
                      COMPRESSION_ADOBE_DEFLATE);
        }
        EXPECT_EQ(QImage(path("c.tif")).convertToFormat(picture.format()), picture);
    }
}

TEST_F(FormatsTest, BilevelTiffIsOneBitGroup4AndExact) {
    const QImage page = bilevelPage(203, 111);
    ASSERT_EQ(writeCapture(path("d.tiff"), outputOf(page, 300, true)), 1);
    const TiffHandle tiff(TIFFOpen(path("d.tiff").toLocal8Bit(), "r"));
    ASSERT_TRUE(tiff);
    EXPECT_EQ(tiffField<uint16_t>(tiff.get(), TIFFTAG_COMPRESSION), COMPRESSION_CCITTFAX4);
    EXPECT_EQ(tiffField<uint16_t>(tiff.get(), TIFFTAG_BITSPERSAMPLE), 1);
    EXPECT_EQ(tiffField<uint16_t>(tiff.get(), TIFFTAG_PHOTOMETRIC), PHOTOMETRIC_MINISWHITE);
    EXPECT_FLOAT_EQ(tiffField<float>(tiff.get(), TIFFTAG_XRESOLUTION), 300.f);
    // Decoded by libtiff itself: 1 bits are black.
    const tmsize_t rowBytes = TIFFScanlineSize(tiff.get());
    std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
    int wrong = 0;
    for (int y = 0; y < page.height(); ++y) {
        ASSERT_EQ(TIFFReadScanline(tiff.get(), row.data(), uint32_t(y), 0), 1);
        for (int x = 0; x < page.width(); ++x) {
            const bool black = row[size_t(x) >> 3] & (0x80 >> (x & 7));
            wrong += black != (page.pixelColor(x, y).value() == 0);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(FormatsTest, ImageFileSizeReadsHeadersOnly) {
    const OutputImage image = outputOf(colourPage(64, 48));
    for (const char* name : {"s.jpg", "s.png", "s.bmp", "s.tif"}) {
        ASSERT_EQ(writeCapture(path(name), image), 1) << name;
        EXPECT_EQ(imageFileSize(path(name)), QSize(64, 48)) << name;
    }
    ASSERT_EQ(writeCapture(path("s.pdf"), image), 1);
    EXPECT_EQ(imageFileSize(path("s.pdf")), QSize(64, 48));
    QFile garbage(path("g.jpg"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\xFF\xD8 garbage");
    garbage.close();
    const testing_support::ExpectQtWarning corrupt("JPEG");
    for (const char* name : {"g.jpg", "missing.png"})
        EXPECT_FALSE(imageFileSize(path(name))) << name;
}
