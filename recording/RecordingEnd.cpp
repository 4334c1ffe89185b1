#include "RecordingEnd.h"

#include "ZoApi.h"

#include <QPointer>

#include <memory>
#include <unordered_map>

namespace recording_end {
namespace {

struct Waiting {
    QPointer<const QObject> context;
    Done done;
};

// The stops the engine has not answered yet. One answered after the event loop has stopped is
// never answered; its record stays here, reachable, until the program ends.
std::unordered_map<const Waiting*, std::unique_ptr<Waiting>>& waitingStops() {
    static std::unordered_map<const Waiting*, std::unique_ptr<Waiting>> stops;
    return stops;
}

void ended(const ZoRecordResult* result, void* user) {
    const auto found = waitingStops().find(static_cast<const Waiting*>(user));
    if (found == waitingStops().end())
        return;
    const std::unique_ptr<Waiting> waiting = std::move(found->second);
    waitingStops().erase(found);
    if (!waiting->context || !waiting->done)
        return;
    FinishedRecording finished;
    finished.path = result->path;
    finished.reason = result->reason;
    if (result->pictureRgb != nullptr)
        finished.picture = QImage(result->pictureRgb, result->pictureWidth, result->pictureHeight,
                                  result->pictureBytesPerLine, QImage::Format_RGB888)
                               .copy(); // the engine's pixels live for the call only
    waiting->done(finished);
}

} // namespace

bool stop(int camera, const QObject* context, Done done) {
    auto waiting = std::make_unique<Waiting>(Waiting{context, std::move(done)});
    Waiting* user = waiting.get();
    if (ZoStopRecordQueued(camera, &ended, user) != 1)
        return false;
    waitingStops().emplace(user, std::move(waiting)); // the engine hands it back to ended()
    return true;
}

} // namespace recording_end
