#pragma once

#include "process/pageturn/PageTurnDetector.h"

#include <opencv2/core.hpp>

#include <random>
#include <vector>

// Scripted preview streams for the page-turn detector: a page of text on a desk, seen from above
// at 160 x 120 and 15 frames a second, with sensor noise, turned by a hand, passed over, slid
// along, flickering under its lamp or left alone. Each frame is fed to the detector as it is
// drawn; the script records where the detector fired and where the truth allows it to.
namespace pageturn {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kRate = 15; // frames a second

struct Settled {
    int begin = 0; // first sharp, still frame of a new page with the hand gone
    int end = 0;   // one past the last frame of that still
};

// What lies under the camera: a sheet on the desk with desk all around it, or an open book whose
// spread fills the whole view, its print reaching the picture's edges.
enum class Subject { Sheet, Book };

class Script {
public:
    explicit Script(unsigned seed, Subject subject = Subject::Sheet);

    // Scenes; each ends with its picture left alone for `stillFrames`.
    void still(int frames);
    // A hand reaches in, turns the page over to the next one, leaves; the camera refocuses for
    // half a second.
    void turnPage(int stillFrames);
    // A hand comes in from below, crosses the page and leaves it as it was.
    void handPasses(int stillFrames);
    // A hand lifts the leaf halfway, lays it back and leaves: the same page as before.
    void liftLeaf(int stillFrames);
    // A hand rests on the page for `restFrames`, then leaves it as it was.
    void handRests(int restFrames, int stillFrames);
    // The page is pushed along the desk to a new place, by a hand that then leaves.
    void slidePage(int stillFrames);
    // The lamp flickers for `frames`, and ends a little brighter than it was.
    void flicker(int frames, int stillFrames);

    int frames() const { return m_frame; }
    const std::vector<int>& fired() const { return m_fired; }
    // Stills in which exactly one capture is due (after a turn), and in which one is allowed
    // (after a slide: the page lies elsewhere, which may count as laid down anew).
    const std::vector<Settled>& due() const { return m_due; }
    const std::vector<Settled>& allowed() const { return m_allowed; }

private:
    struct Hand {
        bool shown = false;
        cv::Point2f at;   // the back of the hand
        cv::Point2f from; // where the arm leaves the picture
    };
    // Draws the scene with the page's new content right of `newFrom` (page pixels), feeds it and
    // counts it.
    void show(const Hand& hand, double newFrom = 1e9, double blur = 0);
    Settled holdStill(int frames);
    cv::Mat pageContent(int page) const;
    cv::Mat sheetContent(int page) const;
    cv::Mat spreadContent(int spread) const;

    std::mt19937 m_random;
    camcore::PageTurnDetector m_detector;
    cv::Mat m_desk;
    int m_page = 1;
    Subject m_subject;
    cv::Size m_pageSize;
    cv::Point2f m_pageAt; // top-left of the page on the desk
    double m_light = 1.0;
    int m_frame = 0;
    std::vector<int> m_fired;
    std::vector<Settled> m_due;
    std::vector<Settled> m_allowed;
};

} // namespace pageturn
