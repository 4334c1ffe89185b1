#include "VideoRecording.h"

#include "CameraRoles.h"
#include "RecordingName.h"
#include "Settings.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "platform/Message.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScopeGuard>

namespace {

QString text(int language, const char* chinese, const char* english) {
    return QString::fromUtf8(language == 0 ? chinese : english);
}

} // namespace

VideoRecording::VideoRecording(const Settings& settings, const CameraRoles& roles,
                               const WorkFolder& folder, const Widgets& widgets)
    : m_settings(settings), m_roles(roles), m_folder(folder), m_widgets(widgets) {}

void VideoRecording::applyStoredMicrophone() {
    ZoSetAudioDev(m_settings.audioIndex);
}

QAbstractButton* VideoRecording::button(Role role) const {
    return role == Role::Main ? m_widgets.mainButton : m_widgets.subButton;
}

void VideoRecording::toggle(Role role) {
    // Opening the encoders and the sound input, or waiting for the last of the sound at a stop,
    // can take a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    if (recording(role))
        stop(role);
    else
        start(role);
}

void VideoRecording::start(Role role) {
    const int camera = role == Role::Main ? m_roles.main() : m_roles.sub();
    QList<QByteArray> taken;
    for (const Running& other : m_running)
        taken << other.path;
    const QByteArray path = recordingPath(m_folder.path(), QDateTime::currentDateTime(), taken);
    const int language = m_settings.language;
    if (ZoStartRecordEx(camera, path.constData(), true) != 1) {
        platform::showMessage(text(language, "提示", "Information"),
                              text(language, "无法开始录像: ", "The recording could not start: ") +
                                  QString::fromLocal8Bit(path));
        return;
    }
    running(role) = {camera, path, ZoGetDevKey(camera)};
    showState(role);
}

void VideoRecording::stop(Role role) {
    ZoStopRecordEx(*running(role).camera);
    running(role) = {};
    showState(role);
}

void VideoRecording::cameraClosed(int camera) {
    for (const Role role : {Role::Main, Role::Sub}) {
        if (running(role).camera == camera) {
            running(role) = {};
            showState(role);
        }
    }
}

void VideoRecording::camerasRenumbered() {
    const int count = ZoGetCameraCount();
    for (const Role role : {Role::Main, Role::Sub}) {
        Running& recording = running(role);
        if (!recording.camera)
            continue;
        recording.camera.reset();
        for (int camera = 0; camera < count && !recording.camera; ++camera)
            if (ZoGetDevKey(camera) == recording.deviceKey)
                recording.camera = camera;
        if (!recording.camera) {
            recording = {};
            showState(role);
        }
    }
}

void VideoRecording::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return; // the window keeps its texts for any other flag
    showState(Role::Main);
    showState(Role::Sub);
}

void VideoRecording::showState(Role role) {
    const int language = m_settings.language == 0 ? 0 : 1;
    button(role)->setText(recording(role) ? text(language, "停止录像", "Stop")
                                          : text(language, "开始录像", "Record"));
}
