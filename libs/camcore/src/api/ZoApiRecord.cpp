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
