#pragma once

#include "base/Mutex.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <thread>

namespace camcore {

// Work done behind the thread that hands it over: one item after another, in the order handed
// over, on a thread of its own that lives as long as the queue. The thread starts with the queue,
// not with the first item: a process that has forked (a barcode reader's child, a tool) must not
// start threads afterwards under ThreadSanitizer, and the first capture may come after one. Each
// item says whether it succeeded; failures are counted for whoever waits. Handing over and waiting
// are for one owning thread.
class WorkQueue {
public:
    WorkQueue();
    ~WorkQueue(); // finishes every item handed over first
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    void hand(std::function<bool()> item) EXCLUDES(m_mutex);
    // Blocks until every item handed over is done; the number of them that failed (returned false
    // or threw) since the last wait.
    int wait() EXCLUDES(m_mutex);

private:
    void run() EXCLUDES(m_mutex);

    Mutex m_mutex;
    std::condition_variable m_changed; // an item was handed over or done, or the queue ends
    std::deque<std::function<bool()>> m_items GUARDED_BY(m_mutex);
    bool m_working GUARDED_BY(m_mutex) = false; // an item is out of the deque, being done
    bool m_ending GUARDED_BY(m_mutex) = false;
    int m_failed GUARDED_BY(m_mutex) = 0;
    std::thread m_thread; // declared last: it starts once the rest is made
};

} // namespace camcore
