#include "QueuedCapture.h"

#include "ZoApi.h"

#include <QPointer>

#include <memory>

namespace queued_capture {
namespace {

struct Waiting {
    QPointer<const QObject> context;
    Done done;
};

void ended(const ZoCaptureResult* result, void* user) {
    const std::unique_ptr<Waiting> waiting(static_cast<Waiting*>(user));
    if (!waiting->context || !waiting->done)
        return;
    CaptureResult copy;
    copy.job = result->job;
    copy.written = result->written;
    copy.reason = result->reason;
    for (const QByteArray& file : QByteArray(result->files).split('\n'))
        if (!file.isEmpty())
            copy.files.push_back(file);
    if (result->pictureRgb != nullptr)
        copy.picture = QImage(result->pictureRgb, result->pictureWidth, result->pictureHeight,
                              result->pictureBytesPerLine, QImage::Format_RGB888)
                           .copy(); // the engine's pixels live for the call only
    waiting->done(copy);
}

} // namespace

int start(int camera, const QByteArray& path, const QObject* context, Done done) {
    auto waiting = std::make_unique<Waiting>(Waiting{context, std::move(done)});
    const int job = ZoCaptureQueued(camera, path.constData(), &ended, waiting.get());
    if (job > 0)
        waiting.release(); // the engine hands it back once, to ended()
    return job;
}

} // namespace queued_capture
