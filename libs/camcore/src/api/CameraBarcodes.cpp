// Barcode reading: the newest full-resolution frame, whole (the view's zoom and cut do not
// hide codes from it), decoded and searched.
#include "Camera.h"

#include "barcode/BarcodeMarkup.h"
#include "barcode/BarcodeReader.h"
#include "pipeline/FrameDecoder.h"

namespace camcore {
namespace {

// A reading right after opening waits this long for the camera's first frame.
constexpr std::chrono::milliseconds kFirstFrameWait{3000};

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
