// Barcode reading: a full-resolution frame, whole (the view's zoom and cut do not hide codes from
// it), decoded and searched, at most kBarcodeTimeLimit long.
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
// The whole search of one frame; a dense 8-megapixel page takes a few hundred milliseconds.
constexpr std::chrono::milliseconds kBarcodeTimeLimit{5000};

Camera::BarcodeReading readFrame(const Frame& frame) {
    if (frame.empty())
        return {{}, ZO_BARCODE_CAMERA_LOST};
    FrameDecoder decoder;
    const CodeReading reading = readCodesWithin(decoder.decode(frame), kBarcodeTimeLimit);
    return {barcodeMarkup(reading.codes), reading.timedOut ? ZO_BARCODE_TIMED_OUT : ZO_BARCODE_OK};
}

} // namespace

Camera::BarcodeReading Camera::readBarcodes() const {
    if (!m_open || m_lost)
        return {{}, ZO_BARCODE_CAMERA_LOST};
    return readFrame(awaitFrame(kFirstFrameWait));
}

// Readings are done one after the other, so their answers come in the order asked for.
int Camera::readBarcodesQueued(BarcodesDone done) {
    if (!m_open || m_lost)
        return -ZO_BARCODE_CAMERA_LOST;
    const int number = ++m_lastReading;
    m_sideWork.hand([this, number, done = std::move(done), frame = latestFrame()] {
        const Frame read = frame.empty() ? awaitFrame(kFirstFrameWait) : frame;
        const BarcodeReading reading = readFrame(read);
        QMetaObject::invokeMethod(
            this,
            [this, number, done, reading, read] {
                m_callbackFrame = read;
                if (done)
                    done(number, reading);
                m_callbackFrame.reset();
            },
            Qt::QueuedConnection);
        return reading.reason == ZO_BARCODE_OK;
    });
    return number;
}

} // namespace camcore
