#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

namespace thumbnail {

// What a file looked like at one moment: a decode that saw another stamp saw another file.
struct FileStamp {
    bool isFile = false;
    qint64 size = 0;
    qint64 modified = 0; // ms since the epoch

    static FileStamp of(const QString& path);
    bool operator==(const FileStamp&) const = default;
};

// Watches the pictures that could not be read yet, and their folders: a file still being written
// in place changes itself, one renamed into place changes its folder.
class SourceWatch : public QObject {
    Q_OBJECT
public:
    explicit SourceWatch(QObject* parent = nullptr);

    // Watches exactly `files` (those that exist) and the folders they are in.
    void follow(const QStringList& files);

Q_SIGNALS:
    // A watched file or folder changed.
    void changed();

private:
    QFileSystemWatcher m_watcher;
};

} // namespace thumbnail
