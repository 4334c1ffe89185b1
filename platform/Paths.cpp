#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace platform {
namespace {

QString withSlash(QString dir) {
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

bool writeAll(int fd, const QByteArray& content) {
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

QString programDir() {
    return withSlash(QCoreApplication::applicationDirPath());
}

QString tempDir() {
    return withSlash(QDir::tempPath());
}

// A failure is not kept: a later call tries again (the temporary folder may have been full).
QString privateTempDir() {
    static std::mutex mutex; // the OCR worker asks too
    static QString dir;
    const std::lock_guard lock(mutex);
    if (!dir.isEmpty())
        return dir;
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + "/docscanner-XXXXXX");
    // mkdtemp makes a new folder of mode 0700 and fails on any name that exists.
    if (::mkdtemp(pattern.data()) == nullptr) {
        qWarning("docscanner: no private temporary folder in %s (%s)",
                 qUtf8Printable(QDir::tempPath()), std::strerror(errno));
        return {};
    }
    // Kept apart from `dir`, which is destroyed before the handler runs.
    static const QString* const made = new QString(QFile::decodeName(pattern));
    std::atexit([] { QDir(*made).removeRecursively(); });
    dir = withSlash(*made);
    return dir;
}

QString documentsDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (dir.size() > 1 && dir.endsWith('/'))
        dir.chop(1);
    return dir;
}

bool writeFileReplacing(const QString& path, const QByteArray& content) {
    const QFileInfo target(path);
    const QByteArray pattern =
        QFile::encodeName(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    QByteArray tempName = pattern;
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC); // O_EXCL: never an existing file
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    // rename() replaces the directory entry itself, so a link at `path` is not followed.
    if (written && closed && ::rename(tempName.constData(), QFile::encodeName(path)) == 0)
        return true;
    ::unlink(tempName.constData());
    return false;
}

} // namespace platform
