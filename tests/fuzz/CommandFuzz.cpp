// Feeds arbitrary bytes to the command word parser and checks what a sender relies on: the
// command found is named by a word before the first NUL, and the bytes after a NUL change
// nothing.
#include "CommandWords.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using commands::Command;

bool named(Command command, QByteArrayView text) {
    switch (command) {
    case Command::RotateRight:
        return text.contains("RotateR");
    case Command::Capture:
        return text.contains("Photo");
    case Command::ZoomIn:
        return text.contains("ZommOut");
    case Command::ZoomOut:
        return text.contains("ZommIn");
    case Command::NoAction:
        return text.contains("FreeZe") || text.contains("AddCamera") ||
               text.contains("RemoveCamera") || text.contains("CopyRight");
    case Command::Exit:
        return text.contains("Exit");
    case Command::None:
        return !text.contains("Photo") && !text.contains("Exit") && !text.contains("RotateR");
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Command command = commands::parseCommand(input);
    const qsizetype nul = input.indexOf('\0');
    const QByteArrayView text = nul >= 0 ? input.first(nul) : input;
    if (!named(command, text))
        std::abort();
    if (commands::parseCommand(text.toByteArray() + QByteArray("\0Exit", 5)) != command)
        std::abort();
    return 0;
}
