#include "device/CaptureThread.h"

namespace camcore {
namespace {

// The capture thread running on this thread, if any.
thread_local const CaptureThread* t_current = nullptr;

} // namespace

CaptureThread::Marker::Marker(const CaptureThread* thread) {
    t_current = thread;
}

CaptureThread::Marker::~Marker() {
    t_current = nullptr;
}

bool CaptureThread::isCurrent() const {
    return t_current == this;
}

void CaptureThread::joinEnded() {
    if (m_thread.joinable())
        m_thread.join();
}

bool CaptureThread::stop(const std::function<void()>& request) {
    if (isCurrent()) {
        request();
        return false;
    }
    MutexLock life(m_lifecycle);
    if (!m_thread.joinable())
        return false;
    request();
    m_thread.join();
    return true;
}

} // namespace camcore
