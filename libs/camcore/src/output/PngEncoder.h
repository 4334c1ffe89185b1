#pragma once

#include "output/OutputImage.h"

#include <QByteArray>

namespace camcore {

// The PNG file of `image`: 8-bit RGB for colour, 8-bit grey, or 1-bit grey for a bilevel
// picture (values below 128 black), with the DPI as pHYs in pixels per metre. Each row is
// stored with the "up" filter and the whole is deflated by libdeflate at level 1. Empty when
// !isWritable(image) or memory runs out.
QByteArray encodePng(const OutputImage& image);

} // namespace camcore
