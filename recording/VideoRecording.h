#pragma once

#include "RecordingSign.h"

#include <QByteArray>
#include <QObject>

#include <array>
#include <optional>

class CameraRoles;
class LanguageSource;
class QAbstractButton;
class QLabel;
class QTimer;
class ThumbnailLibrary;
class WorkFolder;
struct FinishedRecording;
struct Settings;

// The two record buttons: each starts a recording of its camera into the work folder and stops
// it again. The state is kept here, per button, with the camera the recording runs on, so a
// language switch or a swap of main and sub changes nothing: the button shows the stop text
// exactly while its recording runs, and stops the camera it started. A stop returns at once: the
// engine completes the file behind the window while the sign beside the button says so, and the
// finished video is listed in the strip, unchecked (the driver program takes pictures only).
class VideoRecording : public QObject {
public:
    enum class Role { Main = 0, Sub = 1 };
    struct Widgets {
        QAbstractButton* mainButton;
        QAbstractButton* subButton;
        QLabel* mainSign; // beside each button
        QLabel* subSign;
    };

    // The buttons follow `language`.
    VideoRecording(const Settings& settings, const LanguageSource& language,
                   const CameraRoles& roles, const WorkFolder& folder, ThumbnailLibrary& strip,
                   const Widgets& widgets);

    // Start-up, once the settings are read: the engine records from the stored microphone, the
    // one the settings dialog shows.
    void applyStoredMicrophone();
    void toggle(Role role);
    // A camera is about to be closed: its recording stops first, and its file is completed and
    // listed as after a press of Stop.
    void cameraClosing(int camera);
    // A camera came or went and the engine's list was numbered afresh: a recording follows its
    // device to its new number, and one whose device left (the engine completes its file) lets
    // its button start again.
    void camerasRenumbered();
    // Sets both buttons' texts and signs for the language and the state.
    void applyLanguage(int flag);
    bool recording(Role role) const { return running(role).camera.has_value(); }
    // Recordings of every camera whose files the engine is still completing: the program's
    // close waits for them.
    static int filesBeingCompleted();

private:
    struct Running {
        std::optional<int> camera;
        QByteArray path;
        QByteArray deviceKey; // the camera's device, which keeps its key when the list renumbers
    };
    Running& running(Role role) { return m_running[static_cast<std::size_t>(role)]; }
    const Running& running(Role role) const { return m_running[static_cast<std::size_t>(role)]; }
    RecordingSign& sign(Role role) { return m_signs[static_cast<std::size_t>(role)]; }
    QAbstractButton* button(Role role) const;
    void start(Role role);
    void stop(Role role);
    void completed(Role role, const FinishedRecording& finished);
    void showState(Role role);
    void followTicks();

    const Settings& m_settings;
    const CameraRoles& m_roles;
    const WorkFolder& m_folder;
    ThumbnailLibrary& m_strip;
    Widgets m_widgets;
    std::array<Running, 2> m_running;
    std::array<RecordingSign, 2> m_signs;
    QTimer* m_ticks; // the signs' clock, while a recording runs
};
