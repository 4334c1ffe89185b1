// Automatic capture: the capture thread watches the frames for new pages, and the GUI thread
// calls the program back for each one.
#include "Camera.h"

#include "pipeline/FrameDecoder.h"
#include "process/pageturn/PageWatch.h"

namespace camcore {

// Each switch-on is a session of its own: a page found in an earlier one, whose call is still
// queued, is not reported into the next.
void Camera::setAutoCapture(bool enable) {
    m_autoCapture = enable ? ++m_autoCaptureSessions : 0;
}

// Every frame is watched, so that stillness is counted in frames. The preview's picture serves
// when there is one; otherwise TurboJPEG decodes the frame at its smallest scale that is still
// 160 pixels wide (1/8 of an 8-megapixel frame).
void Camera::watchForPages(const Frame& frame, const QImage& preview, PageWatch& watch,
                           FrameDecoder& decoder) {
    const std::uint64_t session = m_autoCapture.load();
    if (session == 0)
        return;
    const QImage picture = preview.isNull() ? decoder.decode(frame, PageWatch::kWidth) : preview;
    // A look again is read before the forgetting it comes with, so never carried out without it.
    const std::uint64_t lookAgain = m_lookAgain.load();
    if (picture.isNull() || !watch.feed(picture, session, {m_pagesForgotten.load(), lookAgain}))
        return;
    QMetaObject::invokeMethod(
        this, [this, session, frame] { pageTurned(session, frame); }, Qt::QueuedConnection);
}

// A capture the program makes while it is called back takes the frame the watch judged
// settled, not the newest one: by now that may show the next leaf in mid-turn.
void Camera::pageTurned(std::uint64_t session, const Frame& settled) {
    if (session != m_autoCapture.load() || m_autoCaptureCallback == nullptr)
        return;
    m_callbackFrame = settled;
    m_autoCaptureCallback(0);
    m_callbackFrame.reset();
}

} // namespace camcore
