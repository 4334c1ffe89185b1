#include "CommandWords.h"

#include <array>
#include <utility>

namespace commands {
namespace {

// Searched in this order; the first word found decides.
constexpr std::array<std::pair<QByteArrayView, Command>, 9> kWords{{
    {"RotateR", Command::RotateRight},
    {"Photo", Command::Capture},
    {"ZommOut", Command::ZoomIn},
    {"ZommIn", Command::ZoomOut},
    {"FreeZe", Command::NoAction},
    {"AddCamera", Command::NoAction},
    {"RemoveCamera", Command::NoAction},
    {"CopyRight", Command::NoAction},
    {"Exit", Command::Exit},
}};

} // namespace

Command parseCommand(QByteArrayView text) {
    const qsizetype end = text.indexOf('\0');
    if (end >= 0)
        text = text.first(end);
    for (const auto& [word, command] : kWords)
        if (text.contains(word))
            return command;
    return Command::None;
}

} // namespace commands
