#include "output/ImageFormat.h"

#include <QFileInfo>

namespace camcore {

std::optional<ImageFormat> formatFromPath(const QString& path) {
    // suffix(), not completeSuffix(): "scan.2024.pdf" is a PDF.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"jpg" || suffix == u"jpeg")
        return ImageFormat::Jpeg;
    if (suffix == u"png")
        return ImageFormat::Png;
    if (suffix == u"bmp")
        return ImageFormat::Bmp;
    if (suffix == u"tif" || suffix == u"tiff")
        return ImageFormat::Tiff;
    if (suffix == u"pdf")
        return ImageFormat::Pdf;
    return std::nullopt;
}

} // namespace camcore
