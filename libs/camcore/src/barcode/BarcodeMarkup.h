#pragma once

#include "barcode/BarcodeReader.h"

#include <string>
#include <vector>

namespace camcore {

// The text the engine answers for a reading: empty when there is no code, otherwise an XML
// document whose root holds one <barcode type="FORMAT">value</barcode> per code, in the given
// order. Values are escaped, and characters XML forbids (such as the GS separator of GS1 codes)
// become U+FFFD, so the text always parses.
std::string barcodeMarkup(const std::vector<FoundCode>& codes);

// `text` (UTF-8) as XML character data or attribute value.
std::string xmlEscaped(const std::string& text);

} // namespace camcore
