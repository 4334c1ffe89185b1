#pragma once

#include "base/Mutex.h"
#include "device/CameraDevice.h"
#include "record/Mp4Muxer.h"

#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace camcore {

class AudioInput;
class AudioEncoder;
class VideoEncoder;

// One recording of one camera to an MP4 file: H.264 of the camera's frames, encoded on a worker
// thread so that the capture thread never waits, and AAC of a sound input on a thread of its
// own. Frames keep the time they arrived at.
class Recorder {
public:
    struct Options {
        QString path;
        QSize frameSize;                        // what the camera streams
        std::optional<std::string> audioSource; // a sound input's server name; none: video only
    };

    // Starts a recording; null with `error` set when the file or an encoder cannot be made (and
    // then no file is left). A sound input that cannot be opened leaves the recording without
    // sound.
    static std::unique_ptr<Recorder> start(const Options& options, std::string& error);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Takes a frame the camera delivered (capture thread); never waits for the encoder. A frame
    // that comes while the worker is still busy with earlier ones is dropped and counted.
    void push(const Frame& frame) EXCLUDES(m_mutex);
    // Ends the recording at this moment and returns at once: no frame is taken after it, and the
    // sound is read up to it. Safe to call twice; the first call's moment holds.
    void stop() EXCLUDES(m_mutex);
    // Stops, encodes what is queued, ends both threads and completes the file: true when all of
    // it reached the disk. It can take a few seconds (the sound of the last moments may come
    // late), so it runs behind the window. For one thread at a time; a second call answers as
    // the first did.
    bool finish() EXCLUDES(m_mutex);

    const QString& path() const { return m_path; }
    // From the start to the stop; up to now while the recording runs.
    std::int64_t milliseconds() const;
    std::uint64_t framesEncoded() const { return m_encoded.load(); }
    std::uint64_t framesDropped() const { return m_dropped.load(); }

private:
    using Clock = std::chrono::steady_clock;
    struct Queued {
        Frame frame;
        std::int64_t milliseconds = 0;
    };

    Recorder();
    void encodeVideo(VideoEncoder& encoder, int stream);                    // worker thread
    void recordAudio(AudioInput& input, AudioEncoder& encoder, int stream); // sound thread

    QString m_path;
    Mp4Muxer m_muxer;
    Clock::time_point m_start;
    std::unique_ptr<VideoEncoder> m_video;
    std::unique_ptr<AudioEncoder> m_audio;
    std::unique_ptr<AudioInput> m_input;
    std::thread m_videoThread;
    std::thread m_audioThread;
    // When the recording was stopped, in milliseconds from its start; -1 while it runs.
    std::atomic<std::int64_t> m_stopAt{-1};
    std::atomic<std::uint64_t> m_encoded{0};
    std::atomic<std::uint64_t> m_dropped{0};

    Mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Queued> m_queue GUARDED_BY(m_mutex);
    bool m_stopping GUARDED_BY(m_mutex) = false;
    std::optional<bool> m_complete; // once finished: whether the whole file was written
};

} // namespace camcore
