// Capture: the newest full-resolution frame, cut and turned as the view shows it, in the colour
// mode and size the user chose, written in the format the path names.
#include "Camera.h"

#include "output/CaptureWriter.h"
#include "output/ImageFormat.h"
#include "output/JpegMarkers.h"
#include "pipeline/FrameDecoder.h"

#include <QElapsedTimer>
#include <QThread>

#include <cmath>

namespace camcore {
namespace {

// A capture right after opening waits this long for the camera's first frame.
constexpr int kFirstFrameWaitMs = 3000;

bool keepsEveryPixel(const ViewTransform& view, const CaptureSettings& settings, ColorMode mode) {
    return !view.cut() && view.zoom() == ViewTransform::kMinZoom && view.rotation() == 0 &&
           mode == ColorMode::Color && (!settings.resize || settings.resizeRatio == 1.0F);
}

QImage cutAndTurn(const QImage& full, const ViewTransform& view) {
    const QRect visible = view.visibleSourceRect().toAlignedRect().intersected(full.rect());
    QImage picture = visible == full.rect() ? full : full.copy(visible);
    if (view.rotation() != 0)
        picture = picture.transformed(QTransform().rotate(90.0 * view.rotation()));
    return picture;
}

} // namespace

int Camera::capture(const QString& path) {
    if (!m_open || m_lost || path.isEmpty() || !formatFromPath(path))
        return 0;
    Frame frame = latestFrame();
    QElapsedTimer waited;
    waited.start();
    while (frame.empty() && !m_lost && waited.elapsed() < kFirstFrameWaitMs) {
        QThread::msleep(20);
        frame = latestFrame();
    }
    if (frame.empty())
        return 0;

    const ColorMode mode = colorMode();
    OutputImage output;
    output.dpi = m_capture.dpi;
    output.jpegQuality = m_capture.jpegQuality;
    if (frame.format == PixelFormat::Mjpeg && keepsEveryPixel(m_view, m_capture, mode))
        output.cameraJpeg = frame.bytes;

    FrameDecoder decoder;
    const QImage full = decoder.decode(frame);
    if (full.isNull())
        return 0; // a damaged frame: nothing is written rather than a broken picture
    QImage picture = cutAndTurn(full, m_view);
    if (m_capture.resize && m_capture.resizeRatio != 1.0F) {
        const QSize size(std::max(1, int(std::lround(picture.width() * m_capture.resizeRatio))),
                         std::max(1, int(std::lround(picture.height() * m_capture.resizeRatio))));
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    output.picture = applyColorMode(picture, mode);
    output.bilevel = mode == ColorMode::BlackWhite;
    return writeCapture(path, output, m_capture.pdfMode == 0 ? &m_pdf : nullptr);
}

} // namespace camcore
