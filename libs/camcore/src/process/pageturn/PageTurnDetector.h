#pragma once

#include <opencv2/core.hpp>

namespace camcore {

// What counts as a new page. Counts are frames of the preview stream (about 15 a second), so
// the same sequence decides the same way on a slow machine as on a fast one.
struct PageTurnSettings {
    int settleFrames = 8; // still frames a new page must hold: about half a second
    // Grey levels by which a cell of the grid must change between two frames to count as motion,
    // and between the settled picture and the last page taken to count as a change of page.
    double motionLevel = 10.0;
    double pageLevel = 16.0;
    int motionCells = 2; // changed cells that make a frame a moving one
    int pageCells = 12;  // changed cells that make a new page
    // A change that reaches the picture's edge over this many cells, covered mostly by something
    // plain and darker than paper, is an arm reaching in: the page under it is not clear yet.
    // A change of print up to the edges is a new page, so an open book may fill the view.
    int armCells = 10;
};

// Watches preview frames for new pages: motion (a page turned, a document laid down or taken
// away) followed by a still, sharp picture that differs from the last page taken. A hand resting
// on the page or passing over it leaves the page as it was and gives nothing. Pure: it sees only
// the frames it is fed, one at a time.
class PageTurnDetector {
public:
    explicit PageTurnDetector(PageTurnSettings settings = {});

    // Feeds the next frame (8-bit grey, at least 32 x 24; a small copy of the preview is
    // enough). True when this frame completes a new page.
    bool feed(const cv::Mat& grey);
    // Forgets what it has seen: the next still picture becomes the page to compare with.
    void reset();

private:
    // A change of page when enough cells differ from the last page and no arm is in the picture
    // (`grey` is the frame `grid` was made of).
    bool isNewPage(const cv::Mat& grid, const cv::Mat& grey) const;

    PageTurnSettings m_settings;
    cv::Mat m_previous;  // grid of the previous frame
    cv::Mat m_reference; // grid of the last page taken, or of the first still picture
    int m_stillFrames = 0;
    bool m_moved = false; // motion since the last decision
    double m_bestSharpness = 0;
};

} // namespace camcore
