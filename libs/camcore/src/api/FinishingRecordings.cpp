#include "FinishingRecordings.h"

#include "ZoApi.h"
#include "record/FirstFrame.h"
#include "record/Recorder.h"

#include <QCoreApplication>

namespace camcore {
namespace {

// The picture a list shows for the file: as wide as a capture's.
constexpr int kPictureWidth = 640;

RecordingOutcome complete(Recorder& recorder) {
    RecordingOutcome outcome;
    outcome.path = recorder.path();
    const bool written = recorder.finish();
    outcome.frames = recorder.framesEncoded();
    outcome.milliseconds = recorder.milliseconds();
    if (outcome.frames == 0) {
        outcome.reason = ZO_RECORD_NO_PICTURE;
        outcome.detail = "no frame came from the camera";
    } else if (!written) {
        outcome.reason = ZO_RECORD_WRITE_FAILED;
        outcome.detail = "the file could not be written to its end";
    }
    // Even a file cut short plays up to its last fragment: its picture is still of use.
    std::string unreadable;
    outcome.picture = readFirstFrame(outcome.path, kPictureWidth, unreadable);
    if (outcome.picture.isNull() && outcome.reason == ZO_RECORD_OK) {
        outcome.reason = ZO_RECORD_UNREADABLE;
        outcome.detail = unreadable;
    }
    return outcome;
}

} // namespace

FinishingRecordings& FinishingRecordings::instance() {
    static FinishingRecordings finishing;
    return finishing;
}

void FinishingRecordings::hand(std::shared_ptr<Recorder> recorder, Done done) {
    recorder->stop(); // the recording ends at the call, not when the thread comes to it
    ++m_pending;
    m_work.hand([this, recorder = std::move(recorder), done = std::move(done)] {
        const RecordingOutcome outcome = complete(*recorder);
        const auto report = [this, done, outcome] {
            --m_pending;
            if (done)
                done(outcome);
        };
        QCoreApplication* application = QCoreApplication::instance();
        if (application != nullptr)
            QMetaObject::invokeMethod(application, report, Qt::QueuedConnection);
        else
            report(); // a program without an event loop is told on this thread
        return outcome.reason == ZO_RECORD_OK;
    });
}

} // namespace camcore
