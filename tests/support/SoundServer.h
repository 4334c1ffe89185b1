#pragma once

#include "ForkedProgram.h"

#include <QString>

#include <memory>

namespace testing_support {

// A sound server of this test process alone, in its private XDG_RUNTIME_DIR: an output that
// plays nowhere (whose monitor is no microphone) and a microphone that hears a 440 Hz tone.
// Stopped when the object goes, and with the test process if that dies first.
class SoundServer {
public:
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // True once the server answers; the reason otherwise.
    bool running() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    std::unique_ptr<ForkedProgram> m_server;
    QString m_error;
};

} // namespace testing_support
