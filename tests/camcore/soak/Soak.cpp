#include "Soak.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdlib>
#include <malloc.h>
#include <unistd.h>

namespace soak {
namespace {

// One virtual camera and no real ones; set before main(), so before the engine reads them.
const bool environmentSet = [] {
    setenv("CAMCORE_VIRTUAL_CAMERAS", "1", 1);
    setenv("CAMCORE_REAL_CAMERAS", "0", 1);
    unsetenv("CAMCORE_TRACE");
    return true;
}();

} // namespace

int sized(int ci, int full) {
    return qEnvironmentVariableIntValue("CAMCORE_SOAK_FULL") == 1 ? full : ci;
}

std::int64_t residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

std::int64_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

int openDescriptors() {
    // Listing the folder opens one descriptor more, every time alike.
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                .size());
}

bool wholePicture(const QString& path, int width, int height) {
    // libjpeg pads a JPEG cut short with grey and only warns: the end marker must be there.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xFF\xD8") && !bytes.endsWith("\xFF\xD9"))
        return false;
    QImageReader reader(path);
    const QImage picture = reader.read();
    return !picture.isNull() && picture.size() == QSize(width, height);
}

} // namespace soak
