#pragma once

#include "Image.h"

#include <optional>
#include <string>

namespace fingerprint {

// Largest side accepted: minutia positions are stored in 10 bits.
constexpr int kMaxImageSide = 1024;

// Reads an 8-bit grey image from a binary PGM (P5) or a JPEG file, told apart by their first
// bytes; colour JPEGs are converted to grey. Nothing for an unreadable, malformed or oversized
// file.
std::optional<GreyImage> readGreyImage(const std::string& path);

} // namespace fingerprint
