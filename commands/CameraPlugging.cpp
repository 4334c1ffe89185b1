#include "CameraPlugging.h"

#include "CamCoreTesting.h"
#include "CameraRoles.h"
#include "WindowHandle.h"
#include "ZoApi.h"
#include "platform/DeviceMonitor.h"

#include <algorithm>
#include <optional>

namespace commands {
namespace {

using platform::DeviceEvent;

// The index of the device with `key` in the engine's current list.
std::optional<int> indexOfKey(const QByteArray& key, int count) {
    for (int i = 0; i < count && !key.isEmpty(); ++i)
        if (key == ZoGetDevKey(i))
            return i;
    return std::nullopt;
}

} // namespace

CameraPlugging::CameraPlugging(CameraRoles& roles, std::function<QWidget*()> videoWindow)
    : m_roles(roles), m_videoWindow(std::move(videoWindow)),
      m_monitor(std::make_unique<platform::DeviceMonitor>()) {
    connect(m_monitor.get(), &platform::DeviceMonitor::deviceRemoved, this,
            &CameraPlugging::onRemoved);
    connect(m_monitor.get(), &platform::DeviceMonitor::deviceArrived, this,
            &CameraPlugging::onArrived);
    // Virtual cameras tell of their plugging as the kernel tells of real ones. The handler may
    // run on another thread; report() only queues the event for this one.
    camcore::testing::setVirtualPlugHandler([monitor = m_monitor.get()](int n, bool plugged) {
        monitor->report({plugged ? DeviceEvent::Kind::Arrived : DeviceEvent::Kind::Removed,
                         QStringLiteral("virtual camera %1").arg(n)});
    });
}

CameraPlugging::~CameraPlugging() {
    camcore::testing::setVirtualPlugHandler({});
}

// The event does not say which camera left: the list does. Only the main camera's own removal
// makes it lost; a sub camera leaving leaves the main one streaming, and a later arrival must
// not open it again (which would end a book run on it).
void CameraPlugging::onRemoved() {
    refresh();
    if (!m_mainListed)
        m_roles.setLost(true);
    emit camerasChanged();
}

void CameraPlugging::onArrived() {
    const int count = refresh();
    if (m_roles.lost())
        reopenMain(count);
    emit camerasChanged();
}

int CameraPlugging::refresh() {
    // The indices still name the list as it was: the keys come from it before it changes. A
    // role whose device has gone keeps the key it had.
    if (m_mainListed)
        m_mainKey = ZoGetDevKey(m_roles.main());
    if (m_subListed)
        m_subKey = ZoGetDevKey(m_roles.sub());
    const int count = ZoGetCameraCount();
    const std::optional<int> main = indexOfKey(m_mainKey, count);
    const std::optional<int> sub = indexOfKey(m_subKey, count);
    m_mainListed = main.has_value();
    m_subListed = sub.has_value();
    if (main)
        m_roles.setMain(*main);
    if (sub)
        m_roles.setSub(*sub);
    return count;
}

void CameraPlugging::reopenMain(int count) {
    int camera = m_roles.main();
    if (m_mainKey.isEmpty()) {
        // No camera at start: the first one to arrive becomes the main camera.
        if (count <= 0)
            return;
        camera = std::min(camera, count - 1);
    } else if (!m_mainListed) {
        return; // another camera came; the main one is still away
    }
    if (ZoOpenCamera(camera, handleOf(m_videoWindow())) != 1)
        return; // listed but not ready yet: a later arrival tries again
    m_roles.setMain(camera);
    m_mainKey = ZoGetDevKey(camera);
    m_mainListed = true;
    m_roles.setLost(false);
    m_roles.reportMainReplaced();
}

} // namespace commands
