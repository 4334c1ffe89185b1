#pragma once

#include "base/WorkQueue.h"

#include <array>
#include <exception>
#include <functional>
#include <future>
#include <memory>

namespace camcore {

// Work in two steps behind the thread that hands it over: each item is made on one of two threads
// of its own, so two items are made at once where there are cores for them, and then used on a
// third, in the order handed over. The threads live as long as the object, so a thread is not
// started for every item. Handing over never waits: how much may wait is the owner's to bound.
// Handing over and waiting are for one owning thread.
template <typename Made> class OrderedWork {
public:
    // `use` says whether the item succeeded; one whose `make` throws has failed.
    void hand(std::function<Made()> make, std::function<bool(const Made&)> use) {
        auto promise = std::make_shared<std::promise<Made>>();
        std::shared_future<Made> made = promise->get_future().share();
        m_makers[m_next++ % m_makers.size()].hand([promise, make = std::move(make)] {
            try {
                promise->set_value(make());
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
            return true;
        });
        m_user.hand([made, use = std::move(use)] { return use(made.get()); });
    }

    // Blocks until every item handed over is used; the number that failed since the last wait.
    int wait() { return m_user.wait(); }

private:
    std::array<WorkQueue, 2> m_makers; // declared first: they outlive the user, which waits on them
    WorkQueue m_user;
    std::size_t m_next = 0;
};

} // namespace camcore
