#pragma once

#include <optional>

// The program reads no options. A first argument of exactly --help or --version is answered on
// standard output before anything starts (no window, no engine, no display needed); the exit
// status is returned. Any other command line gives nullopt and is ignored.
std::optional<int> answerInfoRequest(int argc, const char* const argv[]);
