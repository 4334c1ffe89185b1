#pragma once

#include <Qt>

namespace thumbnail {

// Data roles of the strip's model beyond Qt's own (display name, thumbnail, check, tool tip).
enum StripRole {
    ThumbnailStateRole = Qt::UserRole + 1, // a ThumbnailState as int
    FilePathRole,                          // the file as a QString
};

enum class ThumbnailState { Waiting, Ready, Unreadable };

} // namespace thumbnail
