#pragma once

#include "ZoApi.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QImage>
#include <QObject>

#include <functional>

// What became of a capture the engine finished behind the window.
struct CaptureResult {
    int job = 0;
    int written = 0; // files written, or pages added to a collected PDF
    int reason = 0;  // ZO_CAPTURE_OK, or why not everything was written
    QByteArrayList files;
    QImage picture;       // the first page, small; null when nothing was made
    QImage secondPicture; // a spread's second page, the same way; null otherwise
};

namespace queued_capture {

using Done = std::function<void(const CaptureResult&)>;

// Takes camera `camera`'s picture now and has the engine save it to `path` behind the window;
// `done` runs on the GUI thread when the job ends, unless `context` is gone by then. Returns the
// job number, or minus the ZO_CAPTURE_ reason it was refused for at once (`done` never runs).
int start(int camera, const QByteArray& path, const QObject* context, Done done);

// The same for a job another engine call queues (a merge, an inset): `queue` makes that call with
// the callback and its user data and answers as it does.
using Queue = std::function<int(ZoCaptureCallback callback, void* user)>;
int startWith(const Queue& queue, const QObject* context, Done done);

// Reads the codes of camera `camera`'s picture of now behind the window; `done` runs on the GUI
// thread with the engine's markup and a ZO_BARCODE_ reason, and a capture started in it takes the
// picture that was read. The reading's number, or minus the reason it was refused for at once.
using BarcodesDone = std::function<void(const QByteArray& markup, int reason)>;
int readBarcodes(int camera, const QObject* context, BarcodesDone done);

} // namespace queued_capture
