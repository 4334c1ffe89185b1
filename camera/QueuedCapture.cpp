#include "QueuedCapture.h"

#include "ZoApi.h"

#include <QPointer>

#include <memory>
#include <unordered_map>

namespace queued_capture {
namespace {

struct Waiting {
    QPointer<const QObject> context;
    Done done;
};

// The jobs the engine has not answered yet. A job answered after the event loop has stopped is
// never answered; its record stays here, reachable, until the program ends.
std::unordered_map<const Waiting*, std::unique_ptr<Waiting>>& waitingJobs() {
    static std::unordered_map<const Waiting*, std::unique_ptr<Waiting>> jobs;
    return jobs;
}

void ended(const ZoCaptureResult* result, void* user) {
    const auto found = waitingJobs().find(static_cast<const Waiting*>(user));
    if (found == waitingJobs().end())
        return;
    const std::unique_ptr<Waiting> waiting = std::move(found->second);
    waitingJobs().erase(found);
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
    Waiting* user = waiting.get();
    const int job = ZoCaptureQueued(camera, path.constData(), &ended, user);
    if (job > 0)
        waitingJobs().emplace(user, std::move(waiting)); // the engine hands it back to ended()
    return job;
}

} // namespace queued_capture
