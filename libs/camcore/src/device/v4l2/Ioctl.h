#pragma once

#include <cerrno>

#include <sys/ioctl.h>

namespace camcore::v4l2 {

// An ioctl that a signal does not make fail.
template <typename Arg> int xioctl(int fd, unsigned long request, Arg* arg) {
    int result = 0;
    do
        result = ::ioctl(fd, request, arg);
    while (result == -1 && errno == EINTR);
    return result;
}

} // namespace camcore::v4l2
