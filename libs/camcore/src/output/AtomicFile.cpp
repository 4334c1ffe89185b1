#include "output/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace camcore {

namespace {

// Makes a rename durable. Best effort: the new file is complete and in place already, so a
// failure here is not a failed capture.
void syncFolderOf(const QString& path) {
    const UniqueFd folder(::open(QFile::encodeName(QFileInfo(path).path()).constData(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder)
        ::fsync(folder.get());
}

bool renameOver(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    syncFolderOf(to);
    return true;
}

} // namespace

bool AtomicFile::open() {
    m_file = SiblingFile::create(m_path, O_WRONLY);
    m_size = 0;
    return static_cast<bool>(m_file);
}

bool AtomicFile::write(QByteArrayView bytes) {
    if (!m_file ||
        !writeAllAt(m_file.fd(), bytes.data(), static_cast<std::size_t>(bytes.size()), m_size)) {
        m_file.discard();
        return false;
    }
    m_size += bytes.size();
    return true;
}

bool AtomicFile::copyFrom(int fd, std::int64_t length) {
    if (!m_file || m_size != 0 || !copyFileRange(fd, m_file.fd(), length)) {
        m_file.discard();
        return false;
    }
    m_size = length;
    return true;
}

bool AtomicFile::commit() {
    if (!m_file || ::fsync(m_file.fd()) != 0 || !m_file.closeFd() ||
        !renameOver(m_file.name(), m_path)) {
        m_file.discard();
        return false;
    }
    m_file.release();
    return true;
}

bool writeFileAtomically(const QString& path, QByteArrayView bytes) {
    AtomicFile file(path);
    return file.open() && file.write(bytes) && file.commit();
}

bool linkIntoPlace(const SiblingFile& file, const QString& path) {
    if (!file || ::fsync(file.fd()) != 0)
        return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        // The link's temporary name only exists between link() and rename().
        const QString name = randomSiblingName(path);
        if (::link(QFile::encodeName(file.name()).constData(),
                   QFile::encodeName(name).constData()) == 0) {
            if (renameOver(name, path))
                return true;
            ::unlink(QFile::encodeName(name).constData());
            return false;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

} // namespace camcore
