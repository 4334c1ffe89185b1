#include "output/PdfImage.h"

#include "output/JpegWriter.h"
#include "output/TiffEncoder.h"

namespace camcore {

std::optional<PdfImage> pdfImageFor(const OutputImage& image) {
    if (!isWritable(image))
        return std::nullopt;
    PdfImage page;
    page.width = image.picture.width();
    page.height = image.picture.height();
    if (image.bilevel) {
        page.kind = PdfImage::Kind::Group4;
        page.data = encodeGroup4(image.picture);
    } else {
        // jpegBytes() only passes a camera JPEG through when its colour kind matches the
        // picture's, so the picture's format names the colour space of the data.
        page.kind = image.picture.format() == QImage::Format_Grayscale8 ? PdfImage::Kind::JpegGrey
                                                                        : PdfImage::Kind::JpegRgb;
        page.data = jpegBytes(image);
    }
    if (page.data.isEmpty())
        return std::nullopt;
    return page;
}

} // namespace camcore
