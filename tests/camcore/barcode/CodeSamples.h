#pragma once

#include <QImage>
#include <QString>

#include <ZXing/BarcodeFormat.h>

#include <string>
#include <vector>

// Codes of every format the engine reads, drawn with zxing-cpp's encoders, for the reader's
// tests and its quality corpus.
namespace barcode_test {

struct Sample {
    ZXing::BarcodeFormat format;
    std::string name;  // as the engine's markup names the format
    std::string value; // UTF-8, as the engine reports it
};

// One sample per format, linear and matrix codes alike.
const std::vector<Sample>& samples();

// `value` as black modules on white, each module `modulePixels` wide, with a quiet zone; linear
// codes are `barHeight` pixels tall (0: a third of their width).
QImage drawCode(ZXing::BarcodeFormat format, const std::string& value, int modulePixels,
                int barHeight = 0);

} // namespace barcode_test
