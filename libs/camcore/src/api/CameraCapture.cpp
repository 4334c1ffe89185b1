// Capture: the frame of the press, with the view and switches of the moment, handed to the
// camera's capture queue; the queue finishes it behind the window (CaptureJob.cpp).
#include "Camera.h"

#include "output/ImageFormat.h"
#include "pipeline/FrameDecoder.h"

#include <future>

namespace camcore {
namespace {

// A print right after opening waits this long for the camera's first frame, on the window's
// thread.
constexpr std::chrono::milliseconds kFirstFrameWait{3000};
// A capture's job waits longer, behind the window: the first frame of a large resolution can take
// a few seconds to come (seen over 3 s under ThreadSanitizer).
constexpr std::chrono::milliseconds kFirstFrameWaitBehind{10000};

} // namespace

QImage Camera::printPicture() {
    if (!m_open || m_lost)
        return {};
    const Frame frame = awaitFrame(kFirstFrameWait);
    FrameDecoder decoder;
    const QImage full = frame.empty() ? QImage() : decoder.decode(frame);
    if (full.isNull())
        return {};
    // A print is one sheet: the split switch does not apply to it.
    CaptureSettings settings = m_capture;
    settings.splitCapture = false;
    const std::vector<QImage> pages = processedPages(cutAndTurn(full, m_view), settings);
    return applyColorMode(resized(pages.front(), settings), colorMode())
        .convertToFormat(QImage::Format_RGB888);
}

// The PDF mode outlives a switch of the format, so only a PDF path collects.
CaptureJob Camera::jobFor(const QString& path) const {
    CaptureJob job;
    job.frame = m_settledFrame ? *m_settledFrame : latestFrame();
    job.awaitFrame = [this] {
        return awaitFrame(kFirstFrameWaitBehind);
    };
    job.view = m_view;
    job.settings = m_capture;
    job.mode = colorMode();
    job.mark = watermark();
    job.now = QDateTime::currentDateTime();
    job.path = path;
    job.collected =
        m_capture.pdfMode == PdfMode::Collected && formatFromPath(path) == ImageFormat::Pdf;
    return job;
}

// The outcome reaches the GUI thread through the event loop; one for a camera that is gone by
// then is dropped with it (the camera finishes its jobs before it goes).
int Camera::captureQueued(const QString& path, CaptureDone done) {
    if (path.isEmpty() || !formatFromPath(path))
        return -ZO_CAPTURE_NAME_REFUSED;
    if (!m_open || m_lost)
        return -ZO_CAPTURE_CAMERA_LOST;
    const int job = m_captures.take(jobFor(path), [this, done](const CaptureOutcome& outcome) {
        if (done)
            QMetaObject::invokeMethod(
                this, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
    });
    return job > 0 ? job : -ZO_CAPTURE_BUSY;
}

CaptureOutcome Camera::capture(const QString& path) {
    CaptureOutcome refused;
    if (path.isEmpty() || !formatFromPath(path))
        refused.reason = ZO_CAPTURE_NAME_REFUSED;
    else if (!m_open || m_lost)
        refused.reason = ZO_CAPTURE_CAMERA_LOST;
    if (refused.reason != ZO_CAPTURE_OK)
        return refused;
    auto promise = std::make_shared<std::promise<CaptureOutcome>>();
    std::future<CaptureOutcome> outcome = promise->get_future();
    m_captures.takeWaiting(
        jobFor(path), [promise](const CaptureOutcome& written) { promise->set_value(written); });
    return outcome.get();
}

} // namespace camcore
