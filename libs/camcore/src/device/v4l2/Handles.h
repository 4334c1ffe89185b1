#pragma once

#include <cerrno>
#include <memory>
#include <utility>

#include <sys/ioctl.h>
#include <unistd.h>

namespace camcore::v4l2 {

// An owned file descriptor, closed when it goes.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// A C library handle released by `Release` (udev_unref, udev_device_unref, ...).
template <auto Release> struct ReleaseWith {
    template <typename T> void operator()(T* handle) const { Release(handle); }
};
template <typename T, auto Release> using CHandle = std::unique_ptr<T, ReleaseWith<Release>>;

// An ioctl that a signal does not make fail.
template <typename Arg> int xioctl(int fd, unsigned long request, Arg* arg) {
    int result = 0;
    do
        result = ::ioctl(fd, request, arg);
    while (result == -1 && errno == EINTR);
    return result;
}

} // namespace camcore::v4l2
