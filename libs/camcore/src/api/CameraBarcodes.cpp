// Barcode reading: the newest full-resolution frame, whole (the view's zoom and cut do not
// hide codes from it), decoded and searched.
#include "Camera.h"

#include "barcode/BarcodeMarkup.h"
#include "barcode/BarcodeReader.h"
#include "pipeline/FrameDecoder.h"

namespace camcore {
namespace {

// A reading right after opening or a change of resolution waits this long for the camera's first
// frame: the first frame of a large resolution can take a few seconds to come (seen over 3 s
// under ThreadSanitizer). A camera that is lost answers at once.
constexpr std::chrono::milliseconds kFirstFrameWait{10000};

} // namespace

std::string Camera::readBarcodes() const {
    if (!m_open || m_lost)
        return {};
    const Frame frame = awaitFrame(kFirstFrameWait);
    if (frame.empty())
        return {};
    FrameDecoder decoder;
    return barcodeMarkup(readCodes(decoder.decode(frame)));
}

} // namespace camcore
