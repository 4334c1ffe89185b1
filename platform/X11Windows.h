#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace platform {

// Window services of the X server named by $DISPLAY, through a connection of their own (they
// work whatever Qt platform the program runs on, and without a window manager).

// The first window whose title (_NET_WM_NAME, else WM_NAME) is exactly `title`, searched through
// the whole window tree. Empty when there is none or no X server can be reached.
std::optional<std::uint32_t> findWindowByTitle(const QByteArray& title);

// True when the window is mapped and all its ancestors are (it can be seen and clicked).
bool isWindowViewable(std::uint32_t window);

// Asks the window to close as its close button would (WM_DELETE_WINDOW). False when the X server
// cannot be reached.
bool requestWindowClose(std::uint32_t window);

} // namespace platform
