// The flat functions for picture settings, processing switches, device controls and the
// operations that later parts of the engine provide (they answer "not available" until then).
#include "ZoApi.h"

#include "ApiSupport.h"
#include "Controls.h"
#include "Trace.h"
#include "output/CaptureWriter.h"
#include "render/PropertyDialog.h"

using camcore::Camera;
using camcore::ControlRange;
using camcore::Engine;
using camcore::traceCall;
using camcore::traceVoid;
using camcore::api::cameraAt;
using camcore::api::kBadCamera;
using camcore::api::kNotAvailable;

namespace {

void report(const ControlRange& range, bool& automatic, int& upper, int& lower, int& value) {
    automatic = range.automatic;
    upper = range.upper;
    lower = range.lower;
    value = range.value;
}

} // namespace

// The definitions take their C linkage from the declarations in ZoApi.h.

int ZoSetDPI(int cam, int dpi) {
    Camera* camera = cameraAt(cam);
    const bool valid = dpi > 0 && dpi <= 10000;
    if (camera != nullptr && valid)
        camera->captureSettings().dpi = dpi;
    const int result = camera && valid ? 1 : 0;
    traceCall("ZoSetDPI", result, camera ? (valid ? "" : "DPI out of range") : kBadCamera, cam,
              dpi);
    return result;
}

void ZoSetJpgQuality(int cam, int quality) {
    Camera* camera = cameraAt(cam);
    const bool valid = quality >= 1 && quality <= 100;
    if (camera != nullptr && valid)
        camera->captureSettings().jpegQuality = quality;
    traceVoid("ZoSetJpgQuality", camera ? (valid ? "" : "quality out of range") : kBadCamera, cam,
              quality);
}

void ZoGetBrightness(int cam, bool& automatic, int& upper, int& lower, int& value) {
    Camera* camera = cameraAt(cam);
    report(camera ? camcore::readBrightness(camera->device()) : ControlRange{}, automatic, upper,
           lower, value);
    traceVoid("ZoGetBrightness", camera ? "" : kBadCamera, cam, automatic, upper, lower, value);
}

void ZoGetExposure(int cam, bool& automatic, int& upper, int& lower, int& value) {
    Camera* camera = cameraAt(cam);
    report(camera ? camcore::readExposure(camera->device()) : ControlRange{}, automatic, upper,
           lower, value);
    traceVoid("ZoGetExposure", camera ? "" : kBadCamera, cam, automatic, upper, lower, value);
}

void ZoSetBrightness(int cam, bool automatic, int value) {
    Camera* camera = cameraAt(cam);
    const bool done = camera && camcore::writeBrightness(camera->device(), automatic, value);
    traceVoid("ZoSetBrightness", camera ? (done ? "" : "refused by the device") : kBadCamera, cam,
              automatic, value);
}

void ZoSetExposure(int cam, bool automatic, int value) {
    Camera* camera = cameraAt(cam);
    const bool done = camera && camcore::writeExposure(camera->device(), automatic, value);
    traceVoid("ZoSetExposure", camera ? (done ? "" : "refused by the device") : kBadCamera, cam,
              automatic, value);
}

void ZoShowVideoProperty(int cam) {
    Engine::instance().init();
    const auto device = Engine::instance().device(cam);
    traceVoid("ZoShowVideoProperty", device ? "" : kBadCamera, cam);
    if (!device)
        return;
    camcore::PropertyDialog dialog(device);
    dialog.exec();
}

int ZoEnableAutoRotate(int cam, bool enable) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->setAutoCrop(enable);
    const int result = camera != nullptr ? 1 : 0;
    traceCall("ZoEnableAutoRotate", result, camera ? "" : kBadCamera, cam, enable);
    return result;
}

void ZoDelBackColor(int cam, bool enable) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->captureSettings().cleanBackground = enable;
    traceVoid("ZoDelBackColor", camera ? "" : kBadCamera, cam, enable);
}

void ZoEnableSplitCap(int cam, bool enable) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->captureSettings().splitCapture = enable;
    traceVoid("ZoEnableSplitCap", camera ? "" : kBadCamera, cam, enable);
}

void ZoSetResize(int cam, bool enable, float ratio) {
    Camera* camera = cameraAt(cam);
    const bool valid = !enable || (ratio > 0.0F && ratio <= 10.0F);
    if (camera != nullptr && valid) {
        camera->captureSettings().resize = enable;
        camera->captureSettings().resizeRatio = enable ? ratio : 1.0F;
    }
    traceVoid("ZoSetResize", camera ? (valid ? "" : "ratio out of range") : kBadCamera, cam, enable,
              ratio);
}

int ZoCapture(int cam, const char* path) {
    Camera* camera = cameraAt(cam);
    const char* note = "";
    int written = 0;
    if (camera == nullptr)
        note = kBadCamera;
    else if (path == nullptr || *path == '\0')
        note = "no path";
    else if (!camera->isOpen())
        note = "camera not open";
    else if ((written = camera->capture(QString::fromLocal8Bit(path))) == 0)
        note = "nothing written";
    traceCall("ZoCapture", written, note, cam, path);
    return written;
}

int ZoSetPDFMode(int cam, int mode) {
    Camera* camera = cameraAt(cam);
    const bool valid = mode == 0 || mode == 1;
    if (camera != nullptr && valid) {
        camera->captureSettings().pdfMode = mode;
        if (mode == 1)
            camera->endPdfDocument();
    }
    const int result = camera && valid ? 1 : 0;
    traceCall("ZoSetPDFMode", result, camera ? (valid ? "" : "no such mode") : kBadCamera, cam,
              mode);
    return result;
}

void ZoSetCaptureMode(int cam, int mode) {
    Camera* camera = cameraAt(cam);
    const bool valid = camera != nullptr && camera->setCaptureMode(mode);
    traceVoid("ZoSetCaptureMode", camera ? (valid ? "" : "no such mode") : kBadCamera, cam, mode);
}

int ZoImagesMix(const char* list, int a, int b, int c, int d, const char* out) {
    traceCall("ZoImagesMix", 0, kNotAvailable, list, a, b, c, d, out);
    return 0;
}

int ZoCombineMainSubEn(const char* main, const char* sub, const char* out, int width, int height,
                       int x, int y) {
    traceCall("ZoCombineMainSubEn", 0, kNotAvailable, main, sub, out, width, height, x, y);
    return 0;
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
    traceVoid("ZoSetAutoCap", kNotAvailable, cam, enable);
}

void ZoSetAutoCapCB(int cam, ZoAutoCaptureCallback callback) {
    traceVoid("ZoSetAutoCapCB", kNotAvailable, cam, reinterpret_cast<const void*>(callback));
}

int ZoAddWaterMark(int cam, int type, _WATERMARKPARAM* param) {
    traceCall("ZoAddWaterMark", 0, kNotAvailable, cam, type, static_cast<const void*>(param));
    return 0;
}

int ZoClearWatermark(int cam) {
    traceCall("ZoClearWatermark", 0, kNotAvailable, cam);
    return 0;
}

const char* ZoReadBarcode(int cam) {
    traceCall("ZoReadBarcode", "", kNotAvailable, cam);
    return "";
}

int ZoPrint(int cam) {
    traceCall("ZoPrint", 0, kNotAvailable, cam);
    return 0;
}

int ZoStartRecordEx(int cam, const char* path, bool withAudio) {
    traceCall("ZoStartRecordEx", 0, kNotAvailable, cam, path, withAudio);
    return 0;
}

int ZoStopRecordEx(int cam) {
    traceCall("ZoStopRecordEx", 0, kNotAvailable, cam);
    return 0;
}

int ZoGetAudioCount(void) {
    traceCall("ZoGetAudioCount", 0, kNotAvailable);
    return 0;
}

const char* ZoGetAudioName(int index) {
    traceCall("ZoGetAudioName", "", kNotAvailable, index);
    return "";
}

void ZoSetAudioDev(int index) {
    traceVoid("ZoSetAudioDev", kNotAvailable, index);
}

bool ZoReadIDCard(void) {
    traceCall("ZoReadIDCard", false, kNotAvailable);
    return false;
}

namespace {

const char* idField(const char* name) {
    traceCall(name, "", kNotAvailable);
    return "";
}

} // namespace

const char* ZoMakeIDCard(void) {
    return idField("ZoMakeIDCard");
}
const char* ZoGetIDName(void) {
    return idField("ZoGetIDName");
}
const char* ZoGetIDSex(void) {
    return idField("ZoGetIDSex");
}
const char* ZoGetIDNation(void) {
    return idField("ZoGetIDNation");
}
const char* ZoGetIDBirthFull(void) {
    return idField("ZoGetIDBirthFull");
}
const char* ZoGetIDAddress(void) {
    return idField("ZoGetIDAddress");
}
const char* ZoGetIDNum(void) {
    return idField("ZoGetIDNum");
}
const char* ZoGetIDDepart(void) {
    return idField("ZoGetIDDepart");
}
const char* ZoGetIDTermDay(void) {
    return idField("ZoGetIDTermDay");
}
const char* ZoGetIDHeadImagePath(void) {
    return idField("ZoGetIDHeadImagePath");
}
