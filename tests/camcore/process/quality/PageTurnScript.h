#pragma once

#include "process/pageturn/PageTurnDetector.h"

#include <opencv2/core.hpp>

#include <random>
#include <vector>

// Scripted preview streams for the page-turn detector: a page of text on a desk, or an open book,
// seen from above at 160 x 120 and 15 frames a second, with sensor noise, turned by a hand,
// passed over, slid along, flickering under its lamp or left alone. Each frame is fed to the
// detector as it is drawn; the script records where the detector fired and what lay still where.
namespace pageturn {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kRate = 15; // frames a second

struct Settled {
    int begin = 0; // first sharp, still frame of a new page with the hand gone
    int end = 0;   // one past the last frame of that still
    int page = 0;  // the page or spread lying there, 0 for the empty desk
};

// What lies under the camera: a sheet on the desk with desk all around it; an open book whose
// spread fills the whole view, its print reaching the picture's edges; or an open book of plain
// prose lying on the desk, its pages curved up towards the spine (or pressed flat), whose spreads
// differ only in where their paragraphs end.
enum class Subject { Sheet, Book, BookOnDesk, FlatBookOnDesk };

class Script {
public:
    explicit Script(unsigned seed, Subject subject = Subject::Sheet);

    // Scenes; each ends with its picture left alone for `stillFrames`.
    void still(int frames);
    // The first page lies there as automatic capture starts: it is due once still.
    void start(int stillFrames);
    // The desk is empty as automatic capture starts; then a hand lays the page (or the open
    // book) down and leaves.
    void emptyDeskThenLayDown(int emptyFrames, int stillFrames);
    // The leaf of a book is taken at its edge, lifted until it stands up, held there for
    // `standFrames`, laid over to the left and let go: the next spread. The leaf blurs while it
    // moves fast.
    void turnLeaf(int standFrames, int stillFrames);
    // The last leaf turned is turned back (the spread before, taken already), then over again.
    void flipBackAndForth(int stillFrames);
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
    // Stills in which exactly one capture is due (a page not seen before), and those after a
    // slide (the same page elsewhere on the desk, not to be taken again).
    const std::vector<Settled>& due() const { return m_due; }
    const std::vector<Settled>& allowed() const { return m_allowed; }
    // Every still, with what lay there; a capture outside them is of something in motion or
    // under a hand.
    const std::vector<Settled>& stills() const { return m_stills; }
    // The pages the script showed settled: 1 to pages().
    int pages() const { return m_highest; }

private:
    struct Hand {
        bool shown = false;
        cv::Point2f at;   // the back of the hand
        cv::Point2f from; // where the arm leaves the picture
    };
    // Draws the scene with the page's new content right of `newFrom` (page pixels), feeds it and
    // counts it. A `leaf` angle of 0 to pi draws a book's right leaf lifted that far instead.
    void show(const Hand& hand, double newFrom = 1e9, double blur = 0, double leaf = -1);
    Settled holdStill(int frames);
    // A still after the page shown changed: due when the page was not shown settled before.
    void settleAfterTurn(int stillFrames);
    cv::Mat pageContent(int page) const;
    cv::Mat sheetContent(int page) const;
    cv::Mat spreadContent(int spread) const;
    cv::Mat proseContent(int spread) const;
    cv::Mat withLeaf(double angle) const;
    // Places the flat page onto the desk: moved for a sheet, curved for a book on the desk.
    void place(const cv::Mat& page, cv::Mat& frame) const;
    // Where the leaf's edge is seen with the leaf at `angle`.
    cv::Point2f leafEdge(double angle) const;

    std::mt19937 m_random;
    cv::RNG m_noise; // the sensor's, the same for every run of a script
    camcore::PageTurnDetector m_detector;
    cv::Mat m_desk;
    int m_page = 1;
    int m_highest = 0;     // the highest page shown settled
    bool m_present = true; // the page (or book) lies on the desk
    Subject m_subject;
    cv::Size m_pageSize;
    cv::Point2f m_pageAt; // top-left of the page on the desk
    double m_light = 1.0;
    int m_frame = 0;
    std::vector<int> m_fired;
    std::vector<Settled> m_due;
    std::vector<Settled> m_allowed;
    std::vector<Settled> m_stills;
    // Where each pixel of a curved book comes from, for the book lying at m_mapsAt.
    mutable cv::Mat m_fromX;
    mutable cv::Mat m_fromY;
    mutable cv::Mat m_shade;
    mutable cv::Point2f m_mapsAt{-1e6F, -1e6F};
};

} // namespace pageturn
