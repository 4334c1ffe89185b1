#include "device/virtual/FolderScene.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>

namespace camcore {

QStringList folderPictures(const QString& folder) {
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({"*.jpg", "*.jpeg", "*.png", "*.bmp", "*.tif", "*.tiff"},
                      QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);
    return paths;
}

QImage loadPicture(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage renderPicture(const QImage& picture, QSize frameSize) {
    if (picture.isNull() || frameSize.isEmpty())
        return {};
    QImage frame(frameSize, QImage::Format_RGB32);
    if (frame.isNull())
        return {};
    frame.fill(QColor(24, 24, 26));
    const QImage scaled = picture.scaled(frameSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&frame);
    painter.drawImage(QPoint((frameSize.width() - scaled.width()) / 2,
                             (frameSize.height() - scaled.height()) / 2),
                      scaled);
    return frame;
}

} // namespace camcore
