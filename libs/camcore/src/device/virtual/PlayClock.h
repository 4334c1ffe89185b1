#pragma once

#include <chrono>
#include <cstdint>

namespace camcore {

// How far into its source (a video, a folder with a timing list) each frame of a virtual camera's
// stream shows. The first frame of a stream is at 0. In real time each frame comes as much later
// in play as it does on the wall clock; stepped, each is exactly one frame period
// (1 / kFramesPerSecond) after the one before, however long it took to make, so that tests see
// the same frames on any machine. Switching between the two goes on from where the time was.
// Lives on the capture thread.
class PlayClock {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kFramesPerSecond = 15;

    // The play time of the next frame, made at `now`.
    std::chrono::microseconds next(bool stepped, Clock::time_point now);

private:
    bool m_started = false;
    bool m_stepped = false;
    std::chrono::microseconds m_time{0};
    // Stepped: the time when stepping began and the frames since, kept apart so that the
    // period's fraction of a microsecond does not add up.
    std::chrono::microseconds m_stepBase{0};
    std::int64_t m_steps = 0;
    Clock::time_point m_last;
};

} // namespace camcore
