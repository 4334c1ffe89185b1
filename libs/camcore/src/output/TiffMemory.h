#pragma once

#include <QByteArray>

#include "base/Owned.h"

#include <tiffio.h>

namespace camcore {

using TiffHandle = Owned<TIFF*, TIFFClose>;

// A TIFF file held in a byte array, so that captures are compressed in memory and reach the
// disk in one atomic write, and the Group 4 strip for PDF pages never touches the disk.
struct TiffMemory {
    QByteArray bytes;
    qint64 position = 0;
};

// Opens `memory` with libtiff ("w" to create, "r" to read). `memory` must outlive the handle.
TiffHandle openTiff(TiffMemory& memory, const char* mode);

} // namespace camcore
