#pragma once

#include <QByteArrayView>

namespace commands {

enum class Command {
    None,        // no word of the table
    RotateRight, // "RotateR"
    Capture,     // "Photo"
    ZoomIn,      // "ZommOut": enlarges, as the senders have always expected
    ZoomOut,     // "ZommIn"
    NoAction,    // "FreeZe", "AddCamera", "RemoveCamera", "CopyRight": known, do nothing
    Exit,        // "Exit"
};

// The command a sender's text asks for: the words are searched for in the table's order and the
// first one found decides, so "RotateRPhoto" only rotates and "FreeZeExit" does nothing. Senders
// pass C strings: only the bytes before the first NUL count.
Command parseCommand(QByteArrayView text);

} // namespace commands
