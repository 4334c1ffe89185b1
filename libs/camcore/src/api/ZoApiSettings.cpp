// The flat functions for picture settings, processing switches, device controls, the watermark
// and barcode reading.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "CaptureDelivery.h"
#include "Controls.h"
#include "Trace.h"
#include "output/CaptureWriter.h"
#include "render/PropertyDialog.h"
#include "text/PageWords.h"

using camcore::Camera;
using camcore::ControlRange;
using camcore::traceCall;
using camcore::traceVoid;
using camcore::api::answerOnCamera;
using camcore::api::deviceAt;
using camcore::api::doneOr;
using camcore::api::kBadCamera;
using camcore::api::keep;
using camcore::api::performOnCamera;

namespace {

constexpr int kBarcodeSlot = 10;

const char* barcodeReasonText(int reason) {
    switch (reason) {
    case ZO_BARCODE_OK:
        return "";
    case ZO_BARCODE_CAMERA_LOST:
        return "camera lost";
    case ZO_BARCODE_TIMED_OUT:
        return "timed out";
    default:
        return "not read";
    }
}

void report(const ControlRange& range, bool& automatic, int& upper, int& lower, int& value) {
    automatic = range.automatic;
    upper = range.upper;
    lower = range.lower;
    value = range.value;
}

} // namespace

// The definitions take their C linkage from the declarations in ZoApi.h.

int ZoSetDPI(int cam, int dpi) {
    return answerOnCamera(
        "ZoSetDPI", cam, 0,
        [dpi](Camera& camera) {
            const bool valid = dpi > 0 && dpi <= 10000;
            if (valid)
                camera.setDpi(dpi);
            return doneOr(valid, "DPI out of range");
        },
        cam, dpi);
}

void ZoSetJpgQuality(int cam, int quality) {
    performOnCamera(
        "ZoSetJpgQuality", cam,
        [quality](Camera& camera) -> const char* {
            if (quality < 1 || quality > 100)
                return "quality out of range";
            camera.captureSettings().jpegQuality = quality;
            return "";
        },
        cam, quality);
}

void ZoGetBrightness(int cam, bool& automatic, int& upper, int& lower, int& value) {
    report(ControlRange{}, automatic, upper, lower, value);
    performOnCamera(
        "ZoGetBrightness", cam,
        [&](Camera& camera) {
            report(camcore::readBrightness(camera.device()), automatic, upper, lower, value);
        },
        cam, automatic, upper, lower, value);
}

void ZoGetExposure(int cam, bool& automatic, int& upper, int& lower, int& value) {
    report(ControlRange{}, automatic, upper, lower, value);
    performOnCamera(
        "ZoGetExposure", cam,
        [&](Camera& camera) {
            report(camcore::readExposure(camera.device()), automatic, upper, lower, value);
        },
        cam, automatic, upper, lower, value);
}

void ZoSetBrightness(int cam, bool automatic, int value) {
    performOnCamera(
        "ZoSetBrightness", cam,
        [&](Camera& camera) {
            return camcore::writeBrightness(camera.device(), automatic, value)
                       ? ""
                       : "refused by the device";
        },
        cam, automatic, value);
}

void ZoSetExposure(int cam, bool automatic, int value) {
    performOnCamera(
        "ZoSetExposure", cam,
        [&](Camera& camera) {
            return camcore::writeExposure(camera.device(), automatic, value)
                       ? ""
                       : "refused by the device";
        },
        cam, automatic, value);
}

void ZoShowVideoProperty(int cam) {
    if (camcore::api::refusedOffThreadVoid("ZoShowVideoProperty", cam))
        return;
    // Traced before the dialog, which stays open until the user closes it.
    const auto device = deviceAt(cam);
    traceVoid("ZoShowVideoProperty", device ? "" : kBadCamera, cam);
    if (!device)
        return;
    camcore::PropertyDialog dialog(device);
    dialog.exec();
}

int ZoEnableAutoRotate(int cam, bool enable) {
    return answerOnCamera(
        "ZoEnableAutoRotate", cam, 0,
        [enable](Camera& camera) {
            camera.setAutoCrop(enable);
            return 1;
        },
        cam, enable);
}

void ZoDelBackColor(int cam, bool enable) {
    performOnCamera(
        "ZoDelBackColor", cam,
        [enable](Camera& camera) { camera.captureSettings().cleanBackground = enable; }, cam,
        enable);
}

void ZoEnableSplitCap(int cam, bool enable) {
    performOnCamera(
        "ZoEnableSplitCap", cam,
        [enable](Camera& camera) { camera.captureSettings().splitCapture = enable; }, cam, enable);
}

void ZoEnableAutoOrient(int cam, bool enable) {
    performOnCamera(
        "ZoEnableAutoOrient", cam,
        [enable](Camera& camera) { camera.captureSettings().autoOrient = enable; }, cam, enable);
}

void ZoEnableDewarp(int cam, bool enable) {
    performOnCamera(
        "ZoEnableDewarp", cam,
        [enable](Camera& camera) { camera.captureSettings().dewarp = enable; }, cam, enable);
}

void ZoSetPdfText(int cam, bool enable) {
    performOnCamera(
        "ZoSetPdfText", cam,
        [enable](Camera& camera) { camera.captureSettings().pdfText = enable; }, cam, enable);
}

bool ZoPdfTextReaderPresent(void) {
    const bool present = camcore::canRecogniseWords();
    traceCall("ZoPdfTextReaderPresent", present, present ? "" : "no OCR library");
    return present;
}

int ZoWaitPdfPages(int cam) {
    return answerOnCamera(
        "ZoWaitPdfPages", cam, -1,
        [](Camera& camera) {
            const int lost = camera.waitForPagesBehind();
            return camcore::api::Answer<int>{lost, lost == 0 ? "" : "pages lost"};
        },
        cam);
}

int ZoRemoveLastPdfPagesQueued(int cam, int32_t pages, ZoPagesRemovedCallback callback,
                               void* user) {
    return answerOnCamera(
        "ZoRemoveLastPdfPagesQueued", cam, 0,
        [&](Camera& camera) {
            if (!camera.isOpen() || pages < 1)
                return camcore::api::Answer<int>{0, pages < 1 ? "no pages" : "camera not open"};
            camera.removeLastPdfPages(pages, [callback, user, cam](int pagesLeft) {
                traceCall("ZoRemoveLastPdfPagesQueued done", pagesLeft, "", cam);
                if (callback != nullptr)
                    callback(pagesLeft, user);
            });
            return camcore::api::Answer<int>{1, ""};
        },
        cam, pages);
}

int ZoForgetLastPage(int cam, bool lookAgain) {
    return answerOnCamera(
        "ZoForgetLastPage", cam, 0,
        [&](Camera& camera) {
            if (!camera.isOpen() || !camera.autoCapture())
                return camcore::api::Answer<int>{0, "no automatic capture"};
            camera.forgetLastPage(lookAgain);
            return camcore::api::Answer<int>{1, ""};
        },
        cam, lookAgain);
}

void ZoSetResize(int cam, bool enable, float ratio) {
    performOnCamera(
        "ZoSetResize", cam,
        [&](Camera& camera) -> const char* {
            if (enable && !(ratio > 0.0F && ratio <= 10.0F))
                return "ratio out of range";
            camera.captureSettings().resize = enable;
            camera.captureSettings().resizeRatio = enable ? ratio : 1.0F;
            return "";
        },
        cam, enable, ratio);
}

int ZoCapture(int cam, const char* path) {
    return answerOnCamera(
        "ZoCapture", cam, 0,
        [path](Camera& camera) -> camcore::api::Answer<int> {
            if (path == nullptr || *path == '\0')
                return {0, "no path"};
            const camcore::CaptureOutcome outcome = camera.capture(QString::fromLocal8Bit(path));
            return {outcome.written, camcore::captureReasonText(outcome.reason)};
        },
        cam, path);
}

namespace {

int queueCapture(const char* name, int cam, const char* path, ZoCaptureCallback callback,
                 void* user, Camera::Processing processing) {
    return answerOnCamera(
        name, cam, -ZO_CAPTURE_CAMERA_LOST,
        [name, path, callback, user, processing](Camera& camera) -> camcore::api::Answer<int> {
            if (path == nullptr || *path == '\0')
                return {-ZO_CAPTURE_NAME_REFUSED, "no path"};
            const int job =
                camera.captureQueued(QString::fromLocal8Bit(path),
                                     camcore::api::deliveryTo(name, callback, user), processing);
            return {job, job > 0 ? "" : camcore::captureReasonText(-job)};
        },
        cam, path, reinterpret_cast<const void*>(callback), static_cast<const void*>(user));
}

} // namespace

int ZoCaptureQueued(int cam, const char* path, ZoCaptureCallback callback, void* user) {
    return queueCapture("ZoCaptureQueued", cam, path, callback, user,
                        Camera::Processing::AsSwitched);
}

int ZoCaptureViewQueued(int cam, const char* path, ZoCaptureCallback callback, void* user) {
    return queueCapture("ZoCaptureViewQueued", cam, path, callback, user,
                        Camera::Processing::AsViewed);
}

int ZoCapturesPending(int cam) {
    return answerOnCamera(
        "ZoCapturesPending", cam, -1, [](Camera& camera) { return camera.capturesPending(); }, cam);
}

int ZoSetPDFMode(int cam, int mode) {
    return answerOnCamera(
        "ZoSetPDFMode", cam, 0,
        [mode](Camera& camera) {
            const auto chosen = camcore::pdfModeFrom(mode);
            if (chosen) {
                camera.captureSettings().pdfMode = *chosen;
                if (*chosen == camcore::PdfMode::OnePerFile)
                    camera.endPdfDocument();
            }
            return doneOr(chosen.has_value(), "no such mode");
        },
        cam, mode);
}

void ZoSetCaptureMode(int cam, int mode) {
    performOnCamera(
        "ZoSetCaptureMode", cam,
        [mode](Camera& camera) {
            const auto chosen = camcore::captureModeFrom(mode);
            if (chosen)
                camera.setCaptureMode(*chosen);
            return chosen ? "" : "no such mode";
        },
        cam, mode);
}

namespace {

int imageSide(const char* name, const char* path, bool width) {
    std::optional<QSize> size;
    if (path != nullptr && *path != '\0')
        size = camcore::imageFileSize(QString::fromLocal8Bit(path));
    const int result = size ? (width ? size->width() : size->height()) : 0;
    traceCall(name, result, size ? "" : "not a readable picture", path);
    return result;
}

} // namespace

int ZoGetImageWidth(const char* path) {
    return imageSide("ZoGetImageWidth", path, true);
}
int ZoGetImageHeight(const char* path) {
    return imageSide("ZoGetImageHeight", path, false);
}

void ZoSetAutoCap(int cam, bool enable) {
    performOnCamera(
        "ZoSetAutoCap", cam, [enable](Camera& camera) { camera.setAutoCapture(enable); }, cam,
        enable);
}

void ZoSetAutoCapCB(int cam, ZoAutoCaptureCallback callback) {
    performOnCamera(
        "ZoSetAutoCapCB", cam,
        [callback](Camera& camera) { camera.setAutoCaptureCallback(callback); }, cam,
        reinterpret_cast<const void*>(callback));
}

// The record lives only for the call: the camera keeps its own checked copy.
int ZoAddWaterMark(int cam, int type, _WATERMARKPARAM* param) {
    return answerOnCamera(
        "ZoAddWaterMark", cam, 0,
        [type, param](Camera& camera) {
            if (param == nullptr)
                return doneOr(false, "no watermark record");
            const camcore::Resolution size = camera.resolution();
            std::optional<camcore::Watermark> mark =
                camcore::readWatermark(*param, type, QSize(size.width, size.height));
            if (mark)
                camera.setWatermark(std::move(mark));
            return doneOr(mark.has_value(), "unknown watermark type");
        },
        cam, type, static_cast<const void*>(param));
}

int ZoClearWatermark(int cam) {
    return answerOnCamera(
        "ZoClearWatermark", cam, 0,
        [](Camera& camera) {
            camera.setWatermark(std::nullopt);
            return 1;
        },
        cam);
}

// The text stays valid until the next reading on this thread.
const char* ZoReadBarcode(int cam) {
    return answerOnCamera(
        "ZoReadBarcode", cam, keep<kBarcodeSlot>(std::string()),
        [](Camera& camera) -> camcore::api::Answer<const char*> {
            const Camera::BarcodeReading reading = camera.readBarcodes();
            return {keep<kBarcodeSlot>(reading.markup), barcodeReasonText(reading.reason)};
        },
        cam);
}

int ZoReadBarcodeQueued(int cam, ZoBarcodeCallback callback, void* user) {
    return answerOnCamera(
        "ZoReadBarcodeQueued", cam, -ZO_BARCODE_CAMERA_LOST,
        [callback, user](Camera& camera) -> camcore::api::Answer<int> {
            const int reading = camera.readBarcodesQueued(
                [callback, user](int number, const Camera::BarcodeReading& read) {
                    traceCall("ZoReadBarcodeQueued done", read.markup.c_str(),
                              barcodeReasonText(read.reason), number);
                    if (callback != nullptr)
                        callback(number, read.markup.c_str(), read.reason, user);
                });
            return {reading, reading > 0 ? "" : barcodeReasonText(-reading)};
        },
        cam, reinterpret_cast<const void*>(callback), static_cast<const void*>(user));
}
