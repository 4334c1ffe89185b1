#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

namespace camcore {

// Byte-level work on JPEG files that TurboJPEG does not offer: it cannot set the JFIF density
// and does not say how a JPEG was quantised.

// `jpeg` with its JFIF APP0 segment carrying `dpi` as dots per inch (units 1). A JFIF APP0 is
// patched in place; when the first segment is something else (camera MJPEG often starts with
// an AVI1 APP0 or no APP0 at all) a JFIF APP0 is inserted right after SOI, where readers look
// for it. Empty when `jpeg` does not start with SOI, its segments before the scan are damaged,
// or `dpi` is outside 1..65535.
QByteArray withJfifDensity(std::span<const std::uint8_t> jpeg, int dpi);

// The IJG quality (1..100) whose scaled standard luminance table is closest to the file's own
// luminance table; 0 when the file has no readable one. Ties go to the higher quality so that
// the estimate never flatters a file.
int estimateJpegQuality(std::span<const std::uint8_t> jpeg);

// True when Huffman tables precede the first scan. MJPEG frames may leave them out and rely on
// the decoder's defaults; such a frame is not a complete JPEG file.
bool hasHuffmanTables(std::span<const std::uint8_t> jpeg);

inline std::span<const std::uint8_t> byteSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

} // namespace camcore
