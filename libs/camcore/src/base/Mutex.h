#pragma once

// A mutex that clang's thread-safety analysis knows (-Wthread-safety): state shared with capture
// threads is marked GUARDED_BY its mutex, and a function that needs the lock held says REQUIRES.
// The clang build (CMake preset "clang") turns a violation into an error; under GCC the
// annotations expand to nothing.

#include <chrono>
#include <condition_variable>
#include <mutex>

#if defined(__clang__)
#define CAMCORE_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define CAMCORE_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) CAMCORE_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY CAMCORE_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) CAMCORE_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) CAMCORE_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) CAMCORE_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define EXCLUDES(...) CAMCORE_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) CAMCORE_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define RELEASE(...) CAMCORE_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define RETURN_CAPABILITY(x) CAMCORE_THREAD_ANNOTATION(lock_returned(x))

namespace camcore {

class CAPABILITY("mutex") Mutex {
public:
    void lock() ACQUIRE() { m_mutex.lock(); }
    void unlock() RELEASE() { m_mutex.unlock(); }

private:
    friend class MutexLock;
    std::mutex m_mutex;
};

// Holds a Mutex for its scope, and waits on condition variables with it.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : m_lock(mutex.m_mutex) {}
    ~MutexLock() RELEASE() {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    // Releases the mutex while waiting and holds it again on return. Predicates are checked by
    // the caller, in a loop, so that the analysis sees them read under the lock.
    void wait(std::condition_variable& condition) { condition.wait(m_lock); }
    std::cv_status waitUntil(std::condition_variable& condition,
                             std::chrono::steady_clock::time_point deadline) {
        return condition.wait_until(m_lock, deadline);
    }

private:
    std::unique_lock<std::mutex> m_lock;
};

} // namespace camcore
