// PNG captures (encodePng): the pixels come back exactly from every reader a user's program
// may use, with the DPI and one bit a pixel for black and white.

#include "OutputTestSupport.h"

#include "output/CaptureWriter.h"
#include "output/StoredImage.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <png.h>

#include <string>

using namespace camcore;
using namespace output_test;

namespace {

// The picture's pixels, rows without padding: what libpng and ImageMagick give back.
QByteArray packedPixels(const QImage& picture) {
    const qsizetype rowBytes = qsizetype(picture.width()) * (picture.depth() / 8);
    QByteArray out;
    for (int y = 0; y < picture.height(); ++y)
        out.append(reinterpret_cast<const char*>(picture.constScanLine(y)), rowBytes);
    return out;
}

// The file as libpng's own reader decodes it, 8 bits a channel (1-bit grey widened to 0/255);
// empty when libpng refuses the file, with its message in `error`.
QByteArray libpngPixels(const QString& path, bool colour, QSize& size, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, QFile::encodeName(path).constData())) {
        error = image.message;
        return {};
    }
    image.format = colour ? PNG_FORMAT_RGB : PNG_FORMAT_GRAY;
    QByteArray pixels(qsizetype(PNG_IMAGE_SIZE(image)), '\0');
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        error = image.message;
        return {};
    }
    size = QSize(int(image.width), int(image.height));
    return pixels;
}

bool imageMagickInstalled() {
    const ToolRun version = runTool("convert", {"-version"});
    return version.exitCode == 0 && version.out.contains("ImageMagick");
}

struct Case {
    const char* name;
    QImage picture; // RGB888 or Grayscale8
    bool bilevel;
    int dpi;
    int colourType; // IHDR
    int bitDepth;
};

} // namespace

TEST(Png, EveryReaderGetsThePixelsAndTheDpiBackExactly) {
    // Odd sizes, so rows of the bilevel picture end in a partial byte; noise that barely
    // compresses, so its data spans two IDAT chunks.
    const Case cases[] = {{"colour", colourPage(301, 203), false, 72, 2, 8},
                          {"grey", greyPage(301, 203), false, 600, 0, 8},
                          {"bilevel", bilevelPage(301, 203), true, kMaxDpi, 0, 1},
                          {"noise", noise(700, 600, 11), false, 1, 2, 8}};
    QTemporaryDir dir;
    const bool magick = imageMagickInstalled();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString(c.name) + ".png");
        ASSERT_EQ(writeCapture(path, outputOf(c.picture, c.dpi, c.bilevel)), 1);
        const QByteArray file = readAll(path);
        ASSERT_GE(file.size(), 33);
        EXPECT_EQ(file.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(file.mid(12, 4), "IHDR");
        EXPECT_EQ(int(uchar(file[24])), c.bitDepth);
        EXPECT_EQ(int(uchar(file[25])), c.colourType);
        const bool colour = c.picture.format() == QImage::Format_RGB888;

        // Qt, as the program itself reads files back (StoredImage), with the DPI and the
        // one-bit storage that marks black and white.
        const std::optional<StoredImage> stored = readImageFile(path);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->picture, c.picture);
        EXPECT_EQ(stored->dpi, c.dpi);
        EXPECT_EQ(stored->bilevel, c.bilevel);

        // libpng, which checks every chunk's CRC and the zlib stream's Adler-32.
        QSize size;
        std::string error;
        const QByteArray pixels = libpngPixels(path, colour, size, error);
        EXPECT_EQ(error, "");
        EXPECT_EQ(size, c.picture.size());
        EXPECT_TRUE(pixels == packedPixels(c.picture));

        if (!magick)
            continue; // ImageMagick is installed by scripts/install-deps for the benchmarks
        const QString raw = dir.filePath(QString(c.name) + ".raw");
        const ToolRun run =
            runTool("convert", {path, "-depth", "8", QString(colour ? "rgb:" : "gray:") + raw});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(readAll(raw) == packedPixels(c.picture)) << "ImageMagick";
    }
}
