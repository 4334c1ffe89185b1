#include "CaptureChild.h"

#include <QDeadlineTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace camcore_test {

CaptureChild::CaptureChild(const Plan& plan) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return;
    std::vector<QByteArray> arguments{CAMCORE_CAPTURE_CHILD,
                                      QByteArray::number(plan.cam),
                                      QByteArray::number(plan.resolution),
                                      QByteArray::number(plan.pdfMode),
                                      QByteArray::number(plan.count),
                                      QFile::encodeName(plan.path)};
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> environment; // the test's trace is its own
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "CAMCORE_TRACE=", 14) != 0)
            environment.push_back(*entry);
    environment.push_back(nullptr);

    // fork and exec rather than posix_spawn or QProcess: ThreadSanitizer takes their children,
    // which share the parent's memory until exec, for a fork of the test itself, and then ends
    // the test at its next new thread. Only async-signal-safe calls between fork and exec.
    m_pid = ::fork();
    if (m_pid == 0) {
        ::dup2(pipe[1], STDOUT_FILENO);
        ::execve(argv[0], argv.data(), environment.data());
        ::_exit(127);
    }
    ::close(pipe[1]);
    m_output = pipe[0];
}

CaptureChild::~CaptureChild() {
    kill();
    if (m_output >= 0)
        ::close(m_output);
}

bool CaptureChild::waitForCaptures(int captures, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (m_captures < captures) {
        pollfd ready{m_output, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        char buffer[256];
        const ssize_t got = ::read(m_output, buffer, sizeof buffer);
        if (got <= 0)
            return false; // the child ended
        m_pending.append(buffer, got);
        for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n')) {
            if (m_pending.startsWith("captured"))
                ++m_captures;
            m_pending.remove(0, end + 1);
        }
    }
    return true;
}

void CaptureChild::kill() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL); // nothing of the child runs any more
    while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

} // namespace camcore_test
