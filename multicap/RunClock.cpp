#include "RunClock.h"

#include <QTimer>

TimerClock::TimerClock() : m_timer(std::make_unique<QTimer>()) {
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
        if (m_tick)
            m_tick();
    });
}

TimerClock::~TimerClock() = default;

void TimerClock::start(int milliseconds, std::function<void()> tick) {
    m_tick = std::move(tick);
    m_timer->start(milliseconds);
}

void TimerClock::stop() {
    m_timer->stop(); // the tick stays: stop() may come from inside it
}
