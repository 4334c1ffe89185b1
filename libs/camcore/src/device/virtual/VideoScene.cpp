#include "device/virtual/VideoScene.h"

#include "device/virtual/VirtualEnvironment.h"

#include <utility>

namespace camcore {

VideoScene::VideoScene(const QString& path, QSize frameSize)
    : m_path(path), m_size(frameSize), m_shown(av_frame_alloc()), m_ahead(av_frame_alloc()) {
    if (!m_shown || !m_ahead)
        return;
    if (!m_decoder.open(path)) {
        warnOnce(QStringLiteral("virtual camera: cannot play the video %1: %2")
                     .arg(path, m_decoder.error()));
        return;
    }
    readAhead();
    if (!m_hasAhead && m_decoder.error().isEmpty())
        warnOnce(QStringLiteral("virtual camera: the video %1 has no picture").arg(path));
}

bool VideoScene::advanceTo(std::chrono::microseconds time) {
    bool moved = false;
    // Pictures skipped over (a slow machine in real time) are decoded, as later ones need them,
    // but not converted.
    while (m_hasAhead && m_aheadTime <= time) {
        std::swap(m_shown, m_ahead);
        moved = true;
        readAhead();
    }
    if (moved)
        m_picture = m_decoder.fit(*m_shown.get(), m_size);
    return moved;
}

void VideoScene::readAhead() {
    m_hasAhead = m_decoder.next(*m_ahead.get(), m_aheadTime);
    if (!m_hasAhead && !m_decoder.error().isEmpty())
        warnOnce(QStringLiteral("virtual camera: the video %1 stops early: %2")
                     .arg(m_path, m_decoder.error()));
}

} // namespace camcore
