#pragma once

#include <functional>
#include <memory>

class QTimer;

// The clock of a timed run: once started, it calls `tick` every `milliseconds` until stopped.
// The dialog runs on a Qt timer; tests drive a clock of their own, second by second.
class RunClock {
public:
    virtual ~RunClock() = default;
    virtual void start(int milliseconds, std::function<void()> tick) = 0;
    virtual void stop() = 0;
};

// A precise Qt timer: the default coarse one may be 5% off, which at one second apart is 50 ms a
// picture.
class TimerClock final : public RunClock {
public:
    TimerClock();
    ~TimerClock() override;
    void start(int milliseconds, std::function<void()> tick) override;
    void stop() override;

private:
    std::unique_ptr<QTimer> m_timer;
    std::function<void()> m_tick;
};
