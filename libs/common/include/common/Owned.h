#pragma once

// Owning wrappers for C handles (file descriptors, TurboJPEG, libtiff and udev handles), for the
// engine and the program alike. Each is released once, by the function its type names, when it
// goes; nothing is freed by hand.

#include <unistd.h>

#include <utility>

namespace common {

// Owns a handle of type `T` (a pointer such as `TIFF*` or `tjhandle`, or a descriptor) and
// releases it with `Release` unless it is `Invalid`. Moves, never copies.
template <typename T, auto Release, T Invalid = T{}> class Owned {
public:
    Owned() = default;
    explicit Owned(T handle) : m_handle(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : m_handle(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Invalid; }
    // Gives the handle up without releasing it.
    T release() { return std::exchange(m_handle, Invalid); }
    void reset(T handle = Invalid) {
        const T old = std::exchange(m_handle, handle);
        if (old != Invalid)
            Release(old);
    }

private:
    T m_handle = Invalid;
};

namespace owned_detail {
// No retry on EINTR: Linux releases the descriptor before reporting it.
inline void closeFd(int fd) {
    ::close(fd);
}
} // namespace owned_detail

// An owned POSIX file descriptor; -1 is none.
class UniqueFd : public Owned<int, owned_detail::closeFd, -1> {
public:
    using Owned::Owned;
    // Closes now and reports the error close() may carry (NFS reports a full disk there).
    bool close() {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0;
    }
};

} // namespace common
