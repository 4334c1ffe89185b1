#include "ForkedProgram.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QtTest/QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testing_support {
namespace {

bool dropped(const char* entry, const QByteArrayList& names) {
    for (const QByteArray& name : names)
        if (std::strncmp(entry, name.constData(), name.size()) == 0 && entry[name.size()] == '=')
            return true;
    return false;
}

} // namespace

ForkedProgram::ForkedProgram(const QString& program, const QStringList& arguments,
                             const Options& options) {
    // Everything the child needs is made before fork: between fork and exec only
    // async-signal-safe calls.
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        texts.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<char*> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (!dropped(*entry, options.dropEnvironment))
            environment.push_back(*entry);
    environment.push_back(nullptr);
    int pipe[2] = {-1, -1};
    if (options.readOutput && ::pipe2(pipe, O_CLOEXEC) != 0)
        return;
    const int nowhere = ::open("/dev/null", O_RDWR | O_CLOEXEC);

    m_pid = ::fork();
    if (m_pid == 0) {
        if (options.endWithParent)
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(options.readOutput ? pipe[1] : nowhere, STDOUT_FILENO);
        if (options.discardErrors)
            ::dup2(nowhere, STDERR_FILENO);
        ::execvpe(argv[0], argv.data(), environment.data());
        ::_exit(127);
    }
    ::close(nowhere);
    if (options.readOutput) {
        ::close(pipe[1]);
        m_output = pipe[0];
    }
}

ForkedProgram::~ForkedProgram() {
    kill();
    if (m_output >= 0)
        ::close(m_output);
}

std::optional<QByteArray> ForkedProgram::readLine(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 1);
            return line;
        }
        if (m_output < 0)
            return std::nullopt;
        pollfd ready{m_output, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return std::nullopt;
        char buffer[256];
        const ssize_t got = ::read(m_output, buffer, sizeof buffer);
        if (got <= 0)
            return std::nullopt; // the program ended
        m_pending.append(buffer, got);
    }
}

int ForkedProgram::waitForExit(int timeoutMs) {
    if (m_pid <= 0)
        return -1;
    int status = 0;
    const auto ended = [&] {
        return ::waitpid(m_pid, &status, WNOHANG) == m_pid;
    };
    if (!ended() && !QTest::qWaitFor(ended, timeoutMs))
        return -1;
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ForkedProgram::terminate() {
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
}

void ForkedProgram::kill() {
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL); // nothing of the program runs any more
    while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

int runProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    ForkedProgram run(program, arguments, {});
    return run.waitForExit(timeoutMs);
}

} // namespace testing_support
