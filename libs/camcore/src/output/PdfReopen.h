#pragma once

#include "output/PdfSections.h"

#include <optional>

namespace camcore {

// The state of a document that appendPage() wrote, read back from the open file `fd` so that
// pages can be appended to it again (a document a crash left behind). Empty for anything else,
// and for a document whose last update was cut short: the file must end with a whole update.
std::optional<PdfState> readPdfState(int fd);

} // namespace camcore
