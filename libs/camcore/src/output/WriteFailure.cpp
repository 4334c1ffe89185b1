#include "output/WriteFailure.h"

#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>
#include <unistd.h>

#include <climits>

namespace camcore {
namespace {

// A disk is counted full below this much free space, whatever the file's size: the file system
// keeps blocks back for its own records.
constexpr std::int64_t kFullMargin = 1 << 20;

} // namespace

WriteFailure whyNotWritten(const QString& path, std::int64_t bytes) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists() || !folder.isDir())
        return WriteFailure::FolderMissing;
    const QByteArray folderName = QFile::encodeName(folder.absoluteFilePath());
    if (::access(folderName.constData(), W_OK | X_OK) != 0)
        return WriteFailure::FolderReadOnly;
    struct statvfs space {};
    if (::statvfs(folderName.constData(), &space) == 0) {
        if (space.f_flag & ST_RDONLY)
            return WriteFailure::FolderReadOnly;
        const auto free =
            static_cast<std::int64_t>(space.f_bavail) * static_cast<std::int64_t>(space.f_frsize);
        if (free < bytes + kFullMargin)
            return WriteFailure::DiskFull;
    }
    if (file.isDir() || QFile::encodeName(file.fileName()).size() > NAME_MAX)
        return WriteFailure::NameRefused;
    return WriteFailure::Other;
}

} // namespace camcore
