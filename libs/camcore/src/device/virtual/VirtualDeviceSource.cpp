#include "device/virtual/VirtualCamera.h"

#include "device/virtual/VirtualEnvironment.h"

#include <QtGlobal>

namespace camcore {

VirtualDeviceSource& VirtualDeviceSource::instance() {
    static VirtualDeviceSource source;
    return source;
}

VirtualDeviceSource::VirtualDeviceSource() {
    const int count = parseVirtualCameraCount(qgetenv("CAMCORE_VIRTUAL_CAMERAS"));
    const std::optional<QString> folder =
        parseVirtualSource(qEnvironmentVariable("CAMCORE_VIRTUAL_SOURCE"));
    for (int number = 1; number <= count; ++number)
        m_cameras.push_back(std::make_shared<VirtualCamera>(number, folder));
}

std::vector<std::shared_ptr<CameraDevice>> VirtualDeviceSource::devices() {
    std::vector<std::shared_ptr<CameraDevice>> present;
    for (const auto& camera : m_cameras)
        if (camera->isPresent())
            present.push_back(camera);
    return present;
}

} // namespace camcore
