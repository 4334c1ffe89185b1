#pragma once

#include "device/virtual/JpegEncoder.h"
#include "device/virtual/MotionSource.h"
#include "device/virtual/Tone.h"

#include <QImage>
#include <QSize>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace camcore {

// Makes the JPEG frames of one virtual camera stream. Drawing the scene and compressing it are
// the expensive parts, so both are done only when the picture, the size or the tone changes; in
// between every frame shares the same bytes. Lives on the capture thread.
class SceneEncoder {
public:
    // `source` (CAMCORE_VIRTUAL_SOURCE): a folder shows its pictures by page instead of the
    // document, or, with a timing list, plays them by time (TimedFolder); a file is played as a
    // video (VideoScene). An empty or unreadable folder shows the document, and so does a path
    // that names nothing, with a warning.
    SceneEncoder(QSize frameSize, const std::optional<QString>& source);
    ~SceneEncoder();

    // The frame for `page` under `tone`, `playTime` into the stream; null when the picture could
    // not be compressed. The page matters to the document and folder pictures, the play time to
    // a video or a timing list.
    std::shared_ptr<const std::vector<std::uint8_t>> frame(int page, const Tone& tone,
                                                           std::chrono::microseconds playTime);

private:
    QImage scene(int page) const;

    QSize m_size;
    QStringList m_pictures;
    std::unique_ptr<MotionSource> m_motion;
    JpegEncoder m_encoder;

    int m_scenePage = 0;
    QImage m_scene;
    Tone m_tone;
    std::shared_ptr<const std::vector<std::uint8_t>> m_bytes;
};

} // namespace camcore
