#pragma once

#include <QImage>

#include <chrono>

namespace camcore {

// What a virtual camera shows when its picture depends on the play time rather than on the page:
// a video file (VideoScene) or a folder with a timing list (TimedFolder). Lives on the capture
// thread.
class MotionSource {
public:
    virtual ~MotionSource() = default;

    // Moves on to `time` into the stream (times only grow); true when the picture changed.
    virtual bool advanceTo(std::chrono::microseconds time) = 0;
    // The picture now, fitted to the frame; null when there is none to show (the camera then
    // shows its document).
    virtual QImage picture() const = 0;
};

} // namespace camcore
