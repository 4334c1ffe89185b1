#include "Engine.h"

#include "Camera.h"
#include "device/v4l2/V4l2DeviceSource.h"
#include "device/virtual/VirtualCamera.h"

#include <QCoreApplication>

namespace camcore {
namespace {

void shutdownEngine() {
    Engine::instance().shutdown();
}

} // namespace

Engine& Engine::instance() {
    static Engine engine;
    return engine;
}

void Engine::init() {
    if (m_initialised)
        return;
    m_initialised = true;
    // Capture threads must end before Qt's objects go away with the application object.
    qAddPostRoutine(shutdownEngine);
    // CAMCORE_REAL_CAMERAS=0 hides the machine's own cameras, so that tests with virtual
    // cameras see the same indices on a developer's machine with a webcam as in CI.
    if (qEnvironmentVariable("CAMCORE_REAL_CAMERAS") != QLatin1String("0"))
        m_realSources.push_back(std::make_unique<v4l2::V4l2DeviceSource>());
    refresh();
}

int Engine::refresh() {
    std::vector<std::shared_ptr<CameraDevice>> found;
    for (const auto& source : m_realSources) {
        for (auto& device : source->devices())
            found.push_back(std::move(device));
    }
    for (auto& device : VirtualDeviceSource::instance().devices())
        found.push_back(std::move(device));
    m_devices = std::move(found);
    for (const auto& device : m_devices) {
        const auto camera = m_cameras.find(device->identity().key);
        if (camera != m_cameras.end())
            camera->second->replaceDevice(device);
    }
    return count();
}

std::shared_ptr<CameraDevice> Engine::device(int index) const {
    if (index < 0 || index >= count())
        return nullptr;
    return m_devices[index];
}

Camera* Engine::camera(int index) {
    const std::shared_ptr<CameraDevice> found = device(index);
    if (!found)
        return nullptr;
    std::unique_ptr<Camera>& camera = m_cameras[found->identity().key];
    if (!camera)
        camera = std::make_unique<Camera>(found);
    return camera.get();
}

PdfDocument* Engine::collectingDocument(const QString& path) {
    PdfDocument* first = nullptr;
    for (int index = 0; index < count(); ++index) {
        PdfDocument* document = camera(index)->collectingDocument();
        if (document && document->path() == path)
            return document;
        if (!first)
            first = document;
    }
    return first;
}

Camera* Engine::cameraDrawingInto(QWidget* window) const {
    if (window == nullptr)
        return nullptr;
    for (const auto& [key, camera] : m_cameras) {
        if (camera->isOpen() && camera->window() == window)
            return camera.get();
    }
    return nullptr;
}

void Engine::shutdown() {
    for (auto& [key, camera] : m_cameras)
        camera->close();
    m_cameras.clear();
}

} // namespace camcore
