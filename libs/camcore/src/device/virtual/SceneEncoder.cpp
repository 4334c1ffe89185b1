#include "device/virtual/SceneEncoder.h"

#include "device/virtual/DocumentScene.h"
#include "device/virtual/FolderScene.h"
#include "device/virtual/TimedFolder.h"
#include "device/virtual/VideoScene.h"
#include "device/virtual/VirtualEnvironment.h"

#include <QDir>
#include <QFileInfo>

namespace camcore {

namespace {

// MJPEG cameras compress at about this quality; it keeps small text legible.
constexpr int kJpegQuality = 85;

} // namespace

SceneEncoder::SceneEncoder(QSize frameSize, const std::optional<QString>& source)
    : m_size(frameSize), m_encoder(kJpegQuality) {
    if (!source)
        return;
    const QFileInfo info(*source);
    if (info.isDir()) {
        const QString list = QDir(*source).filePath(QLatin1String(kTimingListName));
        if (QFileInfo(list).isFile())
            m_motion = std::make_unique<TimedFolder>(list, frameSize);
        else
            m_pictures = folderPictures(*source);
    } else if (info.exists()) {
        m_motion = std::make_unique<VideoScene>(*source, frameSize);
    } else {
        warnOnce(QStringLiteral("virtual camera: there is no folder or file %1: the document "
                                "shows instead")
                     .arg(*source));
    }
}

SceneEncoder::~SceneEncoder() = default;

std::shared_ptr<const std::vector<std::uint8_t>>
SceneEncoder::frame(int page, const Tone& tone, std::chrono::microseconds playTime) {
    bool newScene = m_scene.isNull();
    if (m_motion) {
        const bool moved = m_motion->advanceTo(playTime);
        const QImage shown = m_motion->picture();
        // Without a picture the document shows, and then its page counts.
        newScene = newScene || moved || (shown.isNull() && page != m_scenePage);
        if (newScene)
            m_scene = shown.isNull() ? renderDocumentScene(m_size, page) : shown;
    } else {
        newScene = newScene || page != m_scenePage;
        if (newScene)
            m_scene = scene(page);
    }
    if (newScene) {
        m_scenePage = page;
        m_bytes.reset();
    } else if (m_bytes && tone == m_tone) {
        return m_bytes;
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
