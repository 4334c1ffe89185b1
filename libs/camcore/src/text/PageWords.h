#pragma once

#include "output/OutputImage.h"

#include <vector>

namespace camcore {

// The words on a capture, for the text layer of a searchable PDF page, read by the OCR library
// (libQuilOCR.so, found beside the engine and loaded on first use) on a copy of at most 1,600
// pixels, with boxes in the picture's pixels. Empty when the library or its language models are
// missing, or nothing legible is on the page: the page is then saved without text. With `latin`
// (the page's text is known to be in Latin letters only) English alone reads it, in less than
// half the time. Blocks for the recognition (one to two seconds for a page of a book).
std::vector<PdfWord> recognisePageWords(const OutputImage& image, bool latin = false);
// False when the OCR library or its reading entry is missing: pages are then saved without text.
bool canRecogniseWords();
// While hidden, the engine acts as if the OCR library were missing (for tests of that case).
void hideWordReader(bool hidden);

} // namespace camcore
