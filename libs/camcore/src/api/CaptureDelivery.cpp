#include "CaptureDelivery.h"

#include "Trace.h"

#include <string>

namespace camcore::api {

Camera::CaptureDone deliveryTo(const char* name, ZoCaptureCallback callback, void* user) {
    if (callback == nullptr)
        return {};
    return [traced = std::string(name) + " done", callback, user](const CaptureOutcome& outcome) {
        QByteArray files;
        for (const QString& file : outcome.files)
            files += file.toLocal8Bit() + '\n';
        ZoCaptureResult result{};
        result.job = outcome.job;
        result.written = outcome.written;
        result.reason = outcome.reason;
        result.reasonText = captureReasonText(outcome.reason);
        result.files = files.constData();
        if (!outcome.picture.isNull()) {
            result.pictureRgb = outcome.picture.constBits();
            result.pictureWidth = outcome.picture.width();
            result.pictureHeight = outcome.picture.height();
            result.pictureBytesPerLine = static_cast<int32_t>(outcome.picture.bytesPerLine());
        }
        if (const QImage& second = outcome.secondPicture; !second.isNull()) {
            result.secondPictureRgb = second.constBits();
            result.secondPictureWidth = second.width();
            result.secondPictureHeight = second.height();
            result.secondPictureBytesPerLine = static_cast<int32_t>(second.bytesPerLine());
        }
        traceCall(traced.c_str(), outcome.written, result.reasonText, outcome.job);
        callback(&result, user);
    };
}

} // namespace camcore::api
