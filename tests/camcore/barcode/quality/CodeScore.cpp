#include "CodeScore.h"

namespace barcode_corpus {

Score score(const std::vector<PlacedCode>& placed, const std::vector<PlacedCode>& reported) {
    Score result;
    std::vector<bool> matched(placed.size(), false);
    for (const PlacedCode& code : reported) {
        std::size_t i = 0;
        while (i < placed.size() &&
               (matched[i] || placed[i].format != code.format || placed[i].value != code.value))
            ++i;
        if (i == placed.size()) {
            result.misread.push_back(code);
        } else {
            matched[i] = true;
            result.found.push_back(code);
        }
    }
    return result;
}

} // namespace barcode_corpus
