#include "SoundServer.h"

#include <QtTest/QTest>

#include <csignal>
#include <sys/prctl.h>

namespace testing_support {
namespace {

int run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

SoundServer::SoundServer() {
    m_server.setStandardOutputFile(QProcess::nullDevice());
    m_server.setStandardErrorFile(QProcess::nullDevice()); // it warns when run as root
    // A server left behind by a crashed test would run for ever: it ends with its parent.
    m_server.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1",
                                  "--load=module-native-protocol-unix",
                                  "--load=module-null-sink sink_name=test_null",
                                  "--load=module-sine-source source_name=test_tone "
                                  "frequency=440"});
    if (!m_server.waitForStarted(10000)) {
        m_error = "pulseaudio does not start: " + m_server.errorString();
        return;
    }
    if (!QTest::qWaitFor([] { return run("pactl", {"info"}) == 0; }, 20000))
        m_error = "the sound server does not answer";
}

SoundServer::~SoundServer() {
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(10000))
        m_server.kill();
    m_server.waitForFinished();
}

} // namespace testing_support
