// Work finished behind its caller: items are used in the order handed over whichever is made
// first, a failed or throwing item is counted once at the next wait, and handing over never
// waits.
#include "base/OrderedWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <vector>

using camcore::OrderedWork;

TEST(OrderedWork, UsesItemsInOrderCountsFailuresAndNeverHoldsTheHandOver) {
    std::mutex usedLock;
    std::vector<int> used;
    std::atomic<bool> secondMade{false}, released{false};
    {
        OrderedWork<int> work;
        // Nothing is made until every item is handed over: a hand-over that waited for room
        // would never return.
        work.hand(
            [&] {
                while (!released)
                    std::this_thread::yield();
                return -1;
            },
            [](int) { return true; });
        for (int i = 0; i < 12; ++i) {
            work.hand(
                [&, i] {
                    // The first item is made only after the second: the two makers run at once.
                    if (i == 0)
                        while (!secondMade)
                            std::this_thread::yield();
                    if (i == 1)
                        secondMade = true;
                    if (i == 5)
                        throw std::runtime_error("made nothing");
                    return i;
                },
                [&](int item) {
                    const std::lock_guard lock(usedLock);
                    used.push_back(item);
                    return item != 7;
                });
        }
        released = true;
        EXPECT_EQ(work.wait(), 2); // the throwing 5 and the refused 7
        EXPECT_EQ(work.wait(), 0);
        work.hand([] { return 12; },
                  [&](int item) {
                      const std::lock_guard lock(usedLock);
                      used.push_back(item);
                      return true;
                  });
    } // the last item is used before the work goes
    EXPECT_EQ(used, (std::vector<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12}));
}
