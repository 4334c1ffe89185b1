#pragma once

#include "base/Owned.h"

#include <turbojpeg.h>

namespace camcore {

// A TurboJPEG instance, from tjInitCompress() or tjInitDecompress().
using TjHandle = Owned<tjhandle, tjDestroy>;
// A buffer TurboJPEG allocated for its output.
using TjBuffer = Owned<unsigned char*, tjFree>;

} // namespace camcore
