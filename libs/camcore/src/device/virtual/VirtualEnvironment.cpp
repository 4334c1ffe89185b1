#include "device/virtual/VirtualEnvironment.h"

#include "base/Mutex.h"

#include <QSet>
#include <QtGlobal>

#include <algorithm>

namespace camcore {

namespace {

Mutex g_warnedMutex;
QSet<QString> g_warned GUARDED_BY(g_warnedMutex);

} // namespace

int parseVirtualCameraCount(const QByteArray& value) {
    bool ok = false;
    const long long count = value.trimmed().toLongLong(&ok);
    if (!ok || count < 0)
        return 0;
    return static_cast<int>(std::min<long long>(count, kMaxVirtualCameras));
}

std::optional<QString> parseVirtualSource(const QString& value) {
    if (value.isEmpty())
        return std::nullopt;
    return value;
}

void warnOnce(const QString& message) {
    {
        const MutexLock lock(g_warnedMutex);
        if (g_warned.contains(message))
            return;
        g_warned.insert(message);
    }
    qWarning("%s", qUtf8Printable(message));
}

} // namespace camcore
