#include "output/JpegWriter.h"

#include "output/JpegMarkers.h"

#include "pipeline/TurboJpeg.h"

namespace camcore {

namespace {

bool matchesPicture(std::span<const std::uint8_t> jpeg, const QImage& picture) {
    // A handle per call: creating one costs microseconds against milliseconds of coding, and
    // keeps the writers free of shared state between camera threads.
    const TjHandle tj(tjInitDecompress());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (!tj || tjDecompressHeader3(tj.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                                   &width, &height, &subsampling, &colorspace) != 0)
        return false;
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    const bool colourMatches =
        grey ? colorspace == TJCS_GRAY : (colorspace == TJCS_YCbCr || colorspace == TJCS_RGB);
    return width == picture.width() && height == picture.height() && colourMatches;
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
    const int cameraQuality = estimateJpegQuality(jpeg);
    return cameraQuality > 0 && image.jpegQuality >= cameraQuality && hasHuffmanTables(jpeg) &&
           matchesPicture(jpeg, image.picture);
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
