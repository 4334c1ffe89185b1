// The flat functions for recording and the list of sound inputs.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "record/AudioDevices.h"

using camcore::Camera;
using camcore::traceCall;
using camcore::traceVoid;
using camcore::api::Answer;
using camcore::api::answerOnCamera;
using camcore::api::keep;

namespace {

constexpr int kRecordErrorSlot = 20;
constexpr int kAudioNameSlot = 21;

camcore::AudioDevices& audioDevices() {
    static camcore::AudioDevices devices;
    return devices;
}

} // namespace

int ZoStartRecordEx(int cam, const char* path, bool withAudio) {
    return answerOnCamera(
        "ZoStartRecordEx", cam, 0,
        [&](Camera& camera) -> Answer<int> {
            if (path == nullptr || *path == '\0')
                return {0, "no path"};
            const auto source =
                withAudio ? audioDevices().sourceForRecording() : std::optional<std::string>();
            std::string error;
            if (!camera.startRecording(QString::fromLocal8Bit(path), source, error))
                return {0, keep<kRecordErrorSlot>(error)};
            return {1, source ? "" : "without sound: no sound input"};
        },
        cam, path, withAudio);
}

int ZoStopRecordEx(int cam) {
    return answerOnCamera(
        "ZoStopRecordEx", cam, 0,
        [](Camera& camera) -> Answer<int> {
            if (!camera.stopRecording())
                return {0, "not recording"};
            return {1, ""};
        },
        cam);
}

namespace {

const char* recordReasonText(int reason) {
    switch (reason) {
    case ZO_RECORD_OK:
        return "";
    case ZO_RECORD_WRITE_FAILED:
        return "the file could not be written to its end";
    case ZO_RECORD_NO_PICTURE:
        return "no picture was recorded";
    default:
        return "the file does not read back";
    }
}

// The result as the C callback receives it; what it points to lives until the callback returns.
void deliver(const camcore::RecordingOutcome& outcome, ZoRecordCallback callback, void* user) {
    const QByteArray path = outcome.path.toLocal8Bit();
    ZoRecordResult result{};
    result.path = path.constData();
    result.complete = outcome.reason == ZO_RECORD_OK ? 1 : 0;
    result.reason = outcome.reason;
    result.reasonText = recordReasonText(outcome.reason);
    result.frames = static_cast<int32_t>(outcome.frames);
    result.milliseconds = static_cast<int32_t>(outcome.milliseconds);
    if (!outcome.picture.isNull()) {
        result.pictureRgb = outcome.picture.constBits();
        result.pictureWidth = outcome.picture.width();
        result.pictureHeight = outcome.picture.height();
        result.pictureBytesPerLine = static_cast<int32_t>(outcome.picture.bytesPerLine());
    }
    traceCall("ZoStopRecordQueued done", result.complete,
              outcome.detail.empty() ? result.reasonText : outcome.detail.c_str(), result.path);
    if (callback != nullptr)
        callback(&result, user);
}

} // namespace

int ZoStopRecordQueued(int cam, ZoRecordCallback callback, void* user) {
    return answerOnCamera(
        "ZoStopRecordQueued", cam, 0,
        [callback, user](Camera& camera) -> Answer<int> {
            const bool stopped =
                camera.stopRecordingQueued([callback, user](const camcore::RecordingOutcome& done) {
                    deliver(done, callback, user);
                });
            return camcore::api::doneOr(stopped, "not recording");
        },
        cam, reinterpret_cast<const void*>(callback), static_cast<const void*>(user));
}

// Not traced: the program asks it as often as it redraws a notice.
int ZoRecordingsFinishing(void) {
    if (camcore::api::refusedOffThread("ZoRecordingsFinishing", 0))
        return 0;
    return camcore::FinishingRecordings::instance().pending();
}

int ZoGetAudioCount(void) {
    if (camcore::api::refusedOffThread("ZoGetAudioCount", 0))
        return 0;
    const int count = audioDevices().refresh();
    traceCall("ZoGetAudioCount", count, count == 0 ? "no sound input" : "");
    return count;
}

// The name stays valid until the next call on this thread.
const char* ZoGetAudioName(int index) {
    if (camcore::api::refusedOffThread("ZoGetAudioName", "", index))
        return "";
    const std::string* name = audioDevices().description(index);
    const char* result =
        keep<kAudioNameSlot>(name ? QString::fromStdString(*name).toLocal8Bit().toStdString() : "");
    traceCall("ZoGetAudioName", result, name ? "" : "no such sound input", index);
    return result;
}

void ZoSetAudioDev(int index) {
    if (camcore::api::refusedOffThreadVoid("ZoSetAudioDev", index))
        return;
    const bool chosen = audioDevices().choose(index);
    traceVoid("ZoSetAudioDev", chosen ? "" : "no such sound input", index);
}
