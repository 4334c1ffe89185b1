#pragma once

#include <QString>

namespace platform {

// A text as the window shows it in `language`: 0 is Chinese, any other English.
inline QString text(int language, const char* chinese, const char* english) {
    return QString::fromUtf8(language == 0 ? chinese : english);
}

} // namespace platform
