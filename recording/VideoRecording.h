#pragma once

#include <QByteArray>

#include <array>
#include <optional>

class CameraRoles;
class QAbstractButton;
class WorkFolder;
struct Settings;

// The two record buttons: each starts a recording of its camera into the work folder and stops
// it again. The state is kept here, per button, with the camera the recording runs on, so a
// language switch or a swap of main and sub changes nothing: the button shows the stop text
// exactly while its recording runs, and stops the camera it started.
class VideoRecording {
public:
    enum class Role { Main = 0, Sub = 1 };
    struct Widgets {
        QAbstractButton* mainButton;
        QAbstractButton* subButton;
    };

    VideoRecording(const Settings& settings, const CameraRoles& roles, const WorkFolder& folder,
                   const Widgets& widgets);

    // Start-up, once the settings are read: the engine records from the stored microphone, the
    // one the settings dialog shows.
    void applyStoredMicrophone();
    void toggle(Role role);
    // A closed camera's recording was completed by the engine: its button starts again.
    void cameraClosed(int camera);
    // A camera came or went and the engine's list was numbered afresh: a recording follows its
    // device to its new number, and one whose device left (the engine completed its file) lets
    // its button start again.
    void camerasRenumbered();
    // Sets both buttons' texts for the language and the state.
    void applyLanguage(int flag);
    bool recording(Role role) const { return running(role).camera.has_value(); }

private:
    struct Running {
        std::optional<int> camera;
        QByteArray path;
        QByteArray deviceKey; // the camera's device, which keeps its key when the list renumbers
    };
    Running& running(Role role) { return m_running[static_cast<std::size_t>(role)]; }
    const Running& running(Role role) const { return m_running[static_cast<std::size_t>(role)]; }
    QAbstractButton* button(Role role) const;
    void start(Role role);
    void stop(Role role);
    void showState(Role role);

    const Settings& m_settings;
    const CameraRoles& m_roles;
    const WorkFolder& m_folder;
    Widgets m_widgets;
    std::array<Running, 2> m_running;
};
