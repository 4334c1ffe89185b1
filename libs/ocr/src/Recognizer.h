#pragma once

// Tesseract engines of the library: started on a recognizer's first recognition and kept for
// the life of the process. Not thread-safe: one thread at a time borrows a recognizer from the
// pool (RecognizerPool.h).
//
// Started late on purpose: fnInit runs in the program's start-up, where finding the language
// data costs 0.9 us, while starting the engine (loading chi_sim and eng) costs about 200 ms of
// wall time here (151 ms CPU; bench/ocr_bench). Every start-up would pay that, OCR used or not;
// the first recognition, which takes 1.6 s a page anyway, pays it instead.

#include "Handles.h"
#include "LanguageData.h"

#include <string>
#include <vector>

namespace quilocr {

struct Word {
    std::string text;                             // UTF-8
    int left = 0, top = 0, right = 0, bottom = 0; // pixels of the picture read, right/bottom past
    float confidence = 0;                         // 0 to 100
    int line = 0;                                 // text line, counted from 0 in reading order
};

// What the orientation model sees on a page: the clockwise turn in degrees (0, 90, 180, 270)
// that brings its text upright, -1 when it cannot tell; and whether the text is all in Latin
// letters, so English alone reads it.
struct PageLook {
    int turn = -1;
    bool latin = false;
};

class Recognizer {
public:
    Recognizer();

    // Chooses the language data; takes effect while no engine has started.
    void setProgramDir(const std::string& programDir);

    // Empty when the engine cannot start (no language data). With `latinOnly` the page is read
    // with the English model alone: over twice as fast as with the Chinese one beside it, which
    // reads every word first.
    std::string text(Pix& picture);
    std::vector<Word> words(Pix& picture, bool latinOnly = false);
    // Nothing found (turn -1, not Latin) when the orientation model is missing or the page has
    // too little text to tell.
    PageLook look(Pix& picture);

private:
    // One Tesseract engine, started on first use; an engine that failed to start is not tried
    // again on every call.
    struct Engine {
        TesseractHandle api;
        bool failed = false;
    };
    static void endEngines();
    tesseract::TessBaseAPI* start(Engine& engine, const std::string& languages,
                                  tesseract::OcrEngineMode mode, tesseract::PageSegMode layout);
    tesseract::TessBaseAPI* reader(bool latinOnly);
    tesseract::TessBaseAPI* orientationEngine();
    bool read(tesseract::TessBaseAPI& api, Pix& picture);

    std::string m_programDir;
    LanguageData m_data = findLanguageData({});
    Engine m_all;         // every language found
    Engine m_latin;       // English alone
    Engine m_orientation; // the orientation and script model
};

} // namespace quilocr
