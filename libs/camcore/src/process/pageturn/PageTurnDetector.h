#pragma once

#include "PageSignature.h"

#include <opencv2/core.hpp>

#include <vector>

namespace camcore {

// What counts as a new page. Counts are frames of the preview stream (about 15 a second), so
// the same sequence decides the same way on a slow machine as on a fast one.
struct PageTurnSettings {
    int settleFrames = 8; // still frames a new page must hold: about half a second
    // Grey levels by which a cell of the grid must change between two frames to count as motion,
    // and between the settled picture and the last one looked at to count as changed there.
    double motionLevel = 10.0;
    double pageLevel = 16.0;
    int motionCells = 2; // changed cells that make a frame a moving one
    // Cells covered by something plain and darker than paper that were print at the last
    // decision or have changed since, over this many joined to the picture's edge, are an arm
    // reaching in: the page under it is not clear yet. A change of print up to the edges is a page,
    // so an open book may fill the view.
    int armCells = 10;
};

// Watches preview frames for new pages: a still, sharp picture with print on it, no arm in it, and
// print unlike every page taken since the last reset. The page lying there when it starts is
// taken once it is still; then each still after motion (a page turned, a document laid down) is
// looked at once. A hand resting on the page or passing over it, a leaf turned back and forth, a
// sheet slid along the desk and an empty desk give nothing. Pure: it sees only the frames it is
// fed, one at a time.
class PageTurnDetector {
public:
    explicit PageTurnDetector(PageTurnSettings settings = {});

    // Feeds the next frame (8-bit grey, at least 32 x 24; a small copy of the preview is
    // enough). True when this frame completes a new page.
    bool feed(const cv::Mat& grey);
    // Forgets what it has seen and taken: the next still page is a new one.
    void reset();
    // Pages taken since the last reset.
    int pages() const { return static_cast<int>(m_taken.size()); }
    // Forgets the last page taken (the program took it out again): that page, settling once more
    // after a motion, is a new one.
    void forgetLastPage();
    // Decides once more on the picture lying still now, as if it had just settled after a motion.
    void lookAgain() { m_moved = true; }

private:
    // Whether the settled picture (`grid` made of `grey`) is a page not taken yet.
    bool isNewPage(const cv::Mat& grid, const cv::Mat& grey);
    // Whether an arm reaches over what lay there at the last decision (`covered`: the cells of
    // `grid` covered by something plain and darker than paper).
    bool armIn(const cv::Mat& grid, const cv::Mat& covered) const;

    PageTurnSettings m_settings;
    cv::Mat m_previous;       // grid of the previous frame
    cv::Mat m_reference;      // grid of the picture of the last decision made without an arm
    cv::Mat m_referencePlain; // its plain cells: no print on them
    int m_stillFrames = 0;
    bool m_moved = true; // motion since the last decision, or none made yet
    double m_bestSharpness = 0;
    std::vector<PageSignature> m_taken; // every page taken, in order
};

} // namespace camcore
