#pragma once

#include "output/OutputImage.h"

#include <QByteArray>

namespace camcore {

// BMP (and PNG) through Qt's image writers, which store the picture's dots per metre as PNG
// pHYs and as the BMP header's biXPelsPerMeter/biYPelsPerMeter. Bilevel pictures are stored
// with one bit per pixel. `format` is "png" or "bmp". Empty when !isWritable(image) or the
// writer fails. PNG captures are written by encodePng (PngEncoder.h) in a quarter of the time;
// "png" here stays as capture_output_bench's measure of Qt's writer.
QByteArray encodeWithQt(const OutputImage& image, const char* format);

// `picture` (Grayscale8, 0 = black) as Format_Mono with a black/white colour table: values
// below 128 become black.
QImage toMono(const QImage& picture);

} // namespace camcore
