#include "output/JpegWriter.h"

#include "output/JpegMarkers.h"

#include "pipeline/TurboJpeg.h"

#include <optional>

namespace camcore {

namespace {

struct JpegHeader {
    int width = 0;
    int height = 0;
    bool grey = false;
};

std::optional<JpegHeader> headerOf(std::span<const std::uint8_t> jpeg) {
    // A handle per call: creating one costs microseconds against milliseconds of coding, and
    // keeps the writers free of shared state between camera threads.
    const TjHandle tj(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!tj || tjDecompressHeader3(tj.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                                   &width, &height, &subsampling, &colorspace) != 0)
        return std::nullopt;
    if (colorspace != TJCS_GRAY && colorspace != TJCS_YCbCr && colorspace != TJCS_RGB)
        return std::nullopt;
    return JpegHeader{width, height, colorspace == TJCS_GRAY};
}

bool matchesPicture(std::span<const std::uint8_t> jpeg, const QImage& picture) {
    const std::optional<JpegHeader> header = headerOf(jpeg);
    return header && header->width == picture.width() && header->height == picture.height() &&
           header->grey == (picture.format() == QImage::Format_Grayscale8);
}

// Storing the camera's bytes loses nothing the user asked for.
bool goodEnough(std::span<const std::uint8_t> jpeg, int quality) {
    const int cameraQuality = estimateJpegQuality(jpeg);
    return cameraQuality > 0 && quality >= cameraQuality && hasHuffmanTables(jpeg);
}

} // namespace

QByteArray encodeJpeg(const QImage& picture, int quality) {
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    if (picture.isNull() || (!grey && picture.format() != QImage::Format_RGB888) || quality < 1 ||
        quality > 100)
        return {};
    const TjHandle tj(tjInitCompress());
    if (!tj)
        return {};
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(tj.get(), picture.constBits(), picture.width(),
                                   static_cast<int>(picture.bytesPerLine()), picture.height(),
                                   grey ? TJPF_GRAY : TJPF_RGB, &out, &size,
                                   grey ? TJSAMP_GRAY : TJSAMP_420, quality, 0);
    const TjBuffer owned(out);
    if (result != 0 || !out)
        return {};
    return QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
}

bool passesCameraJpeg(const OutputImage& image) {
    if (!image.cameraJpeg || image.cameraJpeg->empty() || !isWritable(image))
        return false;
    const std::span<const std::uint8_t> jpeg(*image.cameraJpeg);
    return goodEnough(jpeg, image.jpegQuality) && matchesPicture(jpeg, image.picture);
}

QByteArray cameraJpegFile(std::span<const std::uint8_t> jpeg, int quality, int dpi) {
    if (jpeg.empty() || quality < 1 || quality > 100 || dpi < 1 || dpi > kMaxDpi ||
        !goodEnough(jpeg, quality))
        return {};
    const std::optional<JpegHeader> header = headerOf(jpeg);
    if (!header || header->grey)
        return {};
    return withJfifDensity(jpeg, dpi);
}

QByteArray jpegBytes(const OutputImage& image) {
    if (!isWritable(image))
        return {};
    if (passesCameraJpeg(image)) {
        QByteArray passed = withJfifDensity(*image.cameraJpeg, image.dpi);
        if (!passed.isEmpty())
            return passed;
    }
    const QByteArray encoded = encodeJpeg(image.picture, image.jpegQuality);
    return encoded.isEmpty() ? QByteArray() : withJfifDensity(byteSpan(encoded), image.dpi);
}

} // namespace camcore
