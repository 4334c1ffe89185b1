#pragma once

#include <atomic>

namespace camcore {

// Every stage in process/ has the same small shape: a Params value saying what to do, a Task
// built from it whose run() does the work, and a Result value. Tasks keep no state between
// runs, so one task may serve any thread. Work that takes more than a few milliseconds checks
// a TaskStatus between its expensive steps, so a preview whose stream stops gives up early.
class TaskStatus {
public:
    void cancel() noexcept { m_cancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const noexcept { return m_cancelled.load(std::memory_order_relaxed); }
    // Throws TaskCancelled once cancel() was called.
    void throwIfCancelled() const;

    // A status nobody cancels, for callers that always want the whole result.
    static const TaskStatus& never();

private:
    std::atomic<bool> m_cancelled{false};
};

// Thrown out of run() when the status was cancelled; the caller drops the work.
struct TaskCancelled {};

} // namespace camcore
