#include "ThumbnailLoader.h"

#include <QImageReader>
#include <QThread>

#include <algorithm>

namespace thumbnail {

QImage decodeThumbnail(const QString& path, QSize box) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // The scaled size applies before the picture is turned upright.
    const QSize target = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90)
                             ? box.transposed()
                             : box;
    const QSize full = reader.size();
    // For JPEG this makes the decoder itself skip pixels: an 8 MP capture decodes at 1/8 size.
    if (full.isValid() && (full.width() > target.width() || full.height() > target.height()))
        reader.setScaledSize(full.scaled(target, Qt::KeepAspectRatio).expandedTo({1, 1}));
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

ThumbnailLoader::ThumbnailLoader(QObject* parent) : QObject(parent) {
    // Leave a core to the interface and the camera; a strip fills slowly anyway.
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() / 2));
}

ThumbnailLoader::~ThumbnailLoader() {
    m_pool.clear();
    m_pool.waitForDone();
}

void ThumbnailLoader::request(quint64 ticket, const QString& path, QSize box) {
    m_pool.start([this, ticket, path, box] { Q_EMIT decoded(ticket, decodeThumbnail(path, box)); });
}

void ThumbnailLoader::dropQueued() {
    m_pool.clear();
}

} // namespace thumbnail
