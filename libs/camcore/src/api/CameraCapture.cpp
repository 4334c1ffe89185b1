// Capture: the newest full-resolution frame, cut and turned as the view shows it, processed as
// the switches say (automatic crop and deskew, split, flattening, cleaning, card copy), in the
// colour mode and size the user chose, written in the format the path names.
#include "Camera.h"

#include "output/CaptureWriter.h"
#include "output/ImageFormat.h"
#include "output/JpegMarkers.h"
#include "pipeline/FrameDecoder.h"
#include "process/CaptureChain.h"
#include "process/MatImage.h"
#include "process/watermark/WatermarkDraw.h"
#include "text/PageOrientation.h"
#include "text/PageWords.h"

#include <common/SplitPath.h>

#include <opencv2/core.hpp>

#include <cmath>

namespace camcore {
namespace {

// A capture right after opening waits this long for the camera's first frame.
constexpr std::chrono::milliseconds kFirstFrameWait{3000};

bool processes(const CaptureSettings& settings) {
    return settings.autoCrop || settings.cleanBackground || settings.splitCapture ||
           settings.dewarp || settings.captureMode == CaptureMode::CardCopy;
}

bool keepsEveryPixel(const ViewTransform& view, const CaptureSettings& settings, ColorMode mode) {
    return !view.cut() && view.zoom() == ViewTransform::kMinZoom && view.rotation() == 0 &&
           mode == ColorMode::Color && (!settings.resize || settings.resizeRatio == 1.0F) &&
           !processes(settings);
}

// The offsets position of a watermark, in source pixels, on a page of `page` size made of the
// viewed picture: processing and resizing scale the viewed picture to the page.
QPointF anchorOnPage(const Watermark& mark, const ViewedPicture& viewed, QSize page) {
    const QPointF onViewed = viewed.fromSource.map(QPointF(mark.position));
    if (viewed.size.isEmpty())
        return onViewed;
    return {onViewed.x() * page.width() / viewed.size.width(),
            onViewed.y() * page.height() / viewed.size.height()};
}

QImage cutAndTurn(const QImage& full, const ViewTransform& view) {
    const QRect visible = view.visibleSourceRect().toAlignedRect().intersected(full.rect());
    QImage picture = visible == full.rect() ? full : full.copy(visible);
    if (view.rotation() != 0)
        picture = picture.transformed(QTransform().rotate(90.0 * view.rotation()));
    return picture;
}

// The pages the switches make of the picture: one, or two for a split (left, right).
std::vector<QImage> processed(const QImage& picture, const CaptureSettings& settings) {
    if (!processes(settings))
        return {picture};
    ChainParams params;
    params.autoCrop = settings.autoCrop;
    params.clean = settings.cleanBackground;
    params.split = settings.splitCapture;
    params.dewarp = settings.dewarp;
    params.cardCopy = settings.captureMode == CaptureMode::CardCopy;
    try {
        std::vector<QImage> pages;
        for (const ChainPage& page : ChainTask(params).run(matView(picture)).pages)
            pages.push_back(imageOf(page.picture));
        return pages;
    } catch (const cv::Exception& error) {
        // The picture as the view shows it rather than nothing.
        qWarning("camcore: processing the capture failed (%s); saved unprocessed", error.what());
        return {picture};
    }
}

QImage resized(const QImage& picture, const CaptureSettings& settings) {
    if (!settings.resize || settings.resizeRatio == 1.0F)
        return picture;
    const QSize size(std::max(1, int(std::lround(picture.width() * settings.resizeRatio))),
                     std::max(1, int(std::lround(picture.height() * settings.resizeRatio))));
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// One page of a capture, with what finishing it needs as it was when the capture was made, so
// that it can be finished later on another thread.
struct PageWork {
    QImage picture; // as processing left it
    CaptureSettings settings;
    ColorMode mode = ColorMode::Color;
    std::optional<Watermark> mark;
    ViewedPicture viewed;
    QDateTime now;
    std::shared_ptr<const std::vector<std::uint8_t>> cameraJpeg;
    bool toPdf = false;
    QString target;
    PdfDocument* document = nullptr; // the collected document the page joins, if any
};

// The page turned upright, sized and marked, with its words read for a searchable PDF.
OutputImage finishedPage(const PageWork& work) {
    const CaptureSettings& settings = work.settings;
    OutputImage output;
    output.dpi = settings.dpi;
    output.jpegQuality = settings.jpegQuality;
    output.cameraJpeg = work.cameraJpeg;
    QImage picture = work.picture;
    const PageLook look = settings.autoOrient ? lookAtPage(picture) : PageLook{};
    if (look.turn != 0) {
        picture = picture.transformed(QTransform().rotate(look.turn));
        output.cameraJpeg.reset(); // the camera's JPEG shows the page as it lay
    }
    picture = resized(picture, settings);
    if (work.mark)
        drawWatermark(
            picture, *work.mark,
            {picture.size(), settings.dpi, anchorOnPage(*work.mark, work.viewed, picture.size())},
            work.now);
    output.picture = applyColorMode(picture, work.mode);
    output.bilevel = work.mode == ColorMode::BlackWhite;
    if (work.toPdf && settings.pdfText)
        output.words = recognisePageWords(output, look.latin);
    return output;
}

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
    const std::vector<QImage> pages = processed(cutAndTurn(full, m_view), settings);
    return applyColorMode(resized(pages.front(), settings), colorMode())
        .convertToFormat(QImage::Format_RGB888);
}

int Camera::capture(const QString& path) {
    const std::optional<ImageFormat> format = formatFromPath(path);
    if (!m_open || m_lost || path.isEmpty() || !format)
        return 0;
    const bool toPdf = *format == ImageFormat::Pdf;
    const Frame frame = awaitFrame(kFirstFrameWait);
    if (frame.empty())
        return 0;

    PageWork work;
    work.settings = m_capture;
    work.mode = colorMode();
    work.mark = watermark();
    work.toPdf = toPdf;
    if (frame.format == PixelFormat::Mjpeg && !work.mark &&
        keepsEveryPixel(m_view, m_capture, work.mode))
        work.cameraJpeg = frame.bytes;

    FrameDecoder decoder;
    const QImage full = decoder.decode(frame);
    if (full.isNull())
        return 0; // a damaged frame: nothing is written rather than a broken picture
    const std::vector<QImage> pages = processed(cutAndTurn(full, m_view), m_capture);
    work.viewed = viewedPicture(m_view, full.size());
    work.now = QDateTime::currentDateTime(); // both pages of a spread alike

    // Pages collected into one PDF take both halves of a spread in turn; otherwise the right page
    // has a file of its own, which the application looks for by that name. The PDF mode outlives
    // a switch of the format, so only a PDF path collects.
    const bool collected = m_capture.pdfMode == PdfMode::Collected && toPdf;
    const bool behind = collected && m_capture.pdfPagesBehind;
    if (collected && !behind)
        settlePages(); // the document is this thread's again
    int written = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        work.picture = pages[i];
        work.target = i == 0 || collected ? path : common::splitPath(path);
        work.document = collected ? &m_pdf : nullptr;
        if (behind) {
            // The two pages of a spread are finished at once where there are cores for it, and
            // written in the order taken.
            m_pagesBehind.hand([work] { return finishedPage(work); },
                               [work](const OutputImage& page) {
                                   return writeCapture(work.target, page, work.document) > 0;
                               });
            ++written;
        } else {
            written += writeCapture(work.target, finishedPage(work), work.document);
        }
    }
    return written;
}

} // namespace camcore
