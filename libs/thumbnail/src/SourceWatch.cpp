#include "SourceWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace thumbnail {

FileStamp FileStamp::of(const QString& path) {
    // Only regular files: reading a pipe changes its time, and it cannot be read twice anyway.
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

SourceWatch::SourceWatch(QObject* parent) : QObject(parent) {
    // A file replaced by a rename keeps the watch on the old file: watch the new one instead.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
        m_watcher.removePath(path);
        Q_EMIT changed();
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &SourceWatch::changed);
}

void SourceWatch::follow(const QStringList& files) {
    QSet<QString> wanted;
    for (const QString& file : files) {
        const QFileInfo info(file);
        // Paths that do not exist cannot be watched, and Qt warns about each one.
        if (info.isFile())
            wanted.insert(info.absoluteFilePath());
        if (info.dir().exists())
            wanted.insert(info.absolutePath());
    }
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList gone;
    for (const QString& path : watched)
        if (!wanted.remove(path))
            gone << path;
    if (!gone.isEmpty())
        m_watcher.removePaths(gone);
    if (!wanted.isEmpty())
        m_watcher.addPaths(wanted.values());
}

} // namespace thumbnail
