#pragma once

#include "output/FileIo.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace camcore {

// Creates the file at a path all at once. The bytes go to a new hidden file in the same folder
// (SiblingFile), are flushed with fsync, and that file is renamed over the path: readers see
// the old file or the complete new one, never a part of it. On any failure the temporary file
// is removed and the path keeps what it had.
// QSaveFile does the same but ignores the result of its fsync, and a full disk shows up there
// on file systems that allocate late (NFS, ext4 with delayed allocation).
class AtomicFile {
public:
    explicit AtomicFile(QString path) : m_path(std::move(path)) {}

    bool open();
    bool write(QByteArrayView bytes);
    // Appends bytes [0, length) of the file open at `fd`; only into a freshly opened file.
    bool copyFrom(int fd, std::int64_t length);
    // fsync, close, rename over the path. After a failure nothing is left behind.
    bool commit();

private:
    QString m_path;
    SiblingFile m_file;
    std::int64_t m_size = 0;
};

// `bytes` as the file at `path`, through AtomicFile.
bool writeFileAtomically(const QString& path, QByteArrayView bytes);

// Makes `path` name the file `file` (in the same folder) as well, replacing any file there in
// one rename: the file is synced, hard-linked under a temporary name and renamed over `path`.
// False, with nothing left behind, when that fails (no hard links on the file system, folder
// gone, disk error).
bool linkIntoPlace(const SiblingFile& file, const QString& path);

} // namespace camcore
