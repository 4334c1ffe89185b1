#pragma once

#include "base/Owned.h"

#include <pulse/simple.h>

#include <span>
#include <string>

namespace camcore {

// A recording stream from one sound input: mono 32-bit float samples at the encoder's rate,
// read in blocks of about 20 ms so that a stop is never kept waiting longer than that.
class AudioInput {
public:
    // Connects to `source` (a server name); false with error() when the server or the input is
    // not there.
    bool open(const std::string& source, int rate);
    // Blocks until `samples` is full; false when the stream broke (the input went away).
    bool read(std::span<float> samples);

    const std::string& error() const { return m_error; }

private:
    static void close(pa_simple* stream) { pa_simple_free(stream); }
    Owned<pa_simple*, close> m_stream;
    std::string m_error;
};

} // namespace camcore
