#include "output/StoredImage.h"

#include "output/PdfReader.h"

#include <QFile>
#include <QImageReader>

#include <cmath>

namespace camcore {

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bilevel pictures come back from TIFF and PNG as 1-bit images; the stages want one byte a
// pixel, and colour only where there is colour.
std::optional<StoredImage> fromDecoded(QImage decoded, int dpi) {
    if (decoded.isNull())
        return std::nullopt;
    StoredImage image;
    image.dpi = dpi;
    image.bilevel = decoded.depth() == 1;
    image.picture = decoded.convertToFormat(decoded.allGray() ? QImage::Format_Grayscale8
                                                              : QImage::Format_RGB888);
    return image;
}

int dpiOf(const QImage& decoded) {
    return static_cast<int>(std::lround(decoded.dotsPerMeterX() * 0.0254));
}

} // namespace

std::optional<StoredImage> readImageFile(const QString& path) {
    const QByteArray bytes = fileBytes(path);
    if (bytes.startsWith("%PDF-")) {
        const std::optional<PdfImageData> page = singlePdfImage(bytes);
        if (!page)
            return std::nullopt;
        return fromDecoded(QImage::fromData(page->file, page->isTiff ? "TIFF" : "JPEG"), page->dpi);
    }
    QImage decoded;
    if (!decoded.loadFromData(bytes))
        return std::nullopt;
    return fromDecoded(decoded, dpiOf(decoded));
}

std::optional<QSize> pdfImageSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.peek(5) != "%PDF-")
        return std::nullopt;
    const std::optional<PdfImageData> page = singlePdfImage(file.readAll(), false);
    if (!page)
        return std::nullopt;
    return page->size;
}

} // namespace camcore
