#pragma once

#include "Modes.h"

namespace camcore {

// How captures of a camera are made; set through the flat API, used when a picture is saved.
struct CaptureSettings {
    int dpi = 200;
    int jpegQuality = 75;
    bool resize = false;
    float resizeRatio = 1.0F;
    bool autoCrop = false;        // find the page, cut it out and straighten it
    bool cleanBackground = false; // even out the light and whiten the paper
    bool splitCapture = false;    // a book spread becomes two pages
    bool dewarp = false;          // a page curving into a book's spine is flattened
    CaptureMode captureMode = CaptureMode::Page;
    PdfMode pdfMode = PdfMode::OnePerFile;
    bool pdfText = false;    // PDF pages carry the recognised words as invisible, searchable text
    bool autoOrient = false; // pages lying sideways or upside down are turned upright
};

} // namespace camcore
