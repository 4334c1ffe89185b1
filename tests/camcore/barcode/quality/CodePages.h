#pragma once

#include <QImage>

#include <string>
#include <vector>

// Generated pages of codes as a document camera photographs them: a sheet of paper on a desk
// under a lamp, 3264 x 2448, every code the engine reads pasted onto it, seen through one
// condition that makes reading harder. Each page is drawn from a seed, so the same index always
// gives the same pixels; the reader's quality corpus and its benchmark share them.
namespace barcode_corpus {

enum class Condition {
    Plain,        // upright, 3.5 to 5 pixels a module: the easy case
    Rotated,      // each code turned by any angle, 3 to 4 pixels a module to fit the sheet
    Perspective,  // each code seen from a tilted camera: one side up to 35% shorter
    Blurred,      // out of focus: a blur of 0.3 to 0.5 module
    LowContrast,  // faded ink: dark modules at 55 to 70% of the paper's brightness
    Glare,        // a lamp's reflection over part of each code, up to white
    SmallModules, // 1.3 to 2.2 pixels a module
    Crowded,      // two of every code, small and close together
};

constexpr Condition kConditions[] = {
    Condition::Plain, Condition::Rotated,     Condition::Perspective,  Condition::Blurred,
    Condition::Glare, Condition::LowContrast, Condition::SmallModules, Condition::Crowded,
};

const char* conditionName(Condition condition);

// A code on a page: its format and value as the engine reports them.
struct PlacedCode {
    std::string format;
    std::string value;
};

struct Page {
    QImage picture; // Format_Grayscale8, 3264 x 2448
    std::vector<PlacedCode> codes;
    std::string description; // "Rotated page 3", for messages
};

// The full size is asked for with BARCODE_CORPUS_FULL=1; otherwise the CI size.
bool fullCorpus();
int pagesPerCondition();

Page renderPage(Condition condition, int index);

} // namespace barcode_corpus
