#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>

class CameraRoles;
class QWidget;

namespace platform {
class DeviceMonitor;
}

namespace commands {

// Cameras that leave and arrive while the program runs. The main camera's removal marks it lost
// (it is not closed); another camera's removal leaves it as it is; an arrival while it is lost
// reopens it in the window that holds the main video (the preview, or the window of a mode that
// took the video over), after which the roles report the main camera replaced.
// The sub camera stays closed.
//
// The engine's list is renumbered when a camera goes or comes, so the roles follow their
// devices by key: after each refresh the main and sub camera indices name the same devices as
// before, and the main camera is reopened by its key, never by an index that may now name
// another camera. The lost flag is cleared only when the reopen succeeded: the first arrival
// event may come before the device can stream, and a later one tries again.
class CameraPlugging final : public QObject {
    Q_OBJECT
public:
    CameraPlugging(CameraRoles& roles, std::function<QWidget*()> videoWindow);
    ~CameraPlugging() override;

signals:
    // A camera came or went; the engine's list has been read afresh and the roles follow it.
    void camerasChanged();

private:
    void onRemoved();
    void onArrived();
    // Lists the devices afresh and moves the roles to their devices' new indices; returns the
    // number of cameras.
    int refresh();
    void reopenMain(int count);

    CameraRoles& m_roles;
    std::function<QWidget*()> m_videoWindow;
    std::unique_ptr<platform::DeviceMonitor> m_monitor;
    // The devices of the roles; a key whose device is not listed waits for it to come back.
    QByteArray m_mainKey;
    QByteArray m_subKey;
    bool m_mainListed = true;
    bool m_subListed = true;
};

} // namespace commands
