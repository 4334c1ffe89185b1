#pragma once

#include <cstdint>

namespace camcore {

// One row of libyuv's ARGB (bytes B, G, R, A) as RGB888 (bytes R, G, B), written past the
// cache with non-temporal stores where the processor has SSSE3, so that writing a picture larger
// than the cache does not first read every line of it. Call finishStreamedRows() before the
// rows are handed to another thread.
void argbRowToRgb(const std::uint8_t* argb, std::uint8_t* rgb, int width);

// Orders the streamed stores before any later store (a lock's release included).
void finishStreamedRows();

} // namespace camcore
