#pragma once

// Where the language models are: beside the program first, so an installed copy can bring its
// own, then where Tesseract's own packages put them.

#include <string>

namespace quilocr {

struct LanguageData {
    std::string folder;    // ends with '/'; empty when no models were found
    std::string languages; // "chi_sim+eng", or "eng" when only English is there
};

// Looks in <programDir>tessdata/, $TESSDATA_PREFIX, then the system's tessdata folders for the
// first folder with the English model.
LanguageData findLanguageData(const std::string& programDir);

} // namespace quilocr
