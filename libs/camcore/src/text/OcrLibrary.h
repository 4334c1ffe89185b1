#pragma once

#include "QuilOcr.h"

namespace camcore {

// The entries of the OCR library (libQuilOCR.so) the engine uses, found beside the engine and
// loaded on first use, for the life of the process (the program links it anyway). An entry the
// library lacks, or every entry when the library is missing, is null: said once on the
// terminal, and the captures go on without text or turning.
struct OcrLibrary {
    int (*words)(const char* imagePath, int maxWidth, int scripts,
                 const QuilOcrWord** words) = nullptr;
    int (*orientation)(const char* imagePath, int* scripts) = nullptr;
};

const OcrLibrary& ocrLibrary();

} // namespace camcore
