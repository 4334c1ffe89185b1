#include "device/virtual/SceneEncoder.h"

#include "device/virtual/DocumentScene.h"
#include "device/virtual/FolderScene.h"

namespace camcore {

namespace {

// MJPEG cameras compress at about this quality; it keeps small text legible.
constexpr int kJpegQuality = 85;

} // namespace

SceneEncoder::SceneEncoder(QSize frameSize, const std::optional<QString>& folder)
    : m_size(frameSize), m_encoder(kJpegQuality) {
    if (folder)
        m_pictures = folderPictures(*folder);
}

std::shared_ptr<const std::vector<std::uint8_t>> SceneEncoder::frame(int page, const Tone& tone) {
    const bool newScene = m_scene.isNull() || page != m_scenePage;
    if (!newScene && m_bytes && tone == m_tone)
        return m_bytes;
    if (newScene) {
        m_scene = scene(page);
        m_scenePage = page;
        m_bytes.reset();
    }
    QImage picture = m_scene;
    applyTone(picture, tone);
    std::vector<std::uint8_t> jpeg = m_encoder.encode(picture);
    if (jpeg.empty())
        return nullptr;
    m_tone = tone;
    m_bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(jpeg));
    return m_bytes;
}

QImage SceneEncoder::scene(int page) const {
    if (!m_pictures.isEmpty()) {
        // Pages wrap around the folder; a picture that cannot be read shows the document.
        const qsizetype count = m_pictures.size();
        const qsizetype index = ((page - 1) % count + count) % count;
        const QImage picture = renderPicture(loadPicture(m_pictures[index]), m_size);
        if (!picture.isNull())
            return picture;
    }
    return renderDocumentScene(m_size, page);
}

} // namespace camcore
