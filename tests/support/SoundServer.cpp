#include "SoundServer.h"

#include <QtTest/QTest>

namespace testing_support {

SoundServer::SoundServer() {
    // A server left behind by a crashed test would run for ever: it ends with its parent. It
    // warns when run as root, so its errors are not shown.
    ForkedProgram::Options options;
    options.discardErrors = true;
    options.endWithParent = true;
    m_server = std::make_unique<ForkedProgram>(
        "pulseaudio",
        QStringList{"-n", "--daemonize=no", "--exit-idle-time=-1",
                    "--load=module-native-protocol-unix",
                    "--load=module-null-sink sink_name=test_null",
                    "--load=module-sine-source source_name=test_tone frequency=440"},
        options);
    if (!m_server->started()) {
        m_error = "pulseaudio does not start";
        return;
    }
    if (!QTest::qWaitFor([] { return runProgram("pactl", {"info"}) == 0; }, 20000))
        m_error = "the sound server does not answer";
}

SoundServer::~SoundServer() {
    m_server->terminate();
    if (m_server->waitForExit(10000) < 0)
        m_server->kill();
}

} // namespace testing_support
