#pragma once

#include "output/OutputImage.h"

#include <QByteArray>
#include <QImage>

namespace camcore {

// A complete TIFF file of `image`, with XResolution/YResolution = dpi per inch:
// - colour: 8-bit RGB, Deflate with horizontal differencing (lossless; TiffEncoder.cpp says why);
// - grey: 8-bit, same compression;
// - bilevel: 1-bit CCITT Group 4, white is zero (PhotometricInterpretation WhiteIsZero).
// Empty when !isWritable(image) or libtiff fails.
QByteArray encodeTiff(const OutputImage& image);

// The CCITT Group 4 data of a bilevel picture (Grayscale8, values below 128 are black),
// coded by libtiff as one strip, most significant bit first, white runs for white pixels: what
// a PDF /CCITTFaxDecode filter with /K -1 /BlackIs1 false expects. Empty on failure.
QByteArray encodeGroup4(const QImage& bilevel);

} // namespace camcore
