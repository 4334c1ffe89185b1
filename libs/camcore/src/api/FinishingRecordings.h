#pragma once

#include "base/WorkQueue.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace camcore {

class Recorder;

// What became of a recording once its file was completed.
struct RecordingOutcome {
    QString path;
    int reason = 0;     // ZO_RECORD_OK, or why the file is not whole
    std::string detail; // FFmpeg's words for it, for the trace
    std::uint64_t frames = 0;
    std::int64_t milliseconds = 0;
    QImage picture; // the file's first picture read back, small; null when it does not read
};

// Recordings that were stopped, their files completed behind the window: the last frames
// encoded, the sound read up to the stop (with some inputs seconds later), the file closed and
// read back. One after the other, on a thread of the engine's that outlives every camera, so a
// recording handed over by a camera that is closed, lost or gone is still completed; the engine's
// end waits for all of them. GUI thread only, but for the work itself.
class FinishingRecordings {
public:
    // Runs on the GUI thread once the file is complete (or could not be made so).
    using Done = std::function<void(const RecordingOutcome&)>;

    static FinishingRecordings& instance();

    // Stops `recorder` now and completes its file behind the caller; `done` may be empty.
    void hand(std::shared_ptr<Recorder> recorder, Done done);
    // Files handed over whose end has not yet been reported on the GUI thread.
    int pending() const { return m_pending.load(); }
    // Waits until every file handed over is complete (at the engine's end, after the event loop).
    void waitAll() { m_work.wait(); }

private:
    FinishingRecordings() = default;

    std::atomic<int> m_pending{0};
    WorkQueue m_work; // declared last: its items may still use the count
};

} // namespace camcore
