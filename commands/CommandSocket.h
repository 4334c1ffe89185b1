#pragma once

// Where the program listens for commands from other programs, and the rules both ends share.
// Plain C++ without Qt: the sender tool uses it too.

#include <cstddef>
#include <string>
#include <string_view>

namespace commands {

// Bytes of one command beyond which it is refused unread.
inline constexpr std::size_t kMaxCommandBytes = 64 * 1024;

// The one-line answers, sent once a command has been carried out, tried without result (a
// capture that wrote nothing), or refused.
inline constexpr std::string_view kAnswerDone = "done\n";
inline constexpr std::string_view kAnswerFailed = "failed\n";
inline constexpr std::string_view kAnswerIgnored = "ignored\n";

// What a command came to.
enum class Answer { Done, Failed, Ignored };

// $XDG_RUNTIME_DIR/showpiece.sock, or /tmp/showpiece-<uid>/showpiece.sock without that variable.
std::string commandSocketPath();

// Makes the socket's folder when it is the /tmp one and missing (mode 0700), and checks that the
// folder is a real directory of this user that nobody else can enter. Empty when the folder can
// be used, else the reason it cannot.
std::string prepareSocketFolder(const std::string& socketPath);

// The user id of the process at the other end of a connected local socket; -1 when unknown.
long peerUid(int fd);

} // namespace commands
