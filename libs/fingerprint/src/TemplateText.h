#pragma once

#include "Minutia.h"

#include <optional>
#include <string>

namespace fingerprint {

// Minutiae beyond this many are left out of a template (the deepest inside the finger are
// kept); with them it still fits the 512 characters of the reader's buffer.
constexpr std::size_t kMaxTemplateMinutiae = 90;

// The text of a template or feature: "TL1" and, in base64, a version byte, the number of
// minutiae, four bytes for each (x and y in 10 bits, the angle in 256ths of a turn, the type)
// and a check byte. At most kMaxTemplateMinutiae are written.
std::string encodeTemplate(const Minutiae& minutiae);

// The minutiae again; nothing for text that is not such a template or whose check byte fails.
std::optional<Minutiae> decodeTemplate(const char* text);

} // namespace fingerprint
