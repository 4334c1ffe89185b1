#include "base/WorkQueue.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace camcore {

WorkQueue::WorkQueue() : m_thread([this] { run(); }) {}

WorkQueue::~WorkQueue() {
    wait();
    {
        const MutexLock lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void WorkQueue::hand(std::function<bool()> item) {
    {
        const MutexLock lock(m_mutex);
        m_items.push_back(std::move(item));
    }
    m_changed.notify_all();
}

int WorkQueue::wait() {
    MutexLock lock(m_mutex);
    while (!m_items.empty() || m_working)
        lock.wait(m_changed);
    const int failed = m_failed;
    m_failed = 0;
    return failed;
}

namespace {

// Work behind the window yields to it: where the cores are all busy (two pages being read at
// once), the window's thread still gets the processor when it has something to do. Linux gives
// each thread a niceness of its own.
constexpr int kBackgroundNiceness = 5;

void yieldToTheWindow() {
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    [[maybe_unused]] const int result = ::setpriority(PRIO_PROCESS, thread, kBackgroundNiceness);
}

} // namespace

void WorkQueue::run() {
    yieldToTheWindow();
    for (;;) {
        std::function<bool()> item;
        {
            MutexLock lock(m_mutex);
            while (m_items.empty() && !m_ending)
                lock.wait(m_changed);
            if (m_items.empty())
                return;
            item = std::move(m_items.front());
            m_items.pop_front();
            m_working = true;
        }
        // The item runs without the lock, so that more can be handed over meanwhile.
        bool done = false;
        try {
            done = item();
        } catch (...) {
        }
        item = nullptr; // what it holds goes before a waiter hears it is done
        {
            const MutexLock lock(m_mutex);
            m_working = false;
            m_failed += done ? 0 : 1;
        }
        m_changed.notify_all();
    }
}

} // namespace camcore
