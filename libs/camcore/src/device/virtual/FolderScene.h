#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace camcore {

// The pictures a virtual camera shows in folder mode: JPEG, PNG, BMP and TIFF files of `folder`,
// sorted by file name, as full paths. Empty when the folder is missing or unreadable.
QStringList folderPictures(const QString& folder);

// `picture` scaled to fit a frame of `frameSize`, centred on a dark background, Format_RGB32.
// A null picture or size gives a null image.
QImage renderPicture(const QImage& picture, QSize frameSize);

// Reads a picture file, turned the way its metadata says; null when it cannot be read.
QImage loadPicture(const QString& path);

} // namespace camcore
