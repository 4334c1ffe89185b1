#pragma once

#include <QImage>
#include <QRect>

#include <chrono>
#include <string>
#include <vector>

namespace camcore {

// One code found in a picture: its symbology as the markup names it ("QRCode", "EAN-13"), its
// value as UTF-8, and the box it occupies.
struct FoundCode {
    std::string format;
    std::string text;
    QRect box;
};

// Every code of the formats the engine reads (QR, Data Matrix, PDF417, Aztec, Code 128, Code 39,
// Code 93, EAN/UPC, ITF, Codabar) in `picture`, in reading order: rows from top to bottom, each
// row from left to right. Any QImage format; a null picture has none.
std::vector<FoundCode> readCodes(const QImage& picture);

// A reading with one time limit for the whole of it: a search still going at the limit is
// stopped, and the reading ends there with the codes found so far.
struct CodeReading {
    std::vector<FoundCode> codes;
    bool timedOut = false;
};
CodeReading readCodesWithin(const QImage& picture, std::chrono::milliseconds limit);

// Orders codes as a reader sees a page: codes whose vertical extents overlap share a row.
void sortInReadingOrder(std::vector<FoundCode>& codes);

} // namespace camcore
