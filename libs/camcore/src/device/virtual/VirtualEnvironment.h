#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace camcore {

// The most virtual cameras a process gets, whatever CAMCORE_VIRTUAL_CAMERAS asks for.
constexpr int kMaxVirtualCameras = 8;

// CAMCORE_VIRTUAL_CAMERAS: a non-negative integer, capped at kMaxVirtualCameras; anything else
// (missing, negative, not a number) means none.
int parseVirtualCameraCount(const QByteArray& value);

// CAMCORE_VIRTUAL_SOURCE: the folder whose pictures the cameras show; none when empty.
std::optional<QString> parseVirtualSource(const QString& value);

} // namespace camcore
