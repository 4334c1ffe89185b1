#pragma once

// Owning types for the handles of Tesseract and Leptonica: each is released by the library's own
// release function when it goes, so no path frees one by hand.

#include "common/Owned.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>

namespace quilocr {

template <typename T, auto Release> using CHandle = common::Owned<T*, Release>;

// Leptonica releases through a pointer to the pointer, which it clears.
inline void destroyPix(Pix* pix) {
    pixDestroy(&pix);
}
using PixHandle = CHandle<Pix, destroyPix>;

inline void destroyBoxa(Boxa* boxes) {
    boxaDestroy(&boxes);
}
using BoxaHandle = CHandle<Boxa, destroyBoxa>;

// End() frees the language models before the object goes.
inline void endTesseract(tesseract::TessBaseAPI* api) {
    api->End();
    delete api;
}
using TesseractHandle = CHandle<tesseract::TessBaseAPI, endTesseract>;

// Text that Tesseract allocates with new[].
inline void deleteText(char* text) {
    delete[] text;
}
using TextHandle = CHandle<char, deleteText>;

} // namespace quilocr
