#include "QueuedCapture.h"

#include <QPointer>

#include <memory>
#include <optional>
#include <unordered_map>

namespace queued_capture {
namespace {

// The calls the engine has not answered yet. One answered after the event loop has stopped is
// never answered; its record stays here, reachable, until the program ends.
template <typename Answer> class Waiting {
public:
    // The user data the engine hands back to answer(); `forget` it when the call was refused.
    void* add(const QObject* context, Answer answer) {
        auto entry = std::make_unique<Entry>(Entry{context, std::move(answer)});
        void* user = entry.get();
        m_entries.emplace(user, std::move(entry));
        return user;
    }
    void forget(void* user) { m_entries.erase(user); }
    // The answer to run, unless its context is gone.
    std::optional<Answer> take(void* user) {
        const auto found = m_entries.find(user);
        if (found == m_entries.end())
            return std::nullopt;
        const std::unique_ptr<Entry> entry = std::move(found->second);
        m_entries.erase(found);
        if (!entry->context || !entry->answer)
            return std::nullopt;
        return entry->answer;
    }

private:
    struct Entry {
        QPointer<const QObject> context;
        Answer answer;
    };
    std::unordered_map<void*, std::unique_ptr<Entry>> m_entries;
};

Waiting<Done>& waitingJobs() {
    static Waiting<Done> jobs;
    return jobs;
}

Waiting<BarcodesDone>& waitingReadings() {
    static Waiting<BarcodesDone> readings;
    return readings;
}

void ended(const ZoCaptureResult* result, void* user) {
    const std::optional<Done> done = waitingJobs().take(user);
    if (!done)
        return;
    CaptureResult copy;
    copy.job = result->job;
    copy.written = result->written;
    copy.reason = result->reason;
    for (const QByteArray& file : QByteArray(result->files).split('\n'))
        if (!file.isEmpty())
            copy.files.push_back(file);
    // The engine's pixels live for the call only.
    if (result->pictureRgb != nullptr)
        copy.picture = QImage(result->pictureRgb, result->pictureWidth, result->pictureHeight,
                              result->pictureBytesPerLine, QImage::Format_RGB888)
                           .copy();
    if (result->secondPictureRgb != nullptr)
        copy.secondPicture = QImage(result->secondPictureRgb, result->secondPictureWidth,
                                    result->secondPictureHeight, result->secondPictureBytesPerLine,
                                    QImage::Format_RGB888)
                                 .copy();
    (*done)(copy);
}

void read(int32_t, const char* markup, int32_t reason, void* user) {
    if (const std::optional<BarcodesDone> done = waitingReadings().take(user))
        (*done)(QByteArray(markup), reason);
}

} // namespace

int start(int camera, const QByteArray& path, const QObject* context, Done done) {
    return startWith(
        [camera, &path](ZoCaptureCallback callback, void* user) {
            return ZoCaptureQueued(camera, path.constData(), callback, user);
        },
        context, std::move(done));
}

int startWith(const Queue& queue, const QObject* context, Done done) {
    void* user = waitingJobs().add(context, std::move(done));
    const int job = queue(&ended, user);
    if (job <= 0)
        waitingJobs().forget(user);
    return job;
}

int readBarcodes(int camera, const QObject* context, BarcodesDone done) {
    void* user = waitingReadings().add(context, std::move(done));
    const int reading = ZoReadBarcodeQueued(camera, &read, user);
    if (reading <= 0)
        waitingReadings().forget(user);
    return reading;
}

} // namespace queued_capture
