#pragma once

#include "record/AvHandles.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>

namespace camcore {

// The pictures of a video file, one after another, with FFmpeg: any container and codec it
// reads. Used by one thread.
class VideoDecoder {
public:
    // Opens the best video stream of `path`; false with error() when it cannot.
    bool open(const QString& path);
    // Decodes the next picture into `frame` and its time since the video's first picture into
    // `time`; false at the end of the video, and also on an error, which error() then tells.
    bool next(AVFrame& frame, std::chrono::microseconds& time);
    // `frame` turned upright as the video says (phones record turned), scaled to fit `size` and
    // centred on the dark background as folder pictures are (renderPicture); null when it cannot
    // be converted.
    QImage fit(const AVFrame& frame, QSize size);

    const QString& error() const { return m_error; }

private:
    av::InputContext m_input;
    av::CodecContext m_codec;
    av::PacketPtr m_packet;
    int m_stream = -1;
    AVRational m_timeBase{1, 1};
    int m_rotation = 0; // clockwise degrees: 0, 90, 180 or 270
    bool m_draining = false;
    std::optional<std::int64_t> m_origin; // the first picture's timestamp
    std::chrono::microseconds m_lastTime{0};

    av::Scaler m_scaler;
    QSize m_scalerFrom, m_scalerTo;
    int m_scalerFormat = -1;

    QString m_error;
};

} // namespace camcore
