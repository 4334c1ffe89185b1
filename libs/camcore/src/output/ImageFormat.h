#pragma once

#include <QString>

#include <optional>

namespace camcore {

enum class ImageFormat { Jpeg, Png, Bmp, Tiff, Pdf };

// The format a capture path names by its extension, ignoring case: .jpg/.jpeg, .png, .bmp,
// .tif/.tiff, .pdf. Empty for any other extension or none.
std::optional<ImageFormat> formatFromPath(const QString& path);

} // namespace camcore
