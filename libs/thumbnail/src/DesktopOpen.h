#pragma once

#include <QString>

class QWidget;

namespace thumbnail {

// Hands a file or folder to the desktop's viewer for it. When the desktop cannot (no viewer is
// installed), says so in a message box over `parent` that does not block the caller.
// `language`: 0 Chinese, 1 English.
void openWithDesktop(const QString& path, int language, QWidget* parent);

} // namespace thumbnail
