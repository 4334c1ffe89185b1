#pragma once

#include "PageTurnDetector.h"

#include <QImage>

#include <cstdint>

namespace camcore {

// Requests to the page watch made on another thread, each counted since the camera opened.
struct PageRequests {
    std::uint64_t forgotten = 0; // forget the last page taken
    std::uint64_t lookAgain = 0; // decide once more on the still picture
};

// The page-turn detector as the capture thread runs it: one per stream, fed a 160-pixel grey copy
// of each frame, and started afresh whenever automatic capture is switched on again.
class PageWatch {
public:
    // The width of the copy the detector looks at; decode at least this wide.
    static constexpr int kWidth = 160;

    // `session` numbers the period automatic capture has been on; a new number forgets the
    // pages of the last one. Each new request is carried out first. True when `picture`
    // completes a new page.
    bool feed(const QImage& picture, std::uint64_t session, PageRequests requests = {});

private:
    PageTurnDetector m_detector;
    std::uint64_t m_session = 0;
    PageRequests m_done; // the requests carried out
};

} // namespace camcore
