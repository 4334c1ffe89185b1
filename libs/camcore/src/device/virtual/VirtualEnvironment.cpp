#include "device/virtual/VirtualEnvironment.h"

#include <algorithm>

namespace camcore {

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

} // namespace camcore
