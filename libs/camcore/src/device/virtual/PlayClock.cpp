#include "device/virtual/PlayClock.h"

namespace camcore {

std::chrono::microseconds PlayClock::next(bool stepped, Clock::time_point now) {
    using std::chrono::microseconds;
    if (!m_started) {
        m_started = true;
        m_time = microseconds(0);
    } else if (stepped) {
        if (!m_stepped) {
            m_stepBase = m_time;
            m_steps = 0;
        }
        ++m_steps;
        m_time = m_stepBase + microseconds(m_steps * 1'000'000 / kFramesPerSecond);
    } else if (m_stepped) {
        // Back to real time: the wall time since the last stepped frame is the test's pause,
        // not play; one period passes.
        m_time += microseconds(1'000'000 / kFramesPerSecond);
    } else {
        m_time += std::chrono::duration_cast<microseconds>(now - m_last);
    }
    m_stepped = stepped;
    m_last = now;
    return m_time;
}

} // namespace camcore
