#pragma once

// Turning the picture the caller hands over into what Tesseract reads best: grey, with its text
// at the height the models were trained on, and with the light of the room taken out.

#include "Handles.h"

#include <string>

namespace quilocr {

// The picture in the file, or null when the file is missing or holds no picture.
PixHandle readPicture(const std::string& path);

struct Prepared {
    PixHandle pix;    // what Tesseract reads
    double scale = 1; // prepared pixels per pixel of the file
};

// `readWidth` is the width the picture is read as (a wider picture is first treated as if reduced
// to it); 0 reads it at its own width. With `straighten`, a page lying a few degrees askew is
// turned level (only where no box has to map back to the file). Null pix when the picture cannot
// be converted.
Prepared prepare(Pix& picture, int readWidth, bool straighten);

} // namespace quilocr
