// Recording: the capture thread hands every frame of the stream to the recorder, which encodes
// it on its own thread.
#include "Camera.h"

#include "record/Recorder.h"

#include <utility>

namespace camcore {

bool Camera::startRecording(const QString& path, const std::optional<std::string>& audioSource,
                            std::string& error) {
    if (!m_open || m_lost) {
        error = "camera not open";
        return false;
    }
    if (isRecording()) {
        error = "already recording";
        return false;
    }
    const Resolution size = resolution();
    std::shared_ptr<Recorder> recorder =
        Recorder::start({path, QSize(size.width, size.height), audioSource}, error);
    if (!recorder)
        return false;
    const MutexLock lock(m_recordMutex);
    m_recorder = std::move(recorder);
    return true;
}

std::shared_ptr<Recorder> Camera::takeRecorder() {
    const MutexLock lock(m_recordMutex);
    return std::exchange(m_recorder, nullptr);
}

bool Camera::stopRecording() {
    // Outside the lock: the capture thread must not wait while the file is completed.
    const std::shared_ptr<Recorder> recorder = takeRecorder();
    if (!recorder)
        return false;
    recorder->finish();
    return true;
}

bool Camera::stopRecordingQueued(FinishingRecordings::Done done) {
    std::shared_ptr<Recorder> recorder = takeRecorder();
    if (!recorder)
        return false;
    FinishingRecordings::instance().hand(std::move(recorder), std::move(done));
    return true;
}

bool Camera::isRecording() const {
    const MutexLock lock(m_recordMutex);
    return m_recorder != nullptr;
}

} // namespace camcore
