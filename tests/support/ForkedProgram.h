#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

namespace testing_support {

// A program the test starts with fork and exec. QProcess and posix_spawn run the child in the
// parent's memory until exec, and ThreadSanitizer takes what the child does there for the
// parent's own thread: afterwards it no longer sees that thread's locks and reports races that
// are not there. A forked child has its own copy of memory.
class ForkedProgram {
public:
    struct Options {
        bool readOutput = false;        // standard output to readLine(); otherwise discarded
        bool discardErrors = false;     // standard error discarded; otherwise the test's own
        bool endWithParent = false;     // SIGTERM when the test process dies first
        QByteArrayList dropEnvironment; // variables the child must not inherit, e.g. a trace
    };
    ForkedProgram(const QString& program, const QStringList& arguments, const Options& options);
    // Kills the program if it still runs.
    ~ForkedProgram();
    ForkedProgram(const ForkedProgram&) = delete;
    ForkedProgram& operator=(const ForkedProgram&) = delete;

    bool started() const { return m_pid > 0; }
    // The next line of standard output without its end; none when the program ends or the time
    // runs out first.
    std::optional<QByteArray> readLine(int timeoutMs);
    // Waits for the end: the exit code, or -1 for a signal or a program still running.
    int waitForExit(int timeoutMs);
    void terminate();
    // SIGKILL, and waits until the process is gone.
    void kill();

private:
    pid_t m_pid = -1;
    int m_output = -1;
    QByteArray m_pending;
};

// Runs a program to its end with its output discarded: the exit code, or -1.
int runProgram(const QString& program, const QStringList& arguments, int timeoutMs = 30000);

} // namespace testing_support
