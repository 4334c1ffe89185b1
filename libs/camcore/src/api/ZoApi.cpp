// The flat functions: check arguments, find the camera, call it, and trace the call.
#include "ZoApi.h"

#include "ApiSupport.h"
#include "Modes.h"
#include "Trace.h"

#include <QWidget>

#include <cstdio>
#include <string>

using camcore::Camera;
using camcore::Engine;
using camcore::traceCall;
using camcore::TraceWindow;
using camcore::ViewTransform;
using camcore::api::Answer;
using camcore::api::answerOn;
using camcore::api::answerOnCamera;
using camcore::api::deviceAt;
using camcore::api::doneOr;
using camcore::api::kBadCamera;
using camcore::api::keep;
using camcore::api::performOnCamera;
using camcore::api::refusedOffThread;

namespace {

constexpr const char* kBadWindow = "unknown window";

// The widget behind a window handle; null for 0 or a handle of no widget of this process.
QWidget* widgetOf(ZoWindow window) {
    return window == 0 ? nullptr : QWidget::find(static_cast<WId>(window));
}

// One text of a camera's identity; "" for an index out of range.
template <int Slot>
const char* identityText(const char* name, int cam, std::string camcore::DeviceIdentity::*field) {
    if (refusedOffThread(name, "", cam))
        return keep<Slot>(std::string());
    return answerOn(
        name, deviceAt(cam).get(), kBadCamera, keep<Slot>(std::string()),
        [field](camcore::CameraDevice& device) { return keep<Slot>(device.identity().*field); },
        cam);
}

} // namespace

// The definitions take their C linkage from the declarations in ZoApi.h.

int ZoInit(void) {
    if (refusedOffThread("ZoInit", 0))
        return 0;
    Engine::instance().init();
    const int count = Engine::instance().count();
    traceCall("ZoInit", 1, "", count);
    return 1;
}

int ZoGetCameraCount(void) {
    if (refusedOffThread("ZoGetCameraCount", 0))
        return 0;
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

const char* ZoGetDevKey(int cam) {
    return identityText<3>("ZoGetDevKey", cam, &camcore::DeviceIdentity::key);
}

int ZoOpenCamera(int cam, ZoWindow window) {
    return answerOnCamera(
        "ZoOpenCamera", cam, 0,
        [&](Camera& camera) -> Answer<int> {
            QWidget* widget = widgetOf(window);
            // Window 0 means no window at all.
            if (window != 0 && widget == nullptr)
                return {0, kBadWindow};
            return doneOr(camera.open(widget), "camera cannot stream");
        },
        cam, TraceWindow{window});
}

int ZoCloseCamera(int cam) {
    return answerOnCamera(
        "ZoCloseCamera", cam, 0,
        [](Camera& camera) {
            camera.close();
            return 1;
        },
        cam);
}

int ZoSetHwnd(int cam, ZoWindow window) {
    return answerOnCamera(
        "ZoSetHwnd", cam, 0,
        [&](Camera& camera) -> Answer<int> {
            QWidget* widget = widgetOf(window);
            if (window != 0 && widget == nullptr)
                return {0, kBadWindow};
            return {camera.setWindow(widget) ? 1 : 0, ""};
        },
        cam, TraceWindow{window});
}

void ZoUpdateVideo(int cam) {
    performOnCamera(
        "ZoUpdateVideo", cam, [](Camera& camera) { camera.updateVideo(); }, cam);
}

int ZoGetResCount(int cam) {
    return answerOnCamera(
        "ZoGetResCount", cam, 0,
        [](Camera& camera) { return static_cast<int>(camera.resolutions().size()); }, cam);
}

namespace {

int resolutionPart(const char* name, int cam, int index, bool width) {
    return answerOnCamera(
        name, cam, 0,
        [&](Camera& camera) -> Answer<int> {
            const auto list = camera.resolutions();
            if (index < 0 || index >= static_cast<int>(list.size()))
                return {0, "no such resolution"};
            return {width ? list[index].width : list[index].height, ""};
        },
        cam, index);
}

int setResolution(const char* name, int cam, int index, bool now) {
    return answerOnCamera(
        name, cam, 0,
        [&](Camera& camera) {
            return doneOr(now ? camera.setResolution(index) : camera.setDefaultResolution(index),
                          "no such resolution");
        },
        cam, index);
}

// "left.top.right.bottom"; all 0 when nothing is drawn.
std::string rectText(const QRect& rect) {
    if (rect.isEmpty())
        return "0.0.0.0";
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", rect.left(), rect.top(),
                  rect.left() + rect.width(), rect.top() + rect.height());
    return text;
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

const char* ZoGetVideoRect(int cam) {
    return answerOnCamera(
        "ZoGetVideoRect", cam, keep<3>(rectText(QRect())),
        [](Camera& camera) { return keep<3>(rectText(camera.videoRect())); }, cam);
}

void ZoGetVideoRectEx(int cam, int& left, int& top, int& right, int& bottom) {
    left = top = right = bottom = 0;
    performOnCamera(
        "ZoGetVideoRectEx", cam,
        [&](Camera& camera) {
            const QRect rect = camera.videoRect();
            if (rect.isEmpty())
                return;
            left = rect.left();
            top = rect.top();
            right = rect.left() + rect.width();
            bottom = rect.top() + rect.height();
        },
        cam, left, top, right, bottom);
}

void ZoSetShowZoomRate(int cam, bool show) {
    performOnCamera(
        "ZoSetShowZoomRate", cam, [show](Camera& camera) { camera.setShowZoomRate(show); }, cam,
        show);
}

namespace {

// The mouse functions name the window the camera draws into rather than the camera.
template <typename Action, typename... Traced>
int onWindow(const char* name, ZoWindow window, Action action, const Traced&... traced) {
    if (refusedOffThread(name, 0, TraceWindow{window}, traced...))
        return 0;
    Engine::instance().init();
    Camera* camera = Engine::instance().cameraDrawingInto(widgetOf(window));
    return answerOn(
        name, camera, kBadWindow, 0, [&](Camera& target) { return action(target) ? 1 : 0; },
        TraceWindow{window}, traced...);
}

} // namespace

int ZoOnLMousePress(ZoWindow window, int x, int y) {
    return onWindow(
        "ZoOnLMousePress", window, [&](Camera& c) { return c.mousePress(QPoint(x, y)); }, x, y);
}

int ZoOnMouseMoving(ZoWindow window, int x, int y) {
    return onWindow(
        "ZoOnMouseMoving", window, [&](Camera& c) { return c.mouseMove(QPoint(x, y)); }, x, y);
}

int ZoOnLMouseRelease(ZoWindow window, int x, int y) {
    return onWindow(
        "ZoOnLMouseRelease", window, [&](Camera& c) { return c.mouseRelease(QPoint(x, y)); }, x, y);
}

int ZoOnWheel(ZoWindow window, int delta) {
    return onWindow(
        "ZoOnWheel", window, [delta](Camera& c) { return c.wheel(delta); }, delta);
}

int ZoSetMouseMode(int cam, int mode) {
    return answerOnCamera(
        "ZoSetMouseMode", cam, 0,
        [mode](Camera& camera) {
            const auto chosen = camcore::mouseModeFrom(mode);
            if (chosen)
                camera.setMouseMode(*chosen);
            return doneOr(chosen.has_value(), "no such mode");
        },
        cam, mode);
}

void ZoZoomIn(int cam) {
    performOnCamera(
        "ZoZoomIn", cam, [](Camera& c) { c.zoomBy(ViewTransform::kZoomStep); }, cam);
}

void ZoZoomOut(int cam) {
    performOnCamera(
        "ZoZoomOut", cam, [](Camera& c) { c.zoomBy(1.0 / ViewTransform::kZoomStep); }, cam);
}

void ZoZoom(int cam, float ratio) {
    performOnCamera(
        "ZoZoom", cam,
        [ratio](Camera& c) -> const char* {
            if (ratio < ViewTransform::kMinZoom || ratio > ViewTransform::kMaxZoom)
                return "ratio out of range";
            c.zoomTo(ratio);
            return "";
        },
        cam, ratio);
}

float ZoGetMinZoomRatio(int cam) {
    return answerOnCamera(
        "ZoGetMinZoomRatio", cam, 0.0F,
        [](Camera&) { return static_cast<float>(ViewTransform::kMinZoom); }, cam);
}

float ZoGetMaxZoomRatio(int cam) {
    return answerOnCamera(
        "ZoGetMaxZoomRatio", cam, 0.0F,
        [](Camera&) { return static_cast<float>(ViewTransform::kMaxZoom); }, cam);
}

void ZoSetZoomCB(int cam, ZoZoomCallback callback) {
    performOnCamera(
        "ZoSetZoomCB", cam, [callback](Camera& c) { c.setZoomCallback(callback); }, cam,
        reinterpret_cast<const void*>(callback));
}

void ZoResetVideo(int cam) {
    performOnCamera(
        "ZoResetVideo", cam, [](Camera& c) { c.resetView(); }, cam);
}

void ZoRotateLeft(int cam) {
    performOnCamera(
        "ZoRotateLeft", cam, [](Camera& c) { c.rotate(-1); }, cam);
}

void ZoRotateRight(int cam) {
    performOnCamera(
        "ZoRotateRight", cam, [](Camera& c) { c.rotate(1); }, cam);
}

int ZoSetRotate(int cam, int code) {
    return answerOnCamera(
        "ZoSetRotate", cam, 0,
        [code](Camera& c) { return doneOr(c.setRotation(code), "no such rotation"); }, cam, code);
}

int ZoSetDevColor(int cam, int mode) {
    return answerOnCamera(
        "ZoSetDevColor", cam, 0,
        [mode](Camera& camera) {
            const auto chosen = camcore::colorModeFrom(mode);
            if (chosen)
                camera.setColorMode(*chosen);
            return doneOr(chosen.has_value(), "no such mode");
        },
        cam, mode);
}
