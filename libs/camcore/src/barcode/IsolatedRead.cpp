#include "barcode/IsolatedRead.h"

#include "base/Owned.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace camcore {
namespace {

void putNumber(std::string& out, std::int32_t value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void putText(std::string& out, const std::string& text) {
    putNumber(out, static_cast<std::int32_t>(text.size()));
    out += text;
}

struct Reader {
    const std::string& in;
    std::size_t at = 0;
    bool failed = false;

    std::int32_t number() {
        std::int32_t value = 0;
        if (in.size() - at < sizeof value) {
            failed = true;
            return 0;
        }
        std::memcpy(&value, in.data() + at, sizeof value);
        at += sizeof value;
        return value;
    }
    std::string text() {
        const std::int32_t size = number();
        if (failed || size < 0 || in.size() - at < static_cast<std::size_t>(size)) {
            failed = true;
            return {};
        }
        at += static_cast<std::size_t>(size);
        return in.substr(at - static_cast<std::size_t>(size), static_cast<std::size_t>(size));
    }
};

std::string encode(const std::vector<FoundCode>& codes) {
    std::string out;
    for (const FoundCode& code : codes) {
        putText(out, code.format);
        putText(out, code.text);
        for (int value : {code.box.x(), code.box.y(), code.box.width(), code.box.height()})
            putNumber(out, value);
    }
    return out;
}

std::optional<std::vector<FoundCode>> decode(const std::string& in) {
    std::vector<FoundCode> codes;
    Reader reader{in};
    while (reader.at < in.size()) {
        FoundCode code;
        code.format = reader.text();
        code.text = reader.text();
        const int x = reader.number(), y = reader.number();
        const int width = reader.number(), height = reader.number();
        code.box = QRect(x, y, width, height);
        if (reader.failed)
            return std::nullopt;
        codes.push_back(std::move(code));
    }
    return codes;
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

IsolatedCodes readIsolated(const std::function<std::vector<FoundCode>()>& read,
                           std::chrono::steady_clock::time_point deadline) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return {};
    UniqueFd readEnd(pipeEnds[0]);
    UniqueFd writeEnd(pipeEnds[1]);
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0) {
        // An assertion's stop must not leave a core file of the whole program behind.
        // A crash handler of the program's would report the child's stop as its own.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        signal(SIGABRT, SIG_DFL);
        readEnd.reset();
        bool written = false;
        try {
            written = writeAll(writeEnd.get(), encode(read()));
        } catch (...) {
        }
        _exit(written ? 0 : 1);
    }
    writeEnd.reset(); // the child's end alone is left: its exit ends the reading
    std::string in;
    char buffer[4096];
    // The child runs library code after a fork of a program with other threads; should it ever
    // wait for a lock one of those threads held, the reading ends instead of hanging the program.
    bool overdue = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{readEnd.get(), POLLIN, 0};
        const int polled =
            poll(&ready, 1, static_cast<int>(std::max<std::int64_t>(0, left.count())));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0) {
            overdue = true;
            kill(child, SIGKILL);
            break;
        }
        const ssize_t n = polled < 0 ? -1 : ::read(readEnd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        in.append(buffer, static_cast<std::size_t>(n));
    }
    readEnd.reset();
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (overdue)
        return {IsolatedCodes::End::Overdue, {}};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    std::optional<std::vector<FoundCode>> codes = decode(in);
    if (!codes)
        return {};
    return {IsolatedCodes::End::Finished, std::move(*codes)};
}

} // namespace camcore
