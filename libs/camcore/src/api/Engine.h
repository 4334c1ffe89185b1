#pragma once

#include "device/CameraDevice.h"

#include <QString>
#include <QtGlobal>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace camcore {

class Camera;
class PdfDocument;

// The engine's device list and its cameras. The list is made afresh by refresh() (real cameras
// first, then virtual ones); a Camera object belongs to a physical device (by its key) and keeps
// its settings while the program runs, also across an unplug and replug. GUI thread only.
class Engine {
public:
    static Engine& instance();
    // True on the thread that owns the engine: the one running the Qt application.
    static bool onOwnerThread();

    void init();
    int refresh();
    int count() const { return static_cast<int>(m_devices.size()); }
    std::shared_ptr<CameraDevice> device(int index) const;
    // The camera at an index of the current list; null for an index out of range.
    Camera* camera(int index);
    // The open camera that draws into this widget, the last attached of several; null when none.
    Camera* cameraDrawingInto(QWidget* window) const;
    // Where a combined picture saved as a PDF at `path` goes while a camera collects pages:
    // that camera's document when it is at `path`, else the document of the first camera that
    // collects pages, which starts anew there as for a capture to a new path. Null when no
    // camera collects pages.
    PdfDocument* collectingDocument(const QString& path);
    // Closes every camera and waits for the recordings they were making to be completed (at the
    // end of the application).
    void shutdown();

private:
    Engine() = default;
    std::vector<std::unique_ptr<DeviceSource>> m_realSources;
    std::vector<std::shared_ptr<CameraDevice>> m_devices;
    std::map<std::string, std::unique_ptr<Camera>> m_cameras; // by device key
    bool m_initialised = false;
};

} // namespace camcore
