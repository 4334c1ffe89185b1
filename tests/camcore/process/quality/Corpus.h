#pragma once

#include <opencv2/core.hpp>

#include <array>
#include <string>
#include <vector>

// A generated corpus of document scenes whose truth is known: pages, cards and open books
// lying on desks of many kinds, photographed from above by a 3264 x 2448 camera. Scenes are
// described at that size and rendered at any scale, so each check renders them no larger than
// what it looks at.
namespace corpus {

constexpr int kFrameWidth = 3264;
constexpr int kFrameHeight = 2448;

enum class Kind { Page, Card, CardPair, Spread };

// Classes of the flat content of a sheet, for judging what cleaning did to each part.
enum Region : unsigned char {
    Paper = 0,
    Ink = 1, // text and lines
    Photo = 2,
    Stamp = 3,     // red ink
    Highlight = 4, // a yellow marker stroke
    DarkBox = 5,   // a large filled box: where a halo would show
    Near = 6,      // paper within a few pixels of anything printed
    Edge = 7,      // the outer 2% of the sheet, where a cut may show the desk
    Outside = 255,
};

struct Scene {
    int index = 0;
    Kind kind = Kind::Page;
    double angle = 0; // degrees the (first) sheet is turned
    bool hand = false;
    std::string description; // for failure messages: "page 12: wood desk, 21 degrees, hand"
};

// The 200 scenes: 110 pages, 20 single cards, 20 card pairs, 50 book spreads.
std::vector<Scene> scenes();

struct Sheet {
    // Corners in frame pixels of the full 3264 x 2448 frame, pixel centres at integers:
    // top-left, top-right, bottom-right, bottom-left of the sheet (a card's corners are those
    // of its rectangle before rounding; a spread's the outer corners of the two pages).
    std::array<cv::Point2d, 4> corners;
    // Flat content at the rendered scale and its homography to the rendered frame (pixel
    // centres at integers on both sides).
    cv::Mat content; // CV_8UC3, RGB
    cv::Mat regions; // CV_8UC1, Region per content pixel
    cv::Matx33d contentToFrame;
    // Text lines in content pixels: each line's start and end on its baseline.
    std::vector<std::array<cv::Point2d, 2>> baselines;
    std::vector<std::string> text; // the words of each line, for reading back
};

struct Rendered {
    cv::Mat frame; // CV_8UC3, RGB, 3264 x 2448 times the scale
    cv::Mat hand;  // CV_8UC1, 255 where a hand covers the frame
    double scale = 1;
    std::vector<Sheet> sheets; // a card pair has two
    // For spreads: the spine where it meets the spread's top and bottom, full-frame pixels.
    std::array<cv::Point2d, 2> spine;
};

// Renders a scene at `scale` of the full frame (0.2 gives 652 x 489). Needs a QGuiApplication.
Rendered render(const Scene& scene, double scale);

// Rendered-frame pixel coordinates to full-frame ones and back (pixel centres at integers).
cv::Point2d toFull(cv::Point2d rendered, double scale);
cv::Point2d toRendered(cv::Point2d full, double scale);

} // namespace corpus
