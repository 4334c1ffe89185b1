#pragma once

#include "output/OutputImage.h"

#include <vector>

namespace camcore {

// The words on a capture, for the text layer of a searchable PDF page, read by the OCR library
// (libQuilOCR.so, found beside the engine and loaded on first use) on a copy of at most 1,600
// pixels, with boxes in the picture's pixels. Empty when the library or its language models are
// missing, or nothing legible is on the page: the page is then saved without text. Blocks for
// the recognition (about half a second for a page).
std::vector<PdfWord> recognisePageWords(const OutputImage& image);

} // namespace camcore
