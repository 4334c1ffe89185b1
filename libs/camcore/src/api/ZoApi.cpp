// The flat functions: check arguments, find the camera, call it, and trace the call.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "Trace.h"

#include <QWidget>

#include <cstdio>
#include <string>

using camcore::Camera;
using camcore::Engine;
using camcore::traceCall;
using camcore::traceVoid;
using camcore::TraceWindow;
using camcore::api::cameraAt;
using camcore::api::kBadCamera;
using camcore::api::keep;

namespace {

constexpr const char* kBadWindow = "unknown window";

// The widget behind a window handle; null for 0 or a handle of no widget of this process.
QWidget* widgetOf(ZoWindow window) {
    return window == 0 ? nullptr : QWidget::find(static_cast<WId>(window));
}

// One text of a camera's identity; "" for an index out of range.
template <int Slot>
const char* identityText(const char* name, int cam, std::string camcore::DeviceIdentity::*field) {
    Engine::instance().init();
    const auto device = Engine::instance().device(cam);
    const char* text = keep<Slot>(device ? device->identity().*field : std::string());
    traceCall(name, text, device ? "" : kBadCamera, cam);
    return text;
}

} // namespace

// The definitions take their C linkage from the declarations in ZoApi.h.

int ZoInit(void) {
    Engine::instance().init();
    const int count = Engine::instance().count();
    traceCall("ZoInit", 1, "", count);
    return 1;
}

int ZoGetCameraCount(void) {
    Engine::instance().init();
    const int count = Engine::instance().refresh();
    traceCall("ZoGetCameraCount", count, "");
    return count;
}

const char* ZoGetDevName(int cam) {
    return identityText<0>("ZoGetDevName", cam, &camcore::DeviceIdentity::name);
}

const char* ZoGetCameraPID(int cam) {
    return identityText<1>("ZoGetCameraPID", cam, &camcore::DeviceIdentity::productId);
}

const char* ZoGetCameraVID(int cam) {
    return identityText<2>("ZoGetCameraVID", cam, &camcore::DeviceIdentity::vendorId);
}

namespace {

// Why a call that names a camera and a window cannot go ahead, or null when it can. Window 0
// means no window at all.
const char* cameraWindowProblem(const Camera* camera, ZoWindow window, const QWidget* widget) {
    if (camera == nullptr)
        return kBadCamera;
    if (window != 0 && widget == nullptr)
        return kBadWindow;
    return nullptr;
}

} // namespace

int ZoOpenCamera(int cam, ZoWindow window) {
    Camera* camera = cameraAt(cam);
    QWidget* widget = widgetOf(window);
    const char* note = cameraWindowProblem(camera, window, widget);
    int result = 0;
    if (note == nullptr) {
        result = camera->open(widget) ? 1 : 0;
        note = result != 0 ? "" : "camera cannot stream";
    }
    traceCall("ZoOpenCamera", result, note, cam, TraceWindow{window});
    return result;
}

int ZoCloseCamera(int cam) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->close();
    traceCall("ZoCloseCamera", camera ? 1 : 0, camera ? "" : kBadCamera, cam);
    return camera ? 1 : 0;
}

int ZoSetHwnd(int cam, ZoWindow window) {
    Camera* camera = cameraAt(cam);
    QWidget* widget = widgetOf(window);
    const char* note = cameraWindowProblem(camera, window, widget);
    int result = 0;
    if (note == nullptr) {
        result = camera->setWindow(widget) ? 1 : 0;
        note = "";
    }
    traceCall("ZoSetHwnd", result, note, cam, TraceWindow{window});
    return result;
}

void ZoUpdateVideo(int cam) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->updateVideo();
    traceVoid("ZoUpdateVideo", camera ? "" : kBadCamera, cam);
}

int ZoGetResCount(int cam) {
    Camera* camera = cameraAt(cam);
    const int count = camera ? static_cast<int>(camera->resolutions().size()) : 0;
    traceCall("ZoGetResCount", count, camera ? "" : kBadCamera, cam);
    return count;
}

namespace {

int resolutionPart(const char* name, int cam, int index, bool width) {
    Camera* camera = cameraAt(cam);
    int result = 0;
    const char* note = camera ? "" : kBadCamera;
    if (camera != nullptr) {
        const auto list = camera->resolutions();
        if (index >= 0 && index < static_cast<int>(list.size()))
            result = width ? list[index].width : list[index].height;
        else
            note = "no such resolution";
    }
    traceCall(name, result, note, cam, index);
    return result;
}

int setResolution(const char* name, int cam, int index, bool now) {
    Camera* camera = cameraAt(cam);
    int result = 0;
    const char* note = camera ? "" : kBadCamera;
    if (camera != nullptr) {
        result = (now ? camera->setResolution(index) : camera->setDefaultResolution(index)) ? 1 : 0;
        if (result == 0)
            note = "no such resolution";
    }
    traceCall(name, result, note, cam, index);
    return result;
}

} // namespace

int ZoGetResWidth(int cam, int index) {
    return resolutionPart("ZoGetResWidth", cam, index, true);
}
int ZoGetResHeight(int cam, int index) {
    return resolutionPart("ZoGetResHeight", cam, index, false);
}
int ZoSetResolution(int cam, int index) {
    return setResolution("ZoSetResolution", cam, index, true);
}
int ZoSetDefaultResolution(int cam, int index) {
    return setResolution("ZoSetDefaultResolution", cam, index, false);
}

namespace {

// left, top, right, bottom; all 0 when nothing is drawn.
QRect videoRectOf(int cam) {
    Camera* camera = cameraAt(cam);
    return camera ? camera->videoRect() : QRect();
}

} // namespace

const char* ZoGetVideoRect(int cam) {
    const QRect rect = videoRectOf(cam);
    char text[64];
    if (rect.isEmpty())
        std::snprintf(text, sizeof text, "0.0.0.0");
    else
        std::snprintf(text, sizeof text, "%d.%d.%d.%d", rect.left(), rect.top(),
                      rect.left() + rect.width(), rect.top() + rect.height());
    const char* result = keep<3>(text);
    traceCall("ZoGetVideoRect", result, cameraAt(cam) ? "" : kBadCamera, cam);
    return result;
}

void ZoGetVideoRectEx(int cam, int& left, int& top, int& right, int& bottom) {
    const QRect rect = videoRectOf(cam);
    left = rect.isEmpty() ? 0 : rect.left();
    top = rect.isEmpty() ? 0 : rect.top();
    right = rect.isEmpty() ? 0 : rect.left() + rect.width();
    bottom = rect.isEmpty() ? 0 : rect.top() + rect.height();
    traceVoid("ZoGetVideoRectEx", cameraAt(cam) ? "" : kBadCamera, cam, left, top, right, bottom);
}

void ZoSetShowZoomRate(int cam, bool show) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->setShowZoomRate(show);
    traceVoid("ZoSetShowZoomRate", camera ? "" : kBadCamera, cam, show);
}

namespace {

template <typename Action>
int mouse(const char* name, ZoWindow window, int x, int y, Action action) {
    Engine::instance().init();
    Camera* camera = Engine::instance().cameraDrawingInto(widgetOf(window));
    const int result = camera && action(*camera, QPoint(x, y)) ? 1 : 0;
    traceCall(name, result, camera ? "" : kBadWindow, TraceWindow{window}, x, y);
    return result;
}

} // namespace

int ZoOnLMousePress(ZoWindow window, int x, int y) {
    return mouse("ZoOnLMousePress", window, x, y,
                 [](Camera& camera, QPoint at) { return camera.mousePress(at); });
}

int ZoOnMouseMoving(ZoWindow window, int x, int y) {
    return mouse("ZoOnMouseMoving", window, x, y,
                 [](Camera& camera, QPoint at) { return camera.mouseMove(at); });
}

int ZoOnLMouseRelease(ZoWindow window, int x, int y) {
    return mouse("ZoOnLMouseRelease", window, x, y,
                 [](Camera& camera, QPoint at) { return camera.mouseRelease(at); });
}

int ZoOnWheel(ZoWindow window, int delta) {
    Engine::instance().init();
    Camera* camera = Engine::instance().cameraDrawingInto(widgetOf(window));
    const int result = camera && camera->wheel(delta) ? 1 : 0;
    traceCall("ZoOnWheel", result, camera ? "" : kBadWindow, TraceWindow{window}, delta);
    return result;
}

int ZoSetMouseMode(int cam, int mode) {
    Camera* camera = cameraAt(cam);
    const int result = camera && camera->setMouseMode(mode) ? 1 : 0;
    traceCall("ZoSetMouseMode", result, camera ? (result ? "" : "no such mode") : kBadCamera, cam,
              mode);
    return result;
}

namespace {

template <typename Action> void onCamera(const char* name, int cam, Action action) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        action(*camera);
    traceVoid(name, camera ? "" : kBadCamera, cam);
}

} // namespace

void ZoZoomIn(int cam) {
    onCamera("ZoZoomIn", cam, [](Camera& c) { c.zoomBy(camcore::ViewTransform::kZoomStep); });
}

void ZoZoomOut(int cam) {
    onCamera("ZoZoomOut", cam,
             [](Camera& c) { c.zoomBy(1.0 / camcore::ViewTransform::kZoomStep); });
}

void ZoZoom(int cam, float ratio) {
    Camera* camera = cameraAt(cam);
    const bool valid =
        ratio >= camcore::ViewTransform::kMinZoom && ratio <= camcore::ViewTransform::kMaxZoom;
    if (camera != nullptr && valid)
        camera->zoomTo(ratio);
    traceVoid("ZoZoom", camera ? (valid ? "" : "ratio out of range") : kBadCamera, cam, ratio);
}

float ZoGetMinZoomRatio(int cam) {
    Camera* camera = cameraAt(cam);
    const float ratio = camera ? static_cast<float>(camcore::ViewTransform::kMinZoom) : 0.0F;
    traceCall("ZoGetMinZoomRatio", ratio, camera ? "" : kBadCamera, cam);
    return ratio;
}

float ZoGetMaxZoomRatio(int cam) {
    Camera* camera = cameraAt(cam);
    const float ratio = camera ? static_cast<float>(camcore::ViewTransform::kMaxZoom) : 0.0F;
    traceCall("ZoGetMaxZoomRatio", ratio, camera ? "" : kBadCamera, cam);
    return ratio;
}

void ZoSetZoomCB(int cam, ZoZoomCallback callback) {
    Camera* camera = cameraAt(cam);
    if (camera != nullptr)
        camera->setZoomCallback(callback);
    traceVoid("ZoSetZoomCB", camera ? "" : kBadCamera, cam,
              reinterpret_cast<const void*>(callback));
}

void ZoResetVideo(int cam) {
    onCamera("ZoResetVideo", cam, [](Camera& c) { c.resetView(); });
}

void ZoRotateLeft(int cam) {
    onCamera("ZoRotateLeft", cam, [](Camera& c) { c.rotate(-1); });
}

void ZoRotateRight(int cam) {
    onCamera("ZoRotateRight", cam, [](Camera& c) { c.rotate(1); });
}

int ZoSetRotate(int cam, int code) {
    Camera* camera = cameraAt(cam);
    const int result = camera && camera->setRotation(code) ? 1 : 0;
    traceCall("ZoSetRotate", result, camera ? (result ? "" : "no such rotation") : kBadCamera, cam,
              code);
    return result;
}

int ZoSetDevColor(int cam, int mode) {
    Camera* camera = cameraAt(cam);
    const int result = camera && camera->setColorMode(mode) ? 1 : 0;
    traceCall("ZoSetDevColor", result, camera ? (result ? "" : "no such mode") : kBadCamera, cam,
              mode);
    return result;
}
