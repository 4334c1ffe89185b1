#pragma once

#include "Modes.h"
#include "ZoApi.h"
#include "base/Mutex.h"
#include "base/OrderedWork.h"
#include "device/CameraDevice.h"
#include "output/OutputImage.h"
#include "output/PdfDocument.h"
#include "pipeline/ColorMode.h"
#include "pipeline/ViewTransform.h"
#include "process/watermark/Watermark.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPolygonF>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QWidget;

namespace camcore {

class FrameDecoder;
class PageWatch;
class Recorder;
class TaskStatus;
class VideoSurface;

// How captures of a camera are made; set through the flat API, used when a picture is saved.
struct CaptureSettings {
    int dpi = 200;
    int jpegQuality = 75;
    bool resize = false;
    float resizeRatio = 1.0F;
    bool autoCrop = false;        // find the page, cut it out and straighten it
    bool cleanBackground = false; // even out the light and whiten the paper
    bool splitCapture = false;    // a book spread becomes two pages
    bool dewarp = false;          // a page curving into a book's spine is flattened
    CaptureMode captureMode = CaptureMode::Page;
    PdfMode pdfMode = PdfMode::OnePerFile;
    bool pdfText = false;    // PDF pages carry the recognised words as invisible, searchable text
    bool autoOrient = false; // pages lying sideways or upside down are turned upright
    // Pages collected into a PDF are finished (turned, read, written) behind the capture.
    bool pdfPagesBehind = false;
};

// One camera of the engine: streams from its device, keeps the newest frame for captures, feeds
// a reduced preview to the widget it draws into, and holds the view (zoom, pan, rotation, cut)
// and picture settings that previews and captures share. Lives on the GUI thread; only the
// frame handler runs on the device's capture thread.
class Camera final : public QObject {
public:
    // Pages finished behind the captures that may wait at once: 16 pages of a book photographed
    // at 8 MP hold about 200 MB. A person turning pages at a natural pace never reaches it on two
    // cores (bench/README.md); beyond it the capture waits for the oldest page.
    static constexpr std::size_t kMaxPagesBehind = 16;

    explicit Camera(std::shared_ptr<CameraDevice> device);
    ~Camera() override;

    CameraDevice& device() const { return *m_device; }
    // The same physical camera found again (after a replug) as a new device object.
    void replaceDevice(std::shared_ptr<CameraDevice> device);
    // The device is no longer listed: its stream is over, even before the capture thread has
    // noticed, so that opening the camera again starts a new one.
    void deviceGone();

    // Streaming. `window` may be null (no drawing). Opening an open camera only moves it.
    bool open(QWidget* window);
    void close();
    bool isOpen() const { return m_open; }
    bool isLost() const { return m_lost.load(); }
    bool setWindow(QWidget* window);
    QWidget* window() const;
    // Grows each time the camera is given a window: of two cameras in one, the later is on top.
    std::uint64_t attachOrder() const;
    void updateVideo();

    // Resolutions, largest first.
    std::vector<Resolution> resolutions() const { return m_device->resolutions(); }
    bool setResolution(int index);
    bool setDefaultResolution(int index);
    Resolution resolution() const;

    // Where the picture is drawn in the window; empty without a window.
    QRect videoRect() const;

    // View.
    const ViewTransform& view() const { return m_view; }
    void zoomBy(double factor);
    void zoomTo(double ratio);
    void resetView();
    void rotate(int quarterTurns); // relative, clockwise
    bool setRotation(int quarterTurns);
    void setShowZoomRate(bool show);
    void setZoomCallback(ZoZoomCallback callback) { m_zoomCallback = callback; }
    void setMouseMode(MouseMode mode);
    bool mousePress(QPoint position);
    bool mouseMove(QPoint position);
    bool mouseRelease(QPoint position);
    bool wheel(int delta);

    // Automatic capture: while on, the capture thread watches the frames for new pages and the
    // callback runs on the GUI thread once per page. One still queued when it goes off is dropped.
    void setAutoCaptureCallback(ZoAutoCaptureCallback callback) {
        m_autoCaptureCallback = callback;
    }
    void setAutoCapture(bool enable);
    bool autoCapture() const { return m_autoCapture.load() != 0; }

    // Picture settings.
    void setColorMode(ColorMode mode) { m_colorMode = mode; }
    ColorMode colorMode() const { return m_colorMode.load(); }

    CaptureSettings& captureSettings() { return m_capture; }
    // The DPI of captures; the preview's watermark is sized by it too.
    void setDpi(int dpi);
    // The watermark drawn into every capture and over the preview; none when cleared.
    void setWatermark(std::optional<Watermark> mark);
    std::optional<Watermark> watermark() const;
    // Automatic crop and capture mode also decide the outline drawn over the preview.
    void setAutoCrop(bool enable);
    void setCaptureMode(CaptureMode mode);

    // Frames delivered and preview pictures decoded of them, since the camera was made.
    std::uint64_t framesDelivered() const { return m_counts.frames.load(); }
    std::uint64_t previewDecodes() const { return m_counts.previewDecodes.load(); }

    // The newest frame the device delivered; empty before the first one.
    Frame latestFrame() const;
    // The newest frame, waiting up to `timeout` for the first one of a stream that has just
    // started; empty when none comes in time or the device is lost meanwhile.
    Frame awaitFrame(std::chrono::milliseconds timeout) const;

    // Saves the current picture, as the view shows it, to `path` in the format its extension
    // names. Returns the number of files written; 0 when nothing was written.
    int capture(const QString& path);
    // The current picture as a capture would save it, for printing (RGB888); null without a
    // frame.
    QImage printPicture();
    // The barcodes of the newest full-resolution frame as the engine's markup; empty when there
    // are none or no frame.
    std::string readBarcodes() const;
    // Records the stream to an MP4 file at `path` with sound from the server input
    // `audioSource` (none: video only); false with `error` when the recording cannot start.
    bool startRecording(const QString& path, const std::optional<std::string>& audioSource,
                        std::string& error);
    // Completes the file; false when the camera was not recording.
    bool stopRecording();
    bool isRecording() const;

    // Ends the multi-page document being collected; the next PDF capture starts a new one (or
    // continues one that a crash left at its path).
    void endPdfDocument() {
        settlePages();
        m_pdf.close();
    }
    // The document PDF captures add pages to, while pages are collected; null otherwise.
    PdfDocument* collectingDocument() {
        settlePages();
        return m_capture.pdfMode == PdfMode::Collected ? &m_pdf : nullptr;
    }
    // Waits until every page handed to the background is in its document; the number of them
    // that could not be written since the last call.
    int waitForPagesBehind() {
        settlePages();
        return std::exchange(m_pagesLost, 0);
    }

private:
    // Waits for the pages behind the captures, after which the document is this thread's alone.
    void settlePages() { m_pagesLost += m_pagesBehind.wait(); }
    void startStream();
    void stopStream();
    void handleFrame(const Frame& frame, std::uint64_t generation); // capture thread
    // The documents the capture would cut out, found on the preview picture, in source pixels.
    QList<QPolygonF> previewOutlines(const QImage& picture, QSize sourceSize,
                                     const TaskStatus& status) const; // capture thread
    void outlineChanged();
    void showPreview(const QImage& picture, QSize sourceSize, const QList<QPolygonF>& outlines,
                     std::uint64_t generation);
    void handleLost(std::uint64_t generation);
    // Capture thread: the preview of the frame, and the page watch fed with that preview or, when
    // none was made, with a copy decoded small for it.
    QImage showFrame(const Frame& frame, FrameDecoder& decoder, const TaskStatus& status,
                     std::uint64_t generation);
    void watchForPages(const Frame& frame, const QImage& preview, PageWatch& watch,
                       FrameDecoder& decoder);
    void pageTurned(std::uint64_t session);
    // Pushes the view to the surface and the preview size to the capture thread, and reports a
    // zoom change.
    void viewChanged(double zoomBefore);
    // The width the capture thread decodes previews at; 0 (none) while the window is unseen.
    void updatePreviewWidth();
    QSize windowSize() const;

    std::shared_ptr<CameraDevice> m_device;
    QPointer<VideoSurface> m_surface;
    bool m_open = false;
    std::atomic<bool> m_lost{false};
    int m_resolutionIndex = 0;
    std::optional<int> m_nextResolution; // the default set while open, for the next open

    ViewTransform m_view;
    bool m_showZoomRate = false;
    ZoZoomCallback m_zoomCallback = nullptr;
    ZoAutoCaptureCallback m_autoCaptureCallback = nullptr;
    std::uint64_t m_autoCaptureSessions = 0;
    MouseMode m_mouseMode = MouseMode::Drag;
    std::optional<QPoint> m_pressedAt; // last mouse position while the button is down
    std::optional<QPoint> m_pointer;   // last known mouse position, for wheel zoom

    // Shared with the capture thread.
    std::atomic<ColorMode> m_colorMode{ColorMode::Color};
    std::atomic<int> m_previewWidth{0}; // decode width the window needs; 0 = no preview
    std::atomic<bool> m_previewPending{false};
    std::atomic<std::uint64_t> m_generation{0};  // stream number; stale events are dropped
    std::atomic<std::uint64_t> m_autoCapture{0}; // the session automatic capture is on in; 0 off
    struct {
        std::atomic<std::uint64_t> frames{0};
        std::atomic<std::uint64_t> previewDecodes{0};
    } m_counts;
    CaptureSettings m_capture;
    PdfDocument m_pdf; // the multi-page document being collected
    // Finishes pages behind the captures (pdfPagesBehind); while it has any, the document is its.
    OrderedWork<OutputImage> m_pagesBehind{kMaxPagesBehind};
    int m_pagesLost = 0;                        // pages it could not write, not yet reported
    std::shared_ptr<TaskStatus> m_streamStatus; // cancelled when the stream stops

    // What the preview outlines, for the capture thread: how many documents (0: none) within
    // which part of the source (the visible part, which a capture cuts to).
    struct OutlineRequest {
        int documents = 0;
        QRectF region;
    };
    mutable Mutex m_outlineMutex;
    OutlineRequest m_outline GUARDED_BY(m_outlineMutex);

    // Set on the GUI thread; whoever draws it takes a copy under the lock.
    mutable Mutex m_watermarkMutex;
    std::optional<Watermark> m_watermark GUARDED_BY(m_watermarkMutex);

    // The recording the capture thread hands frames to; null when none runs.
    mutable Mutex m_recordMutex;
    std::shared_ptr<Recorder> m_recorder GUARDED_BY(m_recordMutex);

    mutable Mutex m_frameMutex;
    mutable std::condition_variable m_frameArrived; // a frame came, or the device was lost
    Frame m_latest GUARDED_BY(m_frameMutex);
};

} // namespace camcore
