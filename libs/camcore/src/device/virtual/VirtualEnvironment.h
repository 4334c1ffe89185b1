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

// CAMCORE_VIRTUAL_SOURCE: what the cameras show instead of their document, none when empty: a
// folder of pictures (shown by page), a folder with a timing list (TimedFolder.h), or a video
// file (VideoScene.h). Which of them is decided when a stream starts.
std::optional<QString> parseVirtualSource(const QString& value);

// Tells of a problem with what the virtual cameras show (qWarning), once in the process however
// many cameras and streams meet it.
void warnOnce(const QString& message);

} // namespace camcore
