#include "BookRun.h"

#include "QueuedCapture.h"

#include "ZoApi.h"

#include <QPointer>

#include <memory>
#include <utility>

BookRun::BookRun(int camera, QByteArray path) : m_camera(camera), m_path(std::move(path)) {
    // A document the camera was collecting ends here: pages of the book must not join it.
    ZoSetPDFMode(m_camera, 1);
    ZoEnableSplitCap(m_camera, true);
    ZoEnableDewarp(m_camera, true);
    ZoDelBackColor(m_camera, true);
    ZoEnableAutoOrient(m_camera, true);
    ZoSetPDFMode(m_camera, 0);
    ZoSetPdfText(m_camera, true);
}

namespace {

// A removal's answer reaches the run only while the run is there.
struct Removal {
    QPointer<QObject> alive;
    std::function<void(int pagesLeft)> done;
};

void removalDecided(int32_t pagesLeft, void* user) {
    const std::unique_ptr<Removal> removal(static_cast<Removal*>(user));
    if (removal->alive && removal->done)
        removal->done(pagesLeft);
}

} // namespace

BookRun::~BookRun() {
    if (m_behind > 0 || m_removing > 0)
        ZoWaitPdfPages(m_camera);
    release();
}

bool BookRun::addSpread(SpreadAdded added) {
    if (!m_open)
        return false;
    // The removal is queued first, so the last spread is out before the new one is written.
    if (m_replaceNext && !queueRemoval(std::exchange(m_replaceNext, std::nullopt).value()))
        return false;
    const int job = queued_capture::start(
        m_camera, m_path, &m_alive, [this, added = std::move(added)](const CaptureResult& result) {
            --m_behind;
            m_pages += result.written;
            if (result.written > 0)
                m_spreadPages.push_back(result.written);
            if (added)
                added(result.written, result.picture, result.secondPicture);
            finishIfDone();
        });
    if (job > 0)
        ++m_behind;
    return job > 0;
}

bool BookRun::mayChangeLastSpread() const {
    return m_open && m_behind == 0 && m_removing == 0 && !m_replaceNext && !m_spreadPages.empty();
}

// The first spread made the file and the strip's entry for it, and stays; laid down again after
// a removal, the spread is a new one to the camera.
bool BookRun::removeLastSpread(std::function<void(bool removed)> done) {
    if (!mayChangeLastSpread() || m_spreadPages.size() < 2)
        return false;
    return queueRemoval([this, done = std::move(done)](bool removed) {
        if (removed)
            ZoForgetLastPage(m_camera, false);
        if (done)
            done(removed);
    });
}

// The camera forgets the spread at once and looks again at what lies there now.
bool BookRun::retakeLastSpread(std::function<void(bool removed)> removed) {
    if (!mayChangeLastSpread() || ZoForgetLastPage(m_camera, true) != 1)
        return false;
    m_replaceNext = std::move(removed);
    return true;
}

// The engine takes the pages out after the spreads queued before.
bool BookRun::queueRemoval(std::function<void(bool removed)> done) {
    auto* removal = new Removal{&m_alive, [this, done = std::move(done)](int pagesLeft) {
                                    --m_removing;
                                    if (pagesLeft >= 0) {
                                        m_pages = pagesLeft;
                                        m_spreadPages.pop_back();
                                    }
                                    if (done)
                                        done(pagesLeft >= 0);
                                    finishIfDone();
                                }};
    if (ZoRemoveLastPdfPagesQueued(m_camera, m_spreadPages.back(), &removalDecided, removal) != 1) {
        delete removal;
        return false;
    }
    ++m_removing;
    return true;
}

void BookRun::finish(std::function<void()> finished) {
    m_open = false;
    m_replaceNext.reset();
    m_finished = std::move(finished);
    finishIfDone();
}

// The last call may destroy the run: nothing is touched after it.
void BookRun::finishIfDone() {
    if (m_open || m_behind > 0 || m_removing > 0)
        return;
    release();
    if (m_finished)
        std::exchange(m_finished, nullptr)();
}

// The engine ends the document when pages stop being collected; with every spread written its
// file holds every page, and it never made one for a run without pages.
void BookRun::release() {
    if (m_released)
        return;
    m_released = true;
    ZoSetPDFMode(m_camera, 1);
    ZoSetPdfText(m_camera, false);
}
