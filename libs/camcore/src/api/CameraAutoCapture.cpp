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

// The copy comes from TurboJPEG's scaled decoding (1/8 of an 8-megapixel frame is 408 pixels
// wide), so watching costs far less than the preview.
void Camera::watchForPages(const Frame& frame, PageWatch& watch, FrameDecoder& decoder) {
    const std::uint64_t session = m_autoCapture.load();
    if (session == 0)
        return;
    const QImage picture = decoder.decode(frame, PageWatch::kWidth);
    if (picture.isNull() || !watch.feed(picture, session))
        return;
    QMetaObject::invokeMethod(
        this, [this, session] { pageTurned(session); }, Qt::QueuedConnection);
}

void Camera::pageTurned(std::uint64_t session) {
    if (session == m_autoCapture.load() && m_autoCaptureCallback != nullptr)
        m_autoCaptureCallback(0);
}

} // namespace camcore
