#pragma once

#include "base/Mutex.h"
#include "record/AvHandles.h"

#include <QString>

#include <string>

namespace camcore {

// The MP4 file of one recording. Fragmented: the header goes first, and each fragment is written
// complete at every key frame (once a second), so a file cut short by a kill or a full disk plays
// up to its last fragment. Streams are added before start(); after it, the video worker and the
// sound thread hand it packets at the same time.
class Mp4Muxer {
public:
    Mp4Muxer() = default;
    ~Mp4Muxer();
    Mp4Muxer(const Mp4Muxer&) = delete;
    Mp4Muxer& operator=(const Mp4Muxer&) = delete;

    // Prepares a file at `path`; false (with error()) when the container cannot be made.
    bool create(const QString& path);
    // A stream for an opened encoder, whose packets come in the encoder's time base; -1 on
    // failure.
    int addStream(const AVCodecContext& encoder);
    // Opens the file and writes the header; false (nothing left on disk) when it cannot.
    bool start();
    // Takes a packet of stream `stream` in its encoder's time base; thread-safe.
    void write(AVPacket& packet, int stream, AVRational encoderTimeBase) EXCLUDES(m_mutex);
    // Writes what is pending and the index, and closes the file; true when every packet and the
    // index reached the file. Safe to call twice: the second call answers as the first did.
    bool finish() EXCLUDES(m_mutex);

    const std::string& error() const { return m_error; }

private:
    Mutex m_mutex;
    av::FormatContext m_format GUARDED_BY(m_mutex);
    QString m_path;
    bool m_started GUARDED_BY(m_mutex) = false;
    bool m_failed GUARDED_BY(m_mutex) = false; // a write failed: the file ends where it was
    bool m_complete GUARDED_BY(m_mutex) = false;
    std::string m_error;
};

} // namespace camcore
