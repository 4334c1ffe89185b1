#pragma once

#include "CaptureSettings.h"
#include "ZoApi.h"
#include "device/CameraDevice.h"
#include "output/OutputImage.h"
#include "pipeline/ColorMode.h"
#include "pipeline/ViewTransform.h"
#include "process/watermark/Watermark.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace camcore {

class PdfDocument;

// One capture as it was asked for: the frame and everything that decides what becomes of it,
// taken when the user pressed, so that it can be finished later on another thread.
struct CaptureJob {
    Frame frame; // empty right after opening: the stream's first frame is awaited
    std::function<Frame()> awaitFrame;
    ViewTransform view;
    CaptureSettings settings;
    ColorMode mode = ColorMode::Color;
    std::optional<Watermark> mark;
    QDateTime now; // both pages of a spread get the same time
    QString path;
    bool collected = false; // the pages join the camera's collected PDF
    // A picture made of files instead of the frame (a merge, an inset); nothing when a source
    // cannot be read.
    std::function<std::optional<OutputImage>()> compose;
};

// A page made of a job, ready to be written.
struct MadePage {
    QString target;
    OutputImage image;
    bool collected = false; // joins the camera's collected PDF
    QByteArray file;        // the encoded file otherwise; empty when encoding failed
};

// What the processing threads make of a job.
struct MadeCapture {
    std::vector<MadePage> pages;
    int reason = ZO_CAPTURE_OK; // why no page was made, or a page made without its text
    QImage picture;             // the first page, small, for a list of captures
    QImage secondPicture;       // the second page of a spread, as small; null otherwise

    std::size_t bytes() const;
};

// What became of a job once it was written.
struct CaptureOutcome {
    int job = 0;
    int written = 0;
    int reason = ZO_CAPTURE_OK;
    QStringList files;
    QImage picture;       // Format_RGB888; null when nothing was made
    QImage secondPicture; // of a spread's second page, the same way
};

// Decodes, cuts, processes, turns, reads and encodes: the part of a capture that any thread may
// do, two jobs at once.
MadeCapture makeCapture(const CaptureJob& job);
// Writes the pages, in order, a collected PDF's into `document`: one job at a time.
CaptureOutcome writeMadeCapture(const MadeCapture& made, PdfDocument& document);

// A short English text of a ZO_CAPTURE_ reason, for the trace and the callback.
const char* captureReasonText(int reason);

// The steps printing shares with captures.
QImage cutAndTurn(const QImage& full, const ViewTransform& view);
// The pages the switches make of the picture: one, or two for a split (left, right).
std::vector<QImage> processedPages(const QImage& picture, const CaptureSettings& settings);
QImage resized(const QImage& picture, const CaptureSettings& settings);

} // namespace camcore
