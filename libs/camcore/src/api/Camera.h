#pragma once

#include "CaptureQueue.h"
#include "CaptureSettings.h"
#include "FinishingRecordings.h"
#include "Modes.h"
#include "ZoApi.h"
#include "base/Mutex.h"
#include "base/WorkQueue.h"
#include "device/CameraDevice.h"
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

// One camera of the engine: streams from its device, keeps the newest frame for captures, feeds
// a reduced preview to the widget it draws into, and holds the view (zoom, pan, rotation, cut)
// and picture settings that previews and captures share. Lives on the GUI thread; only the
// frame handler runs on the device's capture thread.
class Camera final : public QObject {
public:
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
    // The page watch forgets the last page it took, at its next frame; and, to `lookAgain`,
    // decides once more on the picture lying still, which may be that page.
    void forgetLastPage(bool lookAgain) {
        ++m_pagesForgotten;
        if (lookAgain)
            ++m_lookAgain; // after the count above: the watch reads them the other way round
    }
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

    // Takes the current frame (during the automatic capture callback, the frame the page watch
    // judged settled) with the view and switches as they are, and saves it behind the caller to
    // `path` in the format its extension names; `done` then runs on the GUI thread. The job's
    // number, or minus the ZO_CAPTURE_ reason it was refused for at once.
    using CaptureDone = std::function<void(const CaptureOutcome&)>;
    // AsViewed leaves the page switches out (crop, split, flatten, clean, card copy, upright):
    // the picture is the frame as the view shows it, one file.
    enum class Processing { AsSwitched, AsViewed };
    int captureQueued(const QString& path, CaptureDone done,
                      Processing processing = Processing::AsSwitched);
    // The same, waiting for the job.
    CaptureOutcome capture(const QString& path);
    int capturesPending() const { return m_captures.pending(); }
    // A picture composed of files already written (a merge, an inset; null when a source cannot
    // be read), saved as a capture to `path` behind the caller, after the captures taken before.
    using Composition = std::function<std::optional<OutputImage>()>;
    int composeQueued(const QString& path, Composition compose, CaptureDone done);
    // The current picture as a capture would save it, for printing (RGB888); null without a
    // frame.
    QImage printPicture();
    // The same made behind the caller of the frame at the call: `done` runs on the GUI thread with
    // it and the DPI of captures. False when the camera is not open.
    using PrintDone = std::function<void(const QImage& picture, int dpi)>;
    bool printQueued(PrintDone done);
    // The barcodes of the newest full-resolution frame as the engine's markup (empty when there
    // are none) and a ZO_BARCODE_ reason.
    struct BarcodeReading {
        std::string markup;
        int reason = ZO_BARCODE_OK;
    };
    BarcodeReading readBarcodes() const;
    // The same of the frame at the call, read behind the caller: `done` runs on the GUI thread,
    // and a capture taken during it takes the frame that was read. The reading's number, or minus
    // the ZO_BARCODE_ reason it was refused for.
    using BarcodesDone = std::function<void(int reading, const BarcodeReading&)>;
    int readBarcodesQueued(BarcodesDone done);
    // Records the stream to an MP4 file at `path` with sound from the server input
    // `audioSource` (none: video only); false with `error` when the recording cannot start.
    bool startRecording(const QString& path, const std::optional<std::string>& audioSource,
                        std::string& error);
    // Stops the recording and completes its file, waiting for it; false when the camera was not
    // recording.
    bool stopRecording();
    // Stops the recording at once and completes its file behind the caller; `done` then runs on
    // the GUI thread. False when the camera was not recording.
    bool stopRecordingQueued(FinishingRecordings::Done done);
    bool isRecording() const;

    // Ends the multi-page document being collected once the captures taken are written; the next
    // PDF capture starts a new one (or continues one that a crash left at its path).
    void endPdfDocument() { m_captures.endDocument(); }
    // The document PDF captures add pages to, while pages are collected, with every capture
    // finished; null otherwise.
    PdfDocument* collectingDocument() {
        return m_capture.pdfMode == PdfMode::Collected ? &m_captures.idleDocument() : nullptr;
    }
    // Waits until every capture taken is written; the number of pages that could not be written
    // since the last call.
    int waitForPagesBehind() { return m_captures.finishAll(); }
    // Takes the last pages out of the collected document after the captures taken so far;
    // `done` runs on the GUI thread with the pages left, or -1.
    void removeLastPdfPages(int count, std::function<void(int pagesLeft)> done);

private:
    CaptureJob jobFor(const QString& path) const;
    int queueJob(CaptureJob job, CaptureDone done);
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
    // The recording the capture thread feeds, taken from it; null when none runs.
    std::shared_ptr<Recorder> takeRecorder();
    // Capture thread: the preview of the frame, and the page watch fed with that preview or, when
    // none was made, with a copy decoded small for it.
    QImage showFrame(const Frame& frame, FrameDecoder& decoder, const TaskStatus& status,
                     std::uint64_t generation);
    void watchForPages(const Frame& frame, const QImage& preview, PageWatch& watch,
                       FrameDecoder& decoder);
    void pageTurned(std::uint64_t session, const Frame& settled);
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
    std::atomic<std::uint64_t> m_generation{0};     // stream number; stale events are dropped
    std::atomic<std::uint64_t> m_autoCapture{0};    // the session automatic capture is on in; 0 off
    std::atomic<std::uint64_t> m_pagesForgotten{0}; // requests to forget the last page taken
    std::atomic<std::uint64_t> m_lookAgain{0};      // requests to decide on the still picture
    struct {
        std::atomic<std::uint64_t> frames{0};
        std::atomic<std::uint64_t> previewDecodes{0};
    } m_counts;
    CaptureSettings m_capture;
    // The frame the program is being called back about (the one the page watch judged settled,
    // the one a barcode reading read): a capture made during the call takes it.
    std::optional<Frame> m_callbackFrame;
    int m_lastReading = 0;
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

    // Declared last, so that they go first: their jobs may still wait for a frame.
    CaptureQueue m_captures;
    WorkQueue m_sideWork; // barcode readings and prints
};

} // namespace camcore
