#pragma once

#include "device/virtual/MotionSource.h"
#include "device/virtual/VideoDecoder.h"

#include <QSize>
#include <QString>

namespace camcore {

// A video file played once in real (or stepped) play time from the start of the stream, then
// holding its last picture. Decodes one picture ahead of the one shown and converts only the
// pictures it shows, so it holds two decoded pictures and one fitted one, however long the video.
// A video that cannot be opened or decoded is warned about once and shows nothing (the camera
// shows its document); one that breaks off holds the last picture it reached.
class VideoScene final : public MotionSource {
public:
    VideoScene(const QString& path, QSize frameSize);

    bool advanceTo(std::chrono::microseconds time) override;
    QImage picture() const override { return m_picture; }

private:
    void readAhead();

    QString m_path;
    QSize m_size;
    VideoDecoder m_decoder;
    av::FramePtr m_shown;
    av::FramePtr m_ahead; // the next picture, decoded but not yet due
    std::chrono::microseconds m_aheadTime{0};
    bool m_hasAhead = false;
    QImage m_picture;
};

} // namespace camcore
