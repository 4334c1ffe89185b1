// A capture from the frame to the files: the frame cut and turned as the view showed it,
// processed as the switches said (automatic crop and deskew, split, flattening, cleaning, card
// copy), each page turned upright, sized, marked and read, then written in the format the path
// names.
#include "CaptureJob.h"

#include "output/AtomicFile.h"
#include "output/CaptureWriter.h"
#include "output/ImageFormat.h"
#include "output/JpegWriter.h"
#include "output/PdfDocument.h"
#include "output/WriteFailure.h"
#include "pipeline/FrameDecoder.h"
#include "process/CaptureChain.h"
#include "process/MatImage.h"
#include "process/watermark/WatermarkDraw.h"
#include "text/PageOrientation.h"
#include "text/PageWords.h"

#include <common/SplitPath.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace camcore {
namespace {

// The picture a job hands back for a list of captures is at most this wide.
constexpr int kPictureWidth = 640;
// A capture that needs no pixels decodes its picture at the smallest scale at least this wide:
// 1/8 of an 8 MP frame, where the decoder skips the inverse transform.
constexpr int kPassedPictureWidth = 400;

bool processes(const CaptureSettings& settings) {
    return settings.autoCrop || settings.cleanBackground || settings.splitCapture ||
           settings.dewarp || settings.captureMode == CaptureMode::CardCopy;
}

bool keepsEveryPixel(const CaptureJob& job) {
    const ViewTransform& view = job.view;
    const CaptureSettings& settings = job.settings;
    return !view.cut() && view.zoom() == ViewTransform::kMinZoom && view.rotation() == 0 &&
           job.mode == ColorMode::Color && (!settings.resize || settings.resizeRatio == 1.0F) &&
           !processes(settings) && !job.mark;
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

// The page turned upright, sized and marked, with its words read for a searchable PDF.
OutputImage finishedPage(const CaptureJob& job, const QImage& page, const ViewedPicture& viewed,
                         std::shared_ptr<const std::vector<std::uint8_t>> cameraJpeg, bool toPdf) {
    const CaptureSettings& settings = job.settings;
    OutputImage output;
    output.dpi = settings.dpi;
    output.jpegQuality = settings.jpegQuality;
    output.cameraJpeg = std::move(cameraJpeg);
    QImage picture = page;
    const PageLook look = settings.autoOrient ? lookAtPage(picture) : PageLook{};
    if (look.turn != 0) {
        picture = picture.transformed(QTransform().rotate(look.turn));
        output.cameraJpeg.reset(); // the camera's JPEG shows the page as it lay
    }
    picture = resized(picture, settings);
    // The mark is sized in points at the capture's DPI: a resized page holds fewer pixels an inch.
    const int markDpi = settings.resize
                            ? std::max(1, int(std::lround(settings.dpi * settings.resizeRatio)))
                            : settings.dpi;
    if (job.mark)
        drawWatermark(picture, *job.mark,
                      {picture.size(), markDpi, anchorOnPage(*job.mark, viewed, picture.size())},
                      job.now);
    output.picture = applyColorMode(picture, job.mode);
    output.bilevel = job.mode == ColorMode::BlackWhite;
    if (toPdf && settings.pdfText)
        output.words = recognisePageWords(output, look.latin);
    return output;
}

// Area averaging on the page's own pixels: Qt's smooth scaling would first convert a whole 8 MP
// page to 32 bits (32 MB, and the time to fill them).
QImage smallPicture(const QImage& page) {
    if (page.width() <= kPictureWidth)
        return page.convertToFormat(QImage::Format_RGB888);
    const cv::Mat pixels = matView(page);
    cv::Mat small;
    const int height =
        std::max(1, int(std::lround(double(page.height()) * kPictureWidth / page.width())));
    cv::resize(pixels, small, cv::Size(kPictureWidth, height), 0, 0, cv::INTER_AREA);
    return imageOf(small).convertToFormat(QImage::Format_RGB888);
}

int reasonOf(WriteFailure failure) {
    switch (failure) {
    case WriteFailure::FolderMissing:
        return ZO_CAPTURE_FOLDER_MISSING;
    case WriteFailure::FolderReadOnly:
        return ZO_CAPTURE_FOLDER_READ_ONLY;
    case WriteFailure::DiskFull:
        return ZO_CAPTURE_DISK_FULL;
    case WriteFailure::NameRefused:
        return ZO_CAPTURE_NAME_REFUSED;
    case WriteFailure::Other:
        break;
    }
    return ZO_CAPTURE_WRITE_FAILED;
}

} // namespace

QImage cutAndTurn(const QImage& full, const ViewTransform& view) {
    const QRect visible = view.visibleSourceRect().toAlignedRect().intersected(full.rect());
    QImage picture = visible == full.rect() ? full : full.copy(visible);
    if (view.rotation() != 0)
        picture = picture.transformed(QTransform().rotate(90.0 * view.rotation()));
    return picture;
}

std::vector<QImage> processedPages(const QImage& picture, const CaptureSettings& settings) {
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

std::size_t MadeCapture::bytes() const {
    std::size_t total = picture.sizeInBytes();
    for (const MadePage& page : pages)
        total += page.image.picture.sizeInBytes() + page.file.size();
    return total;
}

namespace {

// A composed picture is one page, as its sources were made: it is neither processed nor turned.
MadeCapture makeComposed(const CaptureJob& job) {
    MadeCapture made;
    std::optional<OutputImage> image = job.compose();
    if (!image) {
        made.reason = ZO_CAPTURE_PICTURE_DAMAGED;
        return made;
    }
    const std::optional<ImageFormat> format = formatFromPath(job.path);
    image->jpegQuality = job.settings.jpegQuality;
    if (format == ImageFormat::Pdf && job.settings.pdfText)
        image->words = recognisePageWords(*image);
    MadePage page;
    page.target = job.path;
    page.image = std::move(*image);
    page.collected = job.collected;
    if (!job.collected && format)
        page.file = encodeCapture(*format, page.image);
    made.picture = smallPicture(page.image.picture);
    made.pages.push_back(std::move(page));
    if (format == ImageFormat::Pdf && job.settings.pdfText && !canRecogniseWords())
        made.reason = ZO_CAPTURE_NO_TEXT_READER;
    return made;
}

// A JPEG file of a frame left as the camera made it is the camera's own JPEG: nothing needs its
// pixels but the small picture for the list, which a scaled decode gives at a small part of the
// cost of a full one (the file is written at once; the 8 MP frame is never decoded whole). Nothing
// when the capture changes the picture in any way.
std::optional<MadeCapture> passedThrough(const CaptureJob& job, const Frame& frame,
                                         FrameDecoder& decoder) {
    if (frame.format != PixelFormat::Mjpeg || !frame.bytes || job.collected ||
        job.settings.autoOrient || !keepsEveryPixel(job) ||
        formatFromPath(job.path) != ImageFormat::Jpeg)
        return std::nullopt;
    MadePage page;
    page.file = cameraJpegFile(*frame.bytes, job.settings.jpegQuality, job.settings.dpi);
    const QImage small = decoder.decode(frame, kPassedPictureWidth);
    if (page.file.isEmpty() || small.isNull())
        return std::nullopt;
    page.target = job.path;
    page.image.dpi = job.settings.dpi;
    page.image.jpegQuality = job.settings.jpegQuality;
    page.image.cameraJpeg = frame.bytes;
    MadeCapture made;
    made.picture = smallPicture(small);
    made.pages.push_back(std::move(page));
    return made;
}

} // namespace

MadeCapture makeCapture(const CaptureJob& job) {
    if (job.compose)
        return makeComposed(job);
    MadeCapture made;
    const Frame frame = job.frame.empty() && job.awaitFrame ? job.awaitFrame() : job.frame;
    if (frame.empty()) {
        made.reason = ZO_CAPTURE_CAMERA_LOST;
        return made;
    }
    FrameDecoder decoder;
    if (std::optional<MadeCapture> passed = passedThrough(job, frame, decoder))
        return std::move(*passed);
    const QImage full = decoder.decode(frame);
    if (full.isNull()) {
        made.reason = ZO_CAPTURE_PICTURE_DAMAGED; // nothing rather than a broken picture
        return made;
    }
    const std::optional<ImageFormat> format = formatFromPath(job.path);
    const bool toPdf = format == ImageFormat::Pdf;
    std::shared_ptr<const std::vector<std::uint8_t>> cameraJpeg;
    if (frame.format == PixelFormat::Mjpeg && keepsEveryPixel(job))
        cameraJpeg = frame.bytes;
    const ViewedPicture viewed = viewedPicture(job.view, full.size());
    const std::vector<QImage> pages = processedPages(cutAndTurn(full, job.view), job.settings);

    // Pages collected into one PDF take both halves of a spread in turn; otherwise the right page
    // has a file of its own, which the application looks for by that name.
    for (std::size_t i = 0; i < pages.size(); ++i) {
        MadePage page;
        page.target = i == 0 || job.collected ? job.path : common::splitPath(job.path);
        page.image = finishedPage(job, pages[i], viewed, cameraJpeg, toPdf);
        page.collected = job.collected;
        if (!job.collected && format)
            page.file = encodeCapture(*format, page.image);
        made.pages.push_back(std::move(page));
    }
    if (!made.pages.empty())
        made.picture = smallPicture(made.pages.front().image.picture);
    if (made.pages.size() > 1)
        made.secondPicture = smallPicture(made.pages[1].image.picture);
    if (toPdf && job.settings.pdfText && !canRecogniseWords())
        made.reason = ZO_CAPTURE_NO_TEXT_READER;
    return made;
}

// A page that fails is told by its reason; the pages after it are still tried.
CaptureOutcome writeMadeCapture(const MadeCapture& made, PdfDocument& document) {
    CaptureOutcome outcome;
    outcome.reason = made.reason;
    outcome.picture = made.picture;
    outcome.secondPicture = made.secondPicture;
    for (const MadePage& page : made.pages) {
        const bool written =
            page.collected ? document.append(page.image, page.target)
                           : !page.file.isEmpty() && writeFileAtomically(page.target, page.file);
        if (!written) {
            // A collected page's size is not known before it is written: about a JPEG's.
            const std::int64_t needed =
                page.collected ? page.image.picture.sizeInBytes() / 8 : page.file.size();
            outcome.reason = !page.collected && page.file.isEmpty()
                                 ? ZO_CAPTURE_WRITE_FAILED // the writers refused the picture
                                 : reasonOf(whyNotWritten(page.target, needed));
            continue;
        }
        ++outcome.written;
        const QString file = page.collected ? document.path() : page.target;
        if (!outcome.files.contains(file))
            outcome.files.push_back(file);
    }
    return outcome;
}

const char* captureReasonText(int reason) {
    switch (reason) {
    case ZO_CAPTURE_OK:
        return "";
    case ZO_CAPTURE_BUSY:
        return "busy";
    case ZO_CAPTURE_CAMERA_LOST:
        return "camera lost";
    case ZO_CAPTURE_FOLDER_MISSING:
        return "folder missing";
    case ZO_CAPTURE_FOLDER_READ_ONLY:
        return "folder read-only";
    case ZO_CAPTURE_DISK_FULL:
        return "disk full";
    case ZO_CAPTURE_NAME_REFUSED:
        return "file name refused";
    case ZO_CAPTURE_PICTURE_DAMAGED:
        return "picture damaged";
    case ZO_CAPTURE_NO_TEXT_READER:
        return "text reader missing";
    default:
        return "not written";
    }
}

} // namespace camcore
