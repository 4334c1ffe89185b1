#pragma once

#include "output/OutputImage.h"

#include <QByteArray>

#include <optional>

namespace camcore {

// A picture as a PDF image XObject: its compressed data and the filter that reads it.
struct PdfImage {
    enum class Kind {
        JpegRgb,  // /DCTDecode, /DeviceRGB
        JpegGrey, // /DCTDecode, /DeviceGray
        Group4,   // /CCITTFaxDecode /K -1, 1-bit /DeviceGray
    };
    Kind kind = Kind::JpegRgb;
    int width = 0;
    int height = 0;
    QByteArray data;
};

// Colour and grey pictures carry the same JPEG bytes a JPEG capture of `image` writes
// (jpegBytes()), so the page holds no second generation of compression; bilevel pictures carry
// CCITT Group 4 data (34 KB for a binarised 3264x2448 page whose colour JPEG takes 1.6 MB).
// Empty when !isWritable(image) or compression fails.
std::optional<PdfImage> pdfImageFor(const OutputImage& image);

} // namespace camcore
