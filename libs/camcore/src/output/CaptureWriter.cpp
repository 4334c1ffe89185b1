#include "output/CaptureWriter.h"

#include "output/AtomicFile.h"
#include "output/JpegWriter.h"
#include "output/PdfDocument.h"
#include "output/PdfImage.h"
#include "output/PdfSections.h"
#include "output/PngEncoder.h"
#include "output/QtImageEncoder.h"
#include "output/StoredImage.h"
#include "output/TiffEncoder.h"

#include <QImageReader>

namespace camcore {

QByteArray encodeCapture(ImageFormat format, const OutputImage& image) {
    switch (format) {
    case ImageFormat::Jpeg:
        return jpegBytes(image);
    case ImageFormat::Png:
        return encodePng(image);
    case ImageFormat::Bmp:
        return encodeWithQt(image, "bmp");
    case ImageFormat::Tiff:
        return encodeTiff(image);
    case ImageFormat::Pdf: {
        const std::optional<PdfImage> page = pdfImageFor(image);
        return page ? appendPage({}, *page, image.dpi, image.words).bytes : QByteArray();
    }
    }
    return {};
}

int writeCapture(const QString& path, const OutputImage& image, PdfDocument* multiPage) {
    const std::optional<ImageFormat> format = formatFromPath(path);
    if (!format || !isWritable(image))
        return 0;
    if (*format == ImageFormat::Pdf && multiPage)
        return multiPage->append(image, path) ? 1 : 0;
    const QByteArray bytes = encodeCapture(*format, image);
    return !bytes.isEmpty() && writeFileAtomically(path, bytes) ? 1 : 0;
}

std::optional<QSize> imageFileSize(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.canRead() ? reader.size() : pdfImageSize(path).value_or(QSize());
    if (!size.isValid() || size.isEmpty())
        return std::nullopt;
    return size;
}

} // namespace camcore
