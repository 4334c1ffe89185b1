#pragma once

#include "device/virtual/JpegEncoder.h"
#include "device/virtual/Tone.h"

#include <QImage>
#include <QSize>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace camcore {

// Makes the JPEG frames of one virtual camera stream. Drawing the scene and compressing it are
// the expensive parts, so both are done only when the page, the size or the tone changes; in
// between every frame shares the same bytes. Lives on the capture thread.
class SceneEncoder {
public:
    // `folder`: show its pictures instead of the document; an empty or unreadable folder shows
    // the document.
    SceneEncoder(QSize frameSize, const std::optional<QString>& folder);

    // The frame for `page` under `tone`; null when the picture could not be compressed.
    std::shared_ptr<const std::vector<std::uint8_t>> frame(int page, const Tone& tone);

private:
    QImage scene(int page) const;

    QSize m_size;
    QStringList m_pictures;
    JpegEncoder m_encoder;

    int m_scenePage = 0;
    QImage m_scene;
    Tone m_tone;
    std::shared_ptr<const std::vector<std::uint8_t>> m_bytes;
};

} // namespace camcore
