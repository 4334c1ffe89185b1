#pragma once

#include <QByteArray>

#include <tiffio.h>

#include <memory>

namespace camcore {

struct TiffClose {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffClose>;

// A TIFF file held in a byte array, so that captures are compressed in memory and reach the
// disk in one atomic write, and the Group 4 strip for PDF pages never touches the disk.
struct TiffMemory {
    QByteArray bytes;
    qint64 position = 0;
};

// Opens `memory` with libtiff ("w" to create, "r" to read). `memory` must outlive the handle.
TiffHandle openTiff(TiffMemory& memory, const char* mode);

} // namespace camcore
