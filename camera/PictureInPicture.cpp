#include "PictureInPicture.h"

#include "CameraRoles.h"
#include "PipGeometry.h"
#include "WindowHandle.h"
#include "ZoApi.h"

#include <QAbstractButton>
#include <QTimerEvent>

PictureInPicture::PictureInPicture(const CameraRoles& roles, const Widgets& widgets)
    : m_roles(roles), m_widgets(widgets), m_small(new QSmallWidget(widgets.window)) {
    m_small->setGeometry(0, 0, 136, 100);
    m_small->setFixedSize(136, 100);
    m_small->hide();
    // Dragging the window uncovers part of the main picture, which is drawn again.
    connect(m_small, &QSmallWidget::mainPictureUncovered, this,
            [this] { ZoUpdateVideo(m_roles.main()); });
}

PictureInPicture::~PictureInPicture() {
    m_small->hide();
}

bool PictureInPicture::floating() const {
    return m_widgets.subOn->isChecked() && m_widgets.inVideo->isChecked();
}

void PictureInPicture::onInVideoToggled() {
    if (m_widgets.inVideo->isChecked()) {
        show();
    } else {
        m_small->hide();
        ZoSetHwnd(m_roles.sub(), handleOf(m_widgets.subPreview));
        m_zoomEnabled = true;
        applyMainMouseMode(); // the mode the buttons show
    }
}

// The main picture is shown whole and keeps still under the floating window.
void PictureInPicture::show() {
    ZoResetVideo(m_roles.main());
    ZoSetMouseMode(m_roles.main(), -1);
    m_zoomEnabled = false;
    updateRegion();
    m_small->placeAt(m_small->region().bottomRight());
    m_small->show();
    ZoSetHwnd(m_roles.sub(), handleOf(m_small));
}

void PictureInPicture::subClosed() {
    m_widgets.subPreview->update();
    m_small->hide();
    if (m_widgets.inVideo->isChecked()) {
        m_zoomEnabled = true;
        applyMainMouseMode();
    }
}

// The box keeps its state while the sub camera is off; the window only shows with the camera.
void PictureInPicture::keepOverVideo() {
    if (!floating())
        return;
    updateRegion();
    m_small->placeAt(m_small->region().bottomRight());
    m_small->show();
}

// The region moves first: the floating window is clamped against where the video now is.
void PictureInPicture::followWindow(QPoint shift) {
    updateRegion();
    m_small->placeAt(m_small->pos() + shift);
}

void PictureInPicture::videoMoved(bool toStart) {
    if (!m_widgets.inVideo->isChecked())
        return;
    updateRegion();
    if (toStart)
        m_small->placeAt(QPoint(0, 0));
}

void PictureInPicture::applyMainMouseMode() {
    ZoSetMouseMode(m_roles.main(), floating() ? -1 : m_widgets.drawRect->isChecked() ? 1 : 0);
}

QWidget* PictureInPicture::subVideoWidget() const {
    return m_widgets.inVideo->isChecked() ? static_cast<QWidget*>(m_small) : m_widgets.subPreview;
}

void PictureInPicture::attachSubVideo() {
    ZoSetHwnd(m_roles.sub(), handleOf(subVideoWidget()));
}

void PictureInPicture::updateRegion() {
    VideoRect video;
    ZoGetVideoRectEx(m_roles.main(), video.left, video.top, video.right, video.bottom);
    m_small->setRegion(
        pipRegion(m_widgets.preview->mapToGlobal(QPoint(0, 0)), video, m_small->size()));
}

void PictureInPicture::startVideoRectTimer() {
    stopVideoRectTimer(); // a second change restarts the count instead of adding a timer
    m_videoRectTimer = m_widgets.window->startTimer(1000);
    m_videoRectTicks = 0;
}

void PictureInPicture::stopVideoRectTimer() {
    if (m_videoRectTimer != 0)
        m_widgets.window->killTimer(m_videoRectTimer);
    m_videoRectTimer = 0;
}

// Waits at most 10 ticks for the engine to draw the new resolution, then puts the floating
// window at the start of the new video area.
bool PictureInPicture::onTimer(QTimerEvent* event) {
    if (m_videoRectTimer == 0 || event->timerId() != m_videoRectTimer)
        return false;
    VideoRect video;
    ZoGetVideoRectEx(m_roles.main(), video.left, video.top, video.right, video.bottom);
    if (video.isValid()) {
        updateRegion();
        m_small->placeAt(m_small->region().topLeft());
        stopVideoRectTimer();
        return true;
    }
    if (++m_videoRectTicks > 9)
        stopVideoRectTimer();
    return true;
}
