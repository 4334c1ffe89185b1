#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

namespace thumbnail {

// Reads a picture scaled down to fit `box`; a null image when it cannot be read. Safe on any
// thread.
QImage decodeThumbnail(const QString& path, QSize box);

// Decodes thumbnails on threads of its own; results come back through decoded(), which is
// emitted on a pool thread, so connect to it queued.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailLoader(QObject* parent = nullptr);
    ~ThumbnailLoader() override; // waits for the decode that is running

    void request(quint64 ticket, const QString& path, QSize box);
    // Forgets the requests that have not started.
    void dropQueued();

Q_SIGNALS:
    void decoded(quint64 ticket, const QImage& image);

private:
    QThreadPool m_pool;
};

} // namespace thumbnail
