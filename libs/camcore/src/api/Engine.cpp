#include "Engine.h"

#include "Camera.h"
#include "FinishingRecordings.h"
#include "device/v4l2/V4l2DeviceSource.h"
#include "device/virtual/VirtualCamera.h"

#include <QCoreApplication>
#include <QThread>

#include <set>
#include <thread>

#include <set>

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
    // Its thread starts now: a process that has forked (a barcode reader's child, a tool) must
    // not start threads afterwards under ThreadSanitizer.
    FinishingRecordings::instance();
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
    std::set<std::string> listed;
    for (const auto& device : m_devices) {
        const std::string key = device->identity().key;
        listed.insert(key);
        const auto camera = m_cameras.find(key);
        if (camera != m_cameras.end())
            camera->second->replaceDevice(device);
    }
    // A camera gone from the list is lost, and closed: the application can no longer name it,
    // so it would never close it, and its "no signal" surface would cover the window and take
    // the mouse from the camera opened there next.
    for (const auto& [key, camera] : m_cameras) {
        if (listed.count(key) != 0)
            continue;
        camera->deviceGone();
        if (camera->isOpen())
            camera->close();
    }
    return count();
}

bool Engine::onOwnerThread() {
    if (const QCoreApplication* application = QCoreApplication::instance())
        return QThread::currentThread() == application->thread();
    // Without an application object (a command line tool), the thread that called first.
    static const std::thread::id first = std::this_thread::get_id();
    return std::this_thread::get_id() == first;
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
        if (document && document->collects(path))
            return document;
        if (!first)
            first = document;
    }
    return first;
}

Camera* Engine::cameraDrawingInto(QWidget* window) const {
    if (window == nullptr)
        return nullptr;
    // While the application swaps two cameras, both draw into one window for a moment; the
    // one that came last is drawn on top and takes the mouse.
    Camera* found = nullptr;
    for (const auto& [key, camera] : m_cameras) {
        if (camera->isOpen() && camera->window() == window &&
            (found == nullptr || camera->attachOrder() > found->attachOrder()))
            found = camera.get();
    }
    return found;
}

void Engine::shutdown() {
    for (auto& [key, camera] : m_cameras)
        camera->close();
    m_cameras.clear();
    // The recordings the cameras handed over are completed before the program goes.
    FinishingRecordings::instance().waitAll();
}

} // namespace camcore
