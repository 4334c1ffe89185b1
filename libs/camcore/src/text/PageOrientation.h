#pragma once

#include <QImage>

namespace camcore {

// What the OCR library's orientation model sees on a reduced copy of a page. Takes a few tenths
// of a second.
struct PageLook {
    // The clockwise turn (0, 90, 180 or 270 degrees) that brings the page upright, when its text
    // shows it lies sideways or upside down; 0 when it is upright, has too little text to tell,
    // or the library is missing.
    int turn = 0;
    // The text is all in Latin letters: its words are read with English alone (PageWords.h).
    bool latin = false;
};
PageLook lookAtPage(const QImage& page);

} // namespace camcore
