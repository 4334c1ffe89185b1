#include "record/Mp4Muxer.h"

#include <QFile>

extern "C" {
#include <libavutil/dict.h>
}

namespace camcore {

Mp4Muxer::~Mp4Muxer() {
    finish();
}

bool Mp4Muxer::create(const QString& path) {
    m_path = path;
    AVFormatContext* format = nullptr;
    const int result = avformat_alloc_output_context2(&format, nullptr, "mp4",
                                                      QFile::encodeName(path).constData());
    if (result < 0 || format == nullptr) {
        m_error = "cannot make an MP4 container: " + av::errorText(result);
        return false;
    }
    const MutexLock lock(m_mutex);
    m_format.reset(format);
    return true;
}

int Mp4Muxer::addStream(const AVCodecContext& encoder) {
    const MutexLock lock(m_mutex);
    AVStream* stream = avformat_new_stream(m_format.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, &encoder) < 0) {
        m_error = "cannot add a stream";
        return -1;
    }
    stream->time_base = encoder.time_base;
    return stream->index;
}

bool Mp4Muxer::start() {
    const MutexLock lock(m_mutex);
    AVFormatContext* format = m_format.get();
    const int opened =
        avio_open(&format->pb, QFile::encodeName(m_path).constData(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        m_error = "cannot write the file: " + av::errorText(opened);
        return false;
    }
    // An empty index up front and a fragment at each key frame: every second written stays
    // playable whatever ends the program.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
    const int written = avformat_write_header(format, &options);
    av_dict_free(&options);
    if (written < 0) {
        m_error = "cannot write the header: " + av::errorText(written);
        avio_closep(&format->pb);
        QFile::remove(m_path);
        return false;
    }
    m_started = true;
    return true;
}

void Mp4Muxer::write(AVPacket& packet, int stream, AVRational encoderTimeBase) {
    const MutexLock lock(m_mutex);
    if (!m_started || m_failed)
        return;
    packet.stream_index = stream;
    av_packet_rescale_ts(&packet, encoderTimeBase, m_format.get()->streams[stream]->time_base);
    if (av_interleaved_write_frame(m_format.get(), &packet) < 0) {
        // A full disk or a vanished folder: the fragments already written stay playable.
        m_failed = true;
        qWarning("camcore: writing the recording failed; it ends here");
    }
}

bool Mp4Muxer::finish() {
    const MutexLock lock(m_mutex);
    if (!m_started)
        return m_complete;
    m_started = false;
    AVFormatContext* format = m_format.get();
    const bool trailer = !m_failed && av_write_trailer(format) >= 0;
    // The last bytes reach the file at the close; a full disk shows there too.
    const bool closed = avio_closep(&format->pb) >= 0;
    m_complete = trailer && closed;
    return m_complete;
}

} // namespace camcore
