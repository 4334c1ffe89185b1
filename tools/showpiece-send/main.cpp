// showpiece-send: sends one command to the running document scanner program and waits until it
// has been carried out.
#include "CommandSocket.h"
#include "SendCommand.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 2;
constexpr int kExitIgnored = 3;
constexpr int kExitCaptureFailed = 4;

int usage() {
    std::fprintf(stderr,
                 "usage: showpiece-send [--timeout SECONDS] TEXT\n"
                 "       showpiece-send [--timeout SECONDS] -   (the text from standard input)\n"
                 "Sends TEXT (RotateR, Photo, ZommOut, ZommIn, Exit) to the running program.\n"
                 "Exit status: 0 done, 3 ignored, 4 failed (a capture that saved nothing), 2 no\n"
                 "program listening, no answer in time, or an error.\n");
    return kExitFailed;
}

} // namespace

int main(int argc, char* argv[]) {
    int timeoutSeconds = 30; // a capture with a prompt answers after its first shot
    int arg = 1;
    if (arg + 1 < argc && std::string(argv[arg]) == "--timeout") {
        timeoutSeconds = std::atoi(argv[arg + 1]);
        arg += 2;
    }
    if (arg + 1 != argc || timeoutSeconds <= 0)
        return usage();
    std::string text = argv[arg];
    if (text == "-") // binary-safe: NUL bytes and all
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());

    const std::string path = commands::commandSocketPath();
    const showpiece::Reply reply = showpiece::sendCommand(path, text, timeoutSeconds * 1000);
    switch (reply.outcome) {
    case showpiece::Outcome::Done:
        return kExitDone;
    case showpiece::Outcome::Ignored:
        std::fprintf(stderr, "showpiece-send: the program ignored the command\n");
        return kExitIgnored;
    case showpiece::Outcome::CaptureFailed:
        std::fprintf(stderr, "showpiece-send: the program could not save the picture\n");
        return kExitCaptureFailed;
    case showpiece::Outcome::NoProgram:
    case showpiece::Outcome::TimedOut:
    case showpiece::Outcome::Failed:
        break;
    }
    std::fprintf(stderr, "showpiece-send: %s\n", reply.detail.c_str());
    return kExitFailed;
}
