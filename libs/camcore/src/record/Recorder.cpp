#include "record/Recorder.h"

#include "pipeline/FrameDecoder.h"
#include "record/AudioEncoder.h"
#include "record/AudioInput.h"
#include "record/VideoEncoder.h"
#include "record/YuvFrame.h"

#include <QFile>

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace camcore {
namespace {

// Frames waiting for the encoder. At 15 frames a second this is half a second of slack for a
// slow frame; beyond it the newest frames are dropped, as a camera drops them, so memory stays
// bounded and the video shows the gap.
constexpr std::size_t kQueueLimit = 8;

// Samples read from the sound input at a time: 20 ms.
constexpr int kAudioBlock = AudioEncoder::kRate / 50;

// A stopped recording waits this long at most for the sound of its last moments: a microphone
// hands it over within tens of milliseconds, the server's test tone in blocks of two seconds.
constexpr auto kAudioTail = std::chrono::seconds(3);

} // namespace

Recorder::Recorder() = default;

std::unique_ptr<Recorder> Recorder::start(const Options& options, std::string& error) {
    // FFmpeg reports on the terminal what the encoders chose; only errors are of interest.
    av_log_set_level(AV_LOG_ERROR);
    std::unique_ptr<Recorder> recorder(new Recorder);
    const QSize size = VideoEncoder::outputSize(options.frameSize);
    if (options.frameSize.isEmpty()) {
        error = "no picture size";
        return nullptr;
    }
    recorder->m_video = std::make_unique<VideoEncoder>();
    if (!recorder->m_video->open(size)) {
        error = recorder->m_video->error();
        return nullptr;
    }
    if (options.audioSource) {
        auto input = std::make_unique<AudioInput>();
        auto encoder = std::make_unique<AudioEncoder>();
        if (input->open(*options.audioSource, AudioEncoder::kRate) && encoder->open()) {
            recorder->m_input = std::move(input);
            recorder->m_audio = std::move(encoder);
        }
    }
    recorder->m_path = options.path;
    Mp4Muxer& muxer = recorder->m_muxer;
    if (!muxer.create(options.path)) {
        error = muxer.error();
        return nullptr;
    }
    const int videoStream = muxer.addStream(recorder->m_video->context());
    const int audioStream = recorder->m_audio ? muxer.addStream(recorder->m_audio->context()) : -1;
    if (videoStream < 0 || (recorder->m_audio && audioStream < 0) || !muxer.start()) {
        error = muxer.error();
        return nullptr;
    }
    // Sound and picture count from the same moment: the sound stream is already running, so its
    // first block is the sound of this moment.
    recorder->m_start = Clock::now();
    Recorder* self = recorder.get();
    recorder->m_videoThread =
        std::thread([self, videoStream] { self->encodeVideo(*self->m_video, videoStream); });
    if (recorder->m_audio) {
        recorder->m_audioThread = std::thread([self, audioStream] {
            self->recordAudio(*self->m_input, *self->m_audio, audioStream);
        });
    }
    return recorder;
}

Recorder::~Recorder() {
    finish();
}

void Recorder::push(const Frame& frame) {
    const auto now = Clock::now();
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - m_start).count();
    {
        const MutexLock lock(m_mutex);
        if (m_stopping)
            return;
        if (m_queue.size() >= kQueueLimit) {
            ++m_dropped;
            return;
        }
        m_queue.push_back({frame, milliseconds});
    }
    m_wake.notify_one();
}

std::int64_t Recorder::milliseconds() const {
    const std::int64_t stopAt = m_stopAt.load();
    return stopAt >= 0
               ? stopAt
               : std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start)
                     .count();
}

void Recorder::stop() {
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
    {
        // Set together, so that whoever finds the recording stopping also finds its moment.
        const MutexLock lock(m_mutex);
        if (m_stopping)
            return;
        m_stopAt = now;
        m_stopping = true;
    }
    m_wake.notify_one();
}

bool Recorder::finish() {
    if (m_complete)
        return *m_complete;
    stop();
    if (m_videoThread.joinable())
        m_videoThread.join();
    if (m_audioThread.joinable())
        m_audioThread.join();
    m_complete = m_muxer.finish();
    return *m_complete;
}

void Recorder::encodeVideo(VideoEncoder& encoder, int stream) {
    const auto sink = [this, stream, base = encoder.timeBase()](AVPacket& packet) {
        m_muxer.write(packet, stream, base);
    };
    YuvFrameDecoder planes;
    FrameDecoder decoder;
    const int width = encoder.context().width;
    for (;;) {
        Queued next;
        {
            MutexLock lock(m_mutex);
            while (m_queue.empty() && !m_stopping)
                lock.wait(m_wake);
            if (m_queue.empty())
                break; // stopping, and every queued frame is in the file
            next = std::move(m_queue.front());
            m_queue.pop_front();
        }
        // TurboJPEG decodes an 8 MP frame at half size for a 1080p video at a third of the cost;
        // a camera's JPEG goes to the encoder as its own planes, other frames through RGB.
        bool encoded = false;
        if (const std::optional<YuvFrame> yuv = planes.decode(next.frame, width)) {
            encoded = encoder.encode(*yuv, next.milliseconds, sink);
        } else {
            const QImage picture = decoder.decode(next.frame, width);
            encoded = !picture.isNull() && encoder.encode(picture, next.milliseconds, sink);
        }
        if (encoded)
            ++m_encoded;
    }
    encoder.flush(sink);
}

void Recorder::recordAudio(AudioInput& input, AudioEncoder& encoder, int stream) {
    const auto sink = [this, stream, base = encoder.timeBase()](AVPacket& packet) {
        m_muxer.write(packet, stream, base);
    };
    std::vector<float> block(kAudioBlock);
    encoder.setStart(0);
    // The sound follows the clock the picture's timestamps come from. A source that hands
    // samples over before their time (the server's test tone comes in blocks of two seconds) has
    // the early part dropped; after a stop, reading goes on until the sound reaches the moment
    // of the stop, as the server hands sound over some time after it was heard.
    std::int64_t samples = 0;
    std::optional<Clock::time_point> giveUpAt;
    const auto samplesAt = [](std::int64_t milliseconds) {
        return milliseconds * AudioEncoder::kRate / 1000;
    };
    for (;;) {
        const std::int64_t stopAt = m_stopAt.load();
        if (stopAt >= 0) {
            if (!giveUpAt)
                giveUpAt = Clock::now() + kAudioTail;
            if (samples >= samplesAt(stopAt) || Clock::now() > *giveUpAt)
                break;
        }
        if (!input.read(block))
            break; // the input went away: the picture goes on alone
        const auto now =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
        const std::int64_t limit = samplesAt(stopAt >= 0 ? std::min(now, stopAt) : now);
        const auto taken =
            static_cast<std::size_t>(std::clamp<std::int64_t>(limit - samples, 0, kAudioBlock));
        encoder.push(std::span<const float>(block).first(taken), sink);
        samples += static_cast<std::int64_t>(taken);
    }
    encoder.flush(sink);
}

} // namespace camcore
