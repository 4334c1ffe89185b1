#include "CamCoreTesting.h"

#include "Camera.h"
#include "Engine.h"
#include "device/virtual/VirtualCamera.h"
#include "idcard/CardSession.h"
#include "idcard/VirtualCardReader.h"
#include "text/PageWords.h"

#include <QFile>

namespace camcore::testing {
namespace {

VirtualCamera* virtualCamera(int n) {
    const auto& all = VirtualDeviceSource::instance().all();
    if (n < 0 || n >= static_cast<int>(all.size()))
        return nullptr;
    return all[n].get();
}

} // namespace

int virtualCameraCount() {
    return static_cast<int>(VirtualDeviceSource::instance().all().size());
}

bool unplugVirtualCamera(int n) {
    VirtualCamera* camera = virtualCamera(n);
    if (camera != nullptr)
        camera->unplug();
    return camera != nullptr;
}

bool replugVirtualCamera(int n) {
    VirtualCamera* camera = virtualCamera(n);
    if (camera != nullptr)
        camera->replug();
    return camera != nullptr;
}

bool setVirtualCameraStartFails(int n, bool fail) {
    VirtualCamera* camera = virtualCamera(n);
    if (camera != nullptr)
        camera->setStartFails(fail);
    return camera != nullptr;
}

bool turnVirtualPage(int n) {
    VirtualCamera* camera = virtualCamera(n);
    if (camera != nullptr)
        camera->turnPage();
    return camera != nullptr;
}

bool setVirtualCameraSource(int n, const char* path) {
    VirtualCamera* camera = virtualCamera(n);
    if (camera != nullptr)
        camera->setSource(path != nullptr && *path != '\0'
                              ? std::optional<QString>(QFile::decodeName(path))
                              : std::nullopt);
    return camera != nullptr;
}

bool setVirtualClockStepped(int n, bool stepped) {
    VirtualCamera* camera = virtualCamera(n);
    if (camera != nullptr)
        camera->setSteppedClock(stepped);
    return camera != nullptr;
}

bool stepVirtualFrames(int n, int frames) {
    VirtualCamera* camera = virtualCamera(n);
    return camera != nullptr && camera->stepFrames(frames);
}

FrameCounts frameCounts(int cam) {
    const Camera* camera = Engine::instance().camera(cam);
    if (camera == nullptr)
        return {};
    return {camera->framesDelivered(), camera->previewDecodes()};
}

void setCaptureByteLimit(std::size_t bytes) {
    CaptureQueue::setByteLimit(bytes == 0 ? CaptureQueue::kDefaultByteLimit : bytes);
}

void hideTextReader(bool hidden) {
    hideWordReader(hidden);
}

void setVirtualPlugHandler(std::function<void(int n, bool plugged)> handler) {
    if (!handler) {
        VirtualCamera::setPlugObserver({});
        return;
    }
    VirtualCamera::setPlugObserver(
        [handler = std::move(handler)](const DeviceIdentity& identity, bool plugged) {
            const auto& all = VirtualDeviceSource::instance().all();
            for (std::size_t n = 0; n < all.size(); ++n)
                if (all[n]->identity().key == identity.key)
                    handler(static_cast<int>(n), plugged);
        });
}

bool placeVirtualIDCard() {
    VirtualCardReader* reader = CardSession::instance().virtualReader();
    return reader != nullptr && reader->place();
}

void removeVirtualIDCard() {
    if (VirtualCardReader* reader = CardSession::instance().virtualReader())
        reader->remove();
}

} // namespace camcore::testing
