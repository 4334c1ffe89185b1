#include "SendCommand.h"

#include "CommandSocket.h"
#include "common/Owned.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace showpiece {
namespace {

using Clock = std::chrono::steady_clock;

Reply failed(Outcome outcome, std::string detail) {
    return {outcome, std::move(detail)};
}

// Waits until `fd` is ready for `events` or the deadline passes; false on timeout.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true; // the next call reports the error
    }
}

} // namespace

Reply sendCommand(const std::string& socketPath, std::string_view text, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return failed(Outcome::Failed, socketPath + ": the path is too long");
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

    const common::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return failed(Outcome::Failed, std::strerror(errno));
    // A local socket's connect does not complete later: with the program's queue of new
    // connections full it fails with EAGAIN, and is tried again.
    while (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED)
            return failed(Outcome::NoProgram, "no program receives commands at " + socketPath);
        if (errno != EAGAIN && errno != EINTR)
            return failed(Outcome::Failed, socketPath + ": " + std::strerror(errno));
        if (Clock::now() >= deadline)
            return failed(Outcome::TimedOut, "the program did not take the command in time");
        ::poll(nullptr, 0, 10);
    }
    // Only the user's own program gets the command.
    if (commands::peerUid(fd.get()) != static_cast<long>(::getuid()))
        return failed(Outcome::Failed, socketPath + " belongs to another user");

    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t n = ::send(fd.get(), text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(fd.get(), POLLOUT, deadline))
                return failed(Outcome::TimedOut, "the program did not read the command in time");
        } else {
            break; // the program stopped reading (a command too long): its answer says why
        }
    }
    ::shutdown(fd.get(), SHUT_WR); // the end of the command

    std::string answer;
    char buffer[64];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n > 0) {
            answer.append(buffer, static_cast<std::size_t>(n));
            if (answer.size() > 64)
                break;
        } else if (n == 0) {
            break;
        } else if (errno == EAGAIN || errno == EINTR) {
            if (!waitFor(fd.get(), POLLIN, deadline))
                return failed(Outcome::TimedOut, "no answer from the program in time");
        } else {
            break;
        }
    }
    if (answer == commands::kAnswerDone)
        return {Outcome::Done, {}};
    if (answer == commands::kAnswerIgnored)
        return {Outcome::Ignored, {}};
    if (answer == commands::kAnswerFailed)
        return {Outcome::CaptureFailed, {}};
    return failed(Outcome::Failed, "the program closed the connection without an answer");
}

} // namespace showpiece
