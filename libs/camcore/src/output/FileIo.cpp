#include "output/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace camcore {

namespace {

constexpr int kRandomLength = 8;

} // namespace

QString randomSiblingName(const QString& path, const QString& suffix) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString random(kRandomLength, QChar());
    for (QChar& c : random)
        c = QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(62)]);
    const QFileInfo info(path);
    return info.path() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.') + random +
           suffix;
}

QStringList siblingNames(const QString& path, const QString& suffix) {
    const QFileInfo info(path);
    const QString prefix = QStringLiteral(".") + info.fileName() + QLatin1Char('.');
    QStringList found;
    // Matched by hand: the file name may hold characters that a name filter treats as a pattern.
    for (const QString& name : QDir(info.path()).entryList(QDir::Files | QDir::Hidden)) {
        if (name.size() == prefix.size() + kRandomLength + suffix.size() &&
            name.startsWith(prefix) && name.endsWith(suffix))
            found << info.path() + QLatin1Char('/') + name;
    }
    return found;
}

SiblingFile SiblingFile::create(const QString& path, int access, const QString& suffix) {
    SiblingFile file;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name = randomSiblingName(path, suffix);
        file.m_fd = UniqueFd(::open(QFile::encodeName(name).constData(),
                                    access | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (file.m_fd) {
            file.m_name = name;
            break;
        }
        if (errno != EEXIST)
            break;
    }
    return file;
}

SiblingFile SiblingFile::adopt(const QString& name, int access) {
    SiblingFile file;
    file.m_fd =
        UniqueFd(::open(QFile::encodeName(name).constData(), access | O_CLOEXEC | O_NOFOLLOW));
    if (file.m_fd)
        file.m_name = name;
    return file;
}

SiblingFile& SiblingFile::operator=(SiblingFile&& other) noexcept {
    if (this != &other) {
        discard();
        m_fd = std::move(other.m_fd);
        m_name = std::exchange(other.m_name, QString());
    }
    return *this;
}

bool SiblingFile::soleName() const {
    struct stat open {
    }, named{};
    return m_fd && !m_name.isEmpty() && ::fstat(m_fd.get(), &open) == 0 && open.st_nlink == 1 &&
           ::lstat(QFile::encodeName(m_name).constData(), &named) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

void SiblingFile::discard() {
    m_fd.reset();
    if (!m_name.isEmpty())
        ::unlink(QFile::encodeName(m_name).constData());
    m_name.clear();
}

bool writeAllAt(int fd, const char* data, std::size_t size, std::int64_t offset) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
}

bool copyFileRange(int from, int to, std::int64_t length) {
    // Plain reads and writes: copies are the rare path (a document someone else linked, a file
    // system without hard links), and copy_file_range() adds failure cases (EXDEV before
    // Linux 5.3, EINVAL on some file systems) without making that path matter.
    std::vector<char> buffer(std::size_t{1} << 20);
    std::int64_t offset = 0;
    while (offset < length) {
        const auto chunk = static_cast<std::size_t>(
            std::min<std::int64_t>(length - offset, static_cast<std::int64_t>(buffer.size())));
        const ssize_t got = ::pread(from, buffer.data(), chunk, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !writeAllAt(to, buffer.data(), static_cast<std::size_t>(got), offset))
            return false;
        offset += got;
    }
    return true;
}

} // namespace camcore
