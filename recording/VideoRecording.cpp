#include "VideoRecording.h"

#include "CameraRoles.h"
#include "CaptureMessages.h"
#include "LanguageSource.h"
#include "RecordingEnd.h"
#include "RecordingName.h"
#include "Settings.h"
#include "ThumbnailLibrary.h"
#include "WorkFolder.h"
#include "ZoApi.h"
#include "platform/Message.h"
#include "platform/Paths.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QScopeGuard>
#include <QTimer>
#include <QToolTip>

namespace {

using capture_messages::text;

// The signs show whole seconds; a tick a little more often keeps them from skipping one.
constexpr int kTickMs = 500;

QString reasonText(int language, int reason) {
    switch (reason) {
    case ZO_RECORD_WRITE_FAILED:
        return text(language, "磁盘已满或文件夹不可写, 视频只保存到出错之处",
                    "the disk is full or the folder cannot be written; the video plays up to "
                    "where it failed");
    case ZO_RECORD_NO_PICTURE:
        return text(language, "摄像头没有送来画面", "no picture came from the camera");
    default:
        return text(language, "视频文件无法读回", "the video file does not read back");
    }
}

} // namespace

VideoRecording::VideoRecording(const Settings& settings, const LanguageSource& language,
                               const CameraRoles& roles, const WorkFolder& folder,
                               ThumbnailLibrary& strip, const Widgets& widgets)
    : m_settings(settings), m_roles(roles), m_folder(folder), m_strip(strip),
      m_widgets(widgets), m_signs{RecordingSign(widgets.mainSign), RecordingSign(widgets.subSign)},
      m_ticks(new QTimer(this)) {
    connect(&language, &LanguageSource::changed, this, &VideoRecording::applyLanguage);
    m_ticks->setInterval(kTickMs);
    connect(m_ticks, &QTimer::timeout, this, [this] {
        for (RecordingSign& each : m_signs)
            each.tick();
    });
}

void VideoRecording::applyStoredMicrophone() {
    ZoSetAudioDev(m_settings.audioIndex);
}

int VideoRecording::filesBeingCompleted() {
    return std::max(0, ZoRecordingsFinishing());
}

QAbstractButton* VideoRecording::button(Role role) const {
    return role == Role::Main ? m_widgets.mainButton : m_widgets.subButton;
}

void VideoRecording::toggle(Role role) {
    if (recording(role))
        stop(role);
    else
        start(role);
}

void VideoRecording::start(Role role) {
    // Opening the encoders and the sound input can take a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
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
    sign(role).recordingStarted();
    showState(role);
}

void VideoRecording::stop(Role role) {
    const bool stopped = recording_end::stop(
        *running(role).camera, this,
        [this, role](const FinishedRecording& finished) { completed(role, finished); });
    running(role) = {};
    if (stopped)
        sign(role).recordingStopped();
    else
        sign(role).recordingGone(); // the engine had ended it already, with its camera
    showState(role);
}

// The finished video joins the strip unchecked, its first picture as its thumbnail.
void VideoRecording::completed(Role role, const FinishedRecording& finished) {
    sign(role).fileCompleted();
    followTicks();
    const int language = m_settings.language;
    const QString path = QString::fromLocal8Bit(finished.path);
    if (!finished.picture.isNull()) {
        const QByteArray thumb = platform::privateTempDir().toLocal8Bit() + "ZoVideo.jpg";
        const bool saved = finished.picture.save(QString::fromLocal8Bit(thumb), "JPG");
        m_strip.addImageItemEx(finished.path, saved ? thumb : QByteArray(),
                               finished.path.mid(finished.path.lastIndexOf('/') + 1));
    }
    if (finished.reason != ZO_RECORD_OK) {
        platform::showMessage(
            text(language, "提示", "Information"),
            text(language, "视频没有完整保存: ", "The video was not saved whole: ") + path + "\n" +
                reasonText(language, finished.reason));
        return;
    }
    QAbstractButton* near = button(role);
    if (near->isVisible())
        QToolTip::showText(near->mapToGlobal(near->rect().center()),
                           text(language, "视频已保存: ", "Video saved: ") + path, near, {}, 3000);
}

void VideoRecording::cameraClosing(int camera) {
    for (const Role role : {Role::Main, Role::Sub})
        if (running(role).camera == camera)
            stop(role);
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
            sign(role).recordingGone();
            showState(role);
        }
    }
}

void VideoRecording::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return; // the window keeps its texts for any other flag
    for (RecordingSign& each : m_signs)
        each.applyLanguage(flag);
    showState(Role::Main);
    showState(Role::Sub);
}

void VideoRecording::showState(Role role) {
    const int language = m_settings.language == 0 ? 0 : 1;
    button(role)->setText(recording(role) ? text(language, "停止录像", "Stop")
                                          : text(language, "开始录像", "Record"));
    followTicks();
}

// The clock runs while a sign shows a running recording.
void VideoRecording::followTicks() {
    const bool any = sign(Role::Main).running() || sign(Role::Sub).running();
    if (any && !m_ticks->isActive())
        m_ticks->start();
    else if (!any)
        m_ticks->stop();
}
