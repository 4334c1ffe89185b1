#include "Camera.h"

#include "pipeline/FrameDecoder.h"
#include "process/MatImage.h"
#include "process/Task.h"
#include "process/detect/DocumentDetect.h"
#include "process/pageturn/PageWatch.h"
#include "record/Recorder.h"
#include "render/VideoSurface.h"

#include <QWidget>

#include <opencv2/core.hpp>

#include <cmath>

namespace camcore {
namespace {

// A drawn rectangle smaller than this (window pixels) is a click, not a cut.
constexpr int kMinCutDrag = 5;

// The preview outline is found on a copy 256 pixels wide: a pixel there is 2 to 5 pixels of a
// window, close enough for a frame drawn round the page, and it takes about 4 ms a frame where
// 320 pixels took 5 (bench/ProcessBench.cpp, BM_PreviewOutline).
constexpr int kOutlineWidth = 256;

bool sameZoom(double a, double b) {
    return std::abs(a - b) < 1e-6;
}

} // namespace

Camera::Camera(std::shared_ptr<CameraDevice> device) : m_device(std::move(device)) {}

Camera::~Camera() {
    // Cameras go at the engine's end, whose recordings were handed over at the close; one still
    // running here is completed before the camera goes.
    stopRecording();
    stopStream();
    endPdfDocument();
    m_captures.finishAll(); // no job calls back into a camera that is gone
    delete m_surface.data();
}

void Camera::replaceDevice(std::shared_ptr<CameraDevice> device) {
    if (device == m_device)
        return;
    // A camera that was streaming goes on streaming from the new device. One that was lost
    // with its device stays closed: the program decides whether to open it again (it reopens
    // its main camera and leaves a sub camera closed).
    const bool resume = m_open && !m_lost;
    QWidget* target = window();
    if (m_open)
        close();
    m_device = std::move(device);
    if (resume)
        open(target);
}

void Camera::deviceGone() {
    if (!m_open)
        return;
    {
        const MutexLock lock(m_frameMutex); // awaitFrame() reads it under the lock
        m_lost = true;
    }
    m_frameArrived.notify_all();
    if (m_surface)
        m_surface->setLost(true);
}

bool Camera::open(QWidget* window) {
    if (m_open && !m_lost) {
        setWindow(window);
        return true;
    }
    stopStream();
    if (!m_device->isPresent())
        return false;
    if (m_nextResolution) {
        m_resolutionIndex = *m_nextResolution;
        m_nextResolution.reset();
    }
    m_open = true;
    setWindow(window);
    startStream();
    return !m_lost;
}

void Camera::close() {
    // A recording ends with its camera; its file is completed behind the caller.
    stopRecordingQueued({});
    stopStream();
    m_open = false;
    endPdfDocument(); // a document ends with its camera, whole once the close returns
    m_captures.finishAll();
    if (m_surface)
        m_surface->hide();
    delete m_surface.data();
}

bool Camera::setWindow(QWidget* window) {
    if (window == nullptr) {
        delete m_surface.data();
        m_previewWidth = 0;
        return true;
    }
    if (!m_surface) {
        m_surface = new VideoSurface(window);
        m_surface->setTargetChangeHandler([this] { updatePreviewWidth(); });
    } else {
        m_surface->attachTo(window);
    }
    m_surface->setShowZoomRate(m_showZoomRate);
    m_surface->setWatermark(watermark(), m_capture.dpi);
    m_surface->setLost(m_lost);
    viewChanged(m_view.zoom());
    return true;
}

QWidget* Camera::window() const {
    return m_surface ? m_surface->target() : nullptr;
}

std::uint64_t Camera::attachOrder() const {
    return m_surface ? m_surface->attachOrder() : 0;
}

void Camera::updateVideo() {
    if (m_surface)
        m_surface->update();
}

QSize Camera::windowSize() const {
    QWidget* target = window();
    return target ? target->size() : QSize();
}

Resolution Camera::resolution() const {
    const std::vector<Resolution> list = resolutions();
    if (list.empty())
        return {};
    return list[std::clamp<std::size_t>(m_resolutionIndex, 0, list.size() - 1)];
}

bool Camera::setDefaultResolution(int index) {
    if (index < 0 || index >= static_cast<int>(resolutions().size()))
        return false;
    // A streaming (or lost) camera keeps its resolution until it is opened again.
    if (m_open)
        m_nextResolution = index;
    else
        m_resolutionIndex = index;
    return true;
}

bool Camera::setResolution(int index) {
    if (index < 0 || index >= static_cast<int>(resolutions().size()))
        return false;
    if (index == m_resolutionIndex && m_open && !m_lost)
        return true;
    m_resolutionIndex = index;
    if (m_open) {
        stopStream();
        startStream();
    }
    return true;
}

void Camera::startStream() {
    const Resolution size = resolution();
    const double zoomBefore = m_view.zoom();
    if (m_view.sourceSize() != QSize(size.width, size.height)) {
        m_view.reset();
        m_view.setSourceSize(QSize(size.width, size.height));
    }
    const std::uint64_t generation = ++m_generation;
    m_previewPending = false;
    m_lost = false;
    {
        const MutexLock lock(m_frameMutex);
        m_latest = {};
    }
    // The decoder belongs to the capture thread: it is only touched from the frame handler.
    auto decoder = std::make_shared<FrameDecoder>();
    auto status = std::make_shared<TaskStatus>();
    auto pages = std::make_shared<PageWatch>();
    m_streamStatus = status;
    const bool started = m_device->start(
        size,
        [this, generation, decoder, status, pages](const Frame& frame) {
            handleFrame(frame, generation);
            const QImage picture = showFrame(frame, *decoder, *status, generation);
            watchForPages(frame, picture, *pages, *decoder);
        },
        [this, generation] {
            QMetaObject::invokeMethod(
                this, [this, generation] { handleLost(generation); }, Qt::QueuedConnection);
            {
                const MutexLock lock(m_frameMutex); // awaitFrame() reads it under the lock
                m_lost = true;
            }
            m_frameArrived.notify_all();
        });
    if (!started)
        m_lost = true;
    if (m_surface)
        m_surface->setLost(m_lost);
    viewChanged(zoomBefore);
}

// Decodes a preview of the frame for the window and queues it, with the outlines found on it.
// Returns the picture as decoded; null when no preview was made of this frame.
QImage Camera::showFrame(const Frame& frame, FrameDecoder& decoder, const TaskStatus& status,
                         std::uint64_t generation) {
    const int width = m_previewWidth.load();
    if (width <= 0 || m_previewPending.exchange(true))
        return {}; // no window, or the GUI has not shown the last preview yet
    ++m_counts.previewDecodes;
    const QImage decoded = decoder.decode(frame, width);
    if (decoded.isNull()) {
        m_previewPending = false; // a damaged frame: drop it, wait for the next
        return {};
    }
    const QSize sourceSize(frame.width, frame.height);
    QList<QPolygonF> outlines;
    try {
        outlines = previewOutlines(decoded, sourceSize, status);
    } catch (const TaskCancelled&) {
        m_previewPending = false;
        return {}; // the stream is stopping
    }
    const QImage picture = applyColorMode(decoded, m_colorMode.load());
    QMetaObject::invokeMethod(
        this,
        [this, picture, sourceSize, outlines, generation] {
            showPreview(picture, sourceSize, outlines, generation);
        },
        Qt::QueuedConnection);
    return decoded;
}

void Camera::stopStream() {
    if (m_streamStatus)
        m_streamStatus->cancel(); // an outline being searched for is given up
    m_device->stop();
    ++m_generation; // anything the old stream queued is now stale
    m_previewPending = false;
}

void Camera::handleFrame(const Frame& frame, std::uint64_t generation) {
    if (generation != m_generation.load())
        return;
    {
        const MutexLock lock(m_frameMutex);
        m_latest = frame;
    }
    ++m_counts.frames;
    m_frameArrived.notify_all();
    std::shared_ptr<Recorder> recorder;
    {
        const MutexLock lock(m_recordMutex);
        recorder = m_recorder;
    }
    if (recorder)
        recorder->push(frame);
}

QList<QPolygonF> Camera::previewOutlines(const QImage& picture, QSize sourceSize,
                                         const TaskStatus& status) const {
    OutlineRequest request;
    {
        const MutexLock lock(m_outlineMutex);
        request = m_outline;
    }
    if (request.documents == 0 || sourceSize.isEmpty())
        return {};
    // The visible part of the source, in preview pixels.
    const double scale = static_cast<double>(picture.width()) / sourceSize.width();
    const QRect area = QRectF(request.region.topLeft() * scale, request.region.size() * scale)
                           .toAlignedRect()
                           .intersected(picture.rect());
    const cv::Mat pixels = matView(picture);
    if (area.isEmpty() || pixels.empty())
        return {};
    QList<QPolygonF> outlines;
    try {
        const cv::Mat visible = pixels(cv::Rect(area.x(), area.y(), area.width(), area.height()));
        const DetectResult found =
            DetectTask({request.documents, kOutlineWidth}).run(visible, status);
        for (const Quad& quad : found.documents) {
            QPolygonF outline;
            for (const cv::Point2d& corner : quad.corners)
                outline << QPointF((corner.x + area.x() + 0.5) / scale,
                                   (corner.y + area.y() + 0.5) / scale);
            outlines << outline;
        }
    } catch (const cv::Exception&) {
        return {}; // no outline is better than no preview
    }
    return outlines;
}

void Camera::showPreview(const QImage& picture, QSize sourceSize, const QList<QPolygonF>& outlines,
                         std::uint64_t generation) {
    if (generation != m_generation.load())
        return;
    m_previewPending = false;
    if (m_surface) {
        m_surface->setPicture(picture, sourceSize);
        m_surface->setOutlines(outlines);
    }
}

void Camera::setDpi(int dpi) {
    m_capture.dpi = dpi;
    if (m_surface)
        m_surface->setWatermark(watermark(), dpi);
}

void Camera::setWatermark(std::optional<Watermark> mark) {
    {
        const MutexLock lock(m_watermarkMutex);
        m_watermark = mark;
    }
    if (m_surface)
        m_surface->setWatermark(mark, m_capture.dpi);
}

std::optional<Watermark> Camera::watermark() const {
    const MutexLock lock(m_watermarkMutex);
    return m_watermark;
}

void Camera::setAutoCrop(bool enable) {
    m_capture.autoCrop = enable;
    outlineChanged();
}

void Camera::setCaptureMode(CaptureMode mode) {
    m_capture.captureMode = mode;
    outlineChanged();
}

void Camera::outlineChanged() {
    const MutexLock lock(m_outlineMutex);
    m_outline.documents =
        m_capture.autoCrop ? (m_capture.captureMode == CaptureMode::CardCopy ? 2 : 1) : 0;
    m_outline.region = m_view.visibleSourceRect();
}

void Camera::handleLost(std::uint64_t generation) {
    if (generation != m_generation.load())
        return;
    m_lost = true;
    if (m_surface)
        m_surface->setLost(true);
    // No more frames will come: the file is completed now rather than when the user stops.
    stopRecordingQueued({});
}

Frame Camera::latestFrame() const {
    const MutexLock lock(m_frameMutex);
    return m_latest;
}

Frame Camera::awaitFrame(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    MutexLock lock(m_frameMutex);
    while (m_latest.empty() && !m_lost) {
        if (lock.waitUntil(m_frameArrived, deadline) == std::cv_status::timeout)
            break;
    }
    return m_latest;
}

QRect Camera::videoRect() const {
    const QSize size = windowSize();
    if (!m_open || size.isEmpty())
        return {};
    return m_view.videoRect(size);
}

void Camera::updatePreviewWidth() {
    // A window that cannot be seen gets no preview: decoding an 8 MP frame for it cost 40 % of
    // a core. Captures do not need it; they decode the frame kept for them.
    const QSize size = windowSize();
    const QRect video = m_view.videoRect(size);
    const QSizeF visible = m_view.orientedVisibleSize();
    int previewWidth = 0;
    if (m_surface && m_surface->showing() && !video.isEmpty() && visible.width() > 0) {
        const double scale = video.width() / visible.width();
        previewWidth = std::min(m_view.sourceSize().width(),
                                static_cast<int>(std::ceil(m_view.sourceSize().width() * scale)));
    }
    m_previewWidth = previewWidth;
}

void Camera::viewChanged(double zoomBefore) {
    updatePreviewWidth();
    outlineChanged();
    if (m_surface)
        m_surface->setView(m_view);
    if (m_zoomCallback != nullptr && !sameZoom(zoomBefore, m_view.zoom()))
        m_zoomCallback(static_cast<float>(m_view.zoom()));
}

void Camera::zoomBy(double factor) {
    zoomTo(m_view.zoom() * factor);
}

void Camera::zoomTo(double ratio) {
    const double before = m_view.zoom();
    m_view.setZoom(ratio);
    viewChanged(before);
}

void Camera::resetView() {
    const double before = m_view.zoom();
    m_view.reset();
    viewChanged(before);
}

void Camera::rotate(int quarterTurns) {
    setRotation(((m_view.rotation() + quarterTurns) % 4 + 4) % 4);
}

bool Camera::setRotation(int quarterTurns) {
    if (quarterTurns < 0 || quarterTurns > 3)
        return false;
    const double before = m_view.zoom();
    m_view.setRotation(quarterTurns);
    viewChanged(before);
    return true;
}

void Camera::setShowZoomRate(bool show) {
    m_showZoomRate = show;
    if (m_surface)
        m_surface->setShowZoomRate(show);
}

void Camera::setMouseMode(MouseMode mode) {
    m_mouseMode = mode;
    m_pressedAt.reset();
    if (m_surface)
        m_surface->setRubberBand(std::nullopt);
}

bool Camera::mousePress(QPoint position) {
    m_pointer = position;
    if (m_mouseMode == MouseMode::Ignore || !m_open)
        return false;
    m_pressedAt = position;
    if (m_mouseMode == MouseMode::Cut && m_surface)
        m_surface->setRubberBand(QRect(position, position));
    return true;
}

bool Camera::mouseMove(QPoint position) {
    m_pointer = position;
    if (m_mouseMode == MouseMode::Ignore || !m_open)
        return false;
    if (!m_pressedAt)
        return true;
    if (m_mouseMode == MouseMode::Drag) {
        const double before = m_view.zoom();
        m_view.pan(QPointF(position - *m_pressedAt), windowSize());
        m_pressedAt = position;
        viewChanged(before);
    } else if (m_surface) {
        m_surface->setRubberBand(QRect(*m_pressedAt, position).normalized());
    }
    return true;
}

bool Camera::mouseRelease(QPoint position) {
    m_pointer = position;
    if (m_mouseMode == MouseMode::Ignore || !m_pressedAt)
        return false;
    const QPoint start = *m_pressedAt;
    m_pressedAt.reset();
    if (m_mouseMode != MouseMode::Cut)
        return true;
    if (m_surface)
        m_surface->setRubberBand(std::nullopt);
    const QRectF drawn =
        QRectF(QPointF(start), QPointF(position)).normalized().intersected(QRectF(videoRect()));
    if (drawn.width() < kMinCutDrag || drawn.height() < kMinCutDrag)
        return true;
    const QSize size = windowSize();
    const QPointF a = m_view.windowToSource(drawn.topLeft(), size);
    const QPointF b = m_view.windowToSource(drawn.bottomRight(), size);
    const QRect cut =
        QRectF(a, b).normalized().intersected(m_view.visibleSourceRect()).toAlignedRect();
    const double before = m_view.zoom();
    m_view.setCut(cut);
    viewChanged(before);
    return true;
}

bool Camera::wheel(int delta) {
    if (m_mouseMode == MouseMode::Ignore || !m_open || delta == 0)
        return false;
    const double before = m_view.zoom();
    const double ratio = before * std::pow(ViewTransform::kZoomStep, delta / 120.0);
    const QRect video = videoRect();
    if (m_pointer && video.contains(*m_pointer))
        m_view.zoomAt(ratio, *m_pointer, windowSize());
    else
        m_view.setZoom(ratio);
    viewChanged(before);
    return true;
}

} // namespace camcore
