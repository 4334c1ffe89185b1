#include "VideoHandOver.h"

#include "CameraRoles.h"
#include "PictureInPicture.h"
#include "WindowHandle.h"
#include "ZoApi.h"

#include <QAbstractButton>

VideoHandOver::VideoHandOver(const CameraRoles& roles, PictureInPicture& pip,
                             const Widgets& widgets)
    : m_roles(roles), m_pip(pip), m_widgets(widgets) {}

QWidget* VideoHandOver::videoWindow() const {
    return m_lentTo ? m_lentTo.data() : m_widgets.preview;
}

void VideoHandOver::lendTo(QWidget* window) {
    m_widgets.mainWindow->hide();
    m_pip.smallWidget()->hide(); // a window of its own: hiding the main window leaves it
    ZoSetHwnd(m_roles.main(), handleOf(window));
    m_lentTo = window;
}

// The main window shows first, so that the floating window comes up above it.
void VideoHandOver::takeBack() {
    m_lentTo = nullptr;
    ZoSetHwnd(m_roles.main(), handleOf(m_widgets.preview));
    m_widgets.mainWindow->show();
    if (m_widgets.inVideo->isChecked())
        m_pip.keepOverVideo();
}
