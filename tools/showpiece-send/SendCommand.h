#pragma once

#include <string>
#include <string_view>

namespace showpiece {

// Done, Ignored and CaptureFailed are the program's answers ("done", "ignored", "failed": a
// capture tried that wrote nothing); the others say why no answer came.
enum class Outcome { Done, Ignored, CaptureFailed, NoProgram, TimedOut, Failed };

struct Reply {
    Outcome outcome = Outcome::Failed;
    std::string detail; // what went wrong, for the user
};

// Sends `text` as one command to the program listening at `socketPath` and waits up to
// `timeoutMs` for its answer.
Reply sendCommand(const std::string& socketPath, std::string_view text, int timeoutMs);

} // namespace showpiece
