#pragma once

#include "CodePages.h"

#include <vector>

namespace barcode_corpus {

// What a reader got right on a page: each placed code matches at most one report of its format
// and value; reports left over name codes that are not on the page.
struct Score {
    std::vector<PlacedCode> found;
    std::vector<PlacedCode> misread;
};

Score score(const std::vector<PlacedCode>& placed, const std::vector<PlacedCode>& reported);

} // namespace barcode_corpus
