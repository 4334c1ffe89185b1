#include "output/OutputImage.h"

#include <cmath>

namespace camcore {

bool isWritable(const OutputImage& image) {
    const QImage::Format format = image.picture.format();
    if (image.picture.isNull() ||
        (format != QImage::Format_RGB888 && format != QImage::Format_Grayscale8))
        return false;
    if (image.bilevel && format != QImage::Format_Grayscale8)
        return false;
    return image.dpi >= 1 && image.dpi <= kMaxDpi && image.jpegQuality >= 1 &&
           image.jpegQuality <= 100;
}

int dotsPerMeter(int dpi) {
    return static_cast<int>(std::lround(dpi / 0.0254));
}

} // namespace camcore
