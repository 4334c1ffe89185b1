// Capture: the frame of the press, with the view and switches of the moment, handed to the
// camera's capture queue; the queue finishes it behind the window (CaptureJob.cpp).
#include "Camera.h"

#include "output/ImageFormat.h"
#include "pipeline/FrameDecoder.h"

#include <future>

namespace camcore {
namespace {

// A print right after opening waits this long for the camera's first frame, on the caller's
// thread.
constexpr std::chrono::milliseconds kFirstFrameWait{3000};
// A capture's job waits longer, behind the window: the first frame of a large resolution can take
// a few seconds to come (seen over 3 s under ThreadSanitizer).
constexpr std::chrono::milliseconds kFirstFrameWaitBehind{10000};

} // namespace

namespace {

// A print is one sheet: the split switch does not apply to it.
QImage printedPicture(const Frame& frame, const ViewTransform& view, CaptureSettings settings,
                      ColorMode mode) {
    FrameDecoder decoder;
    const QImage full = frame.empty() ? QImage() : decoder.decode(frame);
    if (full.isNull())
        return {};
    settings.splitCapture = false;
    const std::vector<QImage> pages = processedPages(cutAndTurn(full, view), settings);
    return applyColorMode(resized(pages.front(), settings), mode)
        .convertToFormat(QImage::Format_RGB888);
}

} // namespace

QImage Camera::printPicture() {
    if (!m_open || m_lost)
        return {};
    return printedPicture(awaitFrame(kFirstFrameWait), m_view, m_capture, colorMode());
}

bool Camera::printQueued(PrintDone done) {
    if (!m_open || m_lost)
        return false;
    m_sideWork.hand([this, done = std::move(done), frame = latestFrame(), view = m_view,
                     settings = m_capture, mode = colorMode()] {
        const QImage picture = printedPicture(
            frame.empty() ? awaitFrame(kFirstFrameWaitBehind) : frame, view, settings, mode);
        QMetaObject::invokeMethod(
            this, [done, picture, dpi = settings.dpi] { done(picture, dpi); },
            Qt::QueuedConnection);
        return !picture.isNull();
    });
    return true;
}

// The PDF mode outlives a switch of the format, so only a PDF path collects.
CaptureJob Camera::jobFor(const QString& path) const {
    CaptureJob job;
    job.frame = m_callbackFrame ? *m_callbackFrame : latestFrame();
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
int Camera::queueJob(CaptureJob job, CaptureDone done) {
    const int number = m_captures.take(std::move(job), [this, done](const CaptureOutcome& outcome) {
        if (done)
            QMetaObject::invokeMethod(
                this, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
    });
    return number > 0 ? number : -ZO_CAPTURE_BUSY;
}

void Camera::removeLastPdfPages(int count, std::function<void(int pagesLeft)> done) {
    m_captures.removeLastPages(count, [this, done = std::move(done)](int pagesLeft) {
        if (done)
            QMetaObject::invokeMethod(
                this, [done, pagesLeft] { done(pagesLeft); }, Qt::QueuedConnection);
    });
}

int Camera::captureQueued(const QString& path, CaptureDone done, Processing processing) {
    if (path.isEmpty() || !formatFromPath(path))
        return -ZO_CAPTURE_NAME_REFUSED;
    if (!m_open || m_lost)
        return -ZO_CAPTURE_CAMERA_LOST;
    CaptureJob job = jobFor(path);
    if (processing == Processing::AsViewed) {
        CaptureSettings& settings = job.settings;
        settings.autoCrop = settings.cleanBackground = settings.splitCapture = false;
        settings.dewarp = settings.autoOrient = false;
        settings.captureMode = CaptureMode::Page;
        job.collected = false;
    }
    return queueJob(std::move(job), std::move(done));
}

// Its sources are files, so the camera need not be streaming.
int Camera::composeQueued(const QString& path, Composition compose, CaptureDone done) {
    if (path.isEmpty() || !formatFromPath(path))
        return -ZO_CAPTURE_NAME_REFUSED;
    CaptureJob job = jobFor(path);
    job.frame = {};
    job.awaitFrame = nullptr;
    job.compose = std::move(compose);
    return queueJob(std::move(job), std::move(done));
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
