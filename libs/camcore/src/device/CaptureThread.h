#pragma once

#include "base/Mutex.h"

#include <functional>
#include <thread>
#include <utility>

namespace camcore {

// The capture thread of a device, as the V4L2 and the virtual camera run it: start() and stop()
// are serialised by one lock the thread itself never takes; a thread that ended by itself (its
// device lost, or stopped from a handler) is joined by the next start() or stop(); and a stop()
// from a handler, which runs on the thread, only asks the loop to end, as no thread can join
// itself.
class CaptureThread {
public:
    CaptureThread() = default;
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;

    // True on this capture thread, that is inside one of its frame or lost handlers.
    bool isCurrent() const;

    // The device's start() holds it across its checks, joinEnded() and launch().
    Mutex& lifecycle() RETURN_CAPABILITY(m_lifecycle) { return m_lifecycle; }
    // Joins a thread that ended by itself; nothing when there is none.
    void joinEnded() REQUIRES(m_lifecycle);
    // Runs `loop` on a new thread, on which isCurrent() is true.
    template <typename Loop> void launch(Loop loop) REQUIRES(m_lifecycle) {
        m_thread = std::thread([this, loop = std::move(loop)]() mutable {
            const Marker running(this);
            loop();
        });
    }

    // Asks the loop to end by calling `request`, and joins the thread; true when one was joined.
    // Without a thread it does nothing. On the capture thread it only calls `request`: the loop
    // ends once the handler returns, and the next start() or stop() joins it.
    bool stop(const std::function<void()>& request) EXCLUDES(m_lifecycle);

private:
    // Marks the thread it lives on as this capture thread.
    class Marker {
    public:
        explicit Marker(const CaptureThread* thread);
        ~Marker();
        Marker(const Marker&) = delete;
        Marker& operator=(const Marker&) = delete;
    };

    Mutex m_lifecycle;
    std::thread m_thread GUARDED_BY(m_lifecycle);
};

} // namespace camcore
