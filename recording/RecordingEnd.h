#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>

#include <functional>

// What became of a recording once the engine completed its file behind the window.
struct FinishedRecording {
    QByteArray path;
    int reason = 0; // ZO_RECORD_OK, or why the file is not whole
    QImage picture; // its first picture, small; null when it does not read
};

namespace recording_end {

using Done = std::function<void(const FinishedRecording&)>;

// Stops camera `camera`'s recording now; the engine completes the file behind the window and
// `done` runs on the GUI thread when it is complete, unless `context` is gone by then. False when
// the camera was not recording (`done` never runs).
bool stop(int camera, const QObject* context, Done done);

} // namespace recording_end
