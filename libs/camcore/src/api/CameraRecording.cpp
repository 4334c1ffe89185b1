// Recording: the capture thread hands every frame of the stream to the recorder, which encodes
// it on its own thread.
#include "Camera.h"

#include "record/Recorder.h"

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

bool Camera::stopRecording() {
    std::shared_ptr<Recorder> recorder;
    {
        const MutexLock lock(m_recordMutex);
        recorder = std::move(m_recorder);
        m_recorder.reset();
    }
    if (!recorder)
        return false;
    // Outside the lock: the capture thread must not wait while the file is completed.
    recorder->finish();
    return true;
}

bool Camera::isRecording() const {
    const MutexLock lock(m_recordMutex);
    return m_recorder != nullptr;
}

} // namespace camcore
