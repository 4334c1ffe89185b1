#include "MainForm.h"

#include "ui_MainForm.h"

#include "PipGeometry.h"
#include "ZoApi.h"

#include <QSignalBlocker>
#include <QTimerEvent>

namespace {

// Refilled without signals: the list shows the stored entry and the camera is not told again.
void fillResolutions(QComboBox* list, int camera, int selected) {
    const QSignalBlocker blocker(list);
    list->clear();
    const int count = ZoGetResCount(camera);
    for (int i = 0; i < count; ++i)
        list->addItem(
            QStringLiteral("%1x%2").arg(ZoGetResWidth(camera, i)).arg(ZoGetResHeight(camera, i)));
    list->setCurrentIndex(selected);
}

} // namespace

void MainForm::InitResolution() {
    fillResolutions(ui->comboBoxRes, m_settings.devIndex, m_settings.resolution);
}

void MainForm::InitResolution2() {
    fillResolutions(ui->comboBoxRes2, m_subCamera, m_subResolution);
}

void MainForm::onResolutionChange() {
    const int index = ui->comboBoxRes->currentIndex();
    if (index < 0 || index == m_settings.resolution)
        return;
    const int camera = m_settings.devIndex;
    ZoSetResolution(camera, index);
    m_settings.resolution = index;
    m_curWidth = ZoGetResWidth(camera, index);
    m_curHeight = ZoGetResHeight(camera, index);
    // The picture's place in the preview changes once the new frames arrive.
    StartVideoRectTimer();
}

void MainForm::onResolutionChange2() {
    const int index = ui->comboBoxRes2->currentIndex();
    if (index < 0 || index == m_subResolution)
        return;
    ZoSetResolution(m_subCamera, index);
    m_subResolution = index;
}

void MainForm::StartVideoRectTimer() {
    StopVideoRectTimer(); // a second change restarts the count instead of adding a timer
    m_videoRectTimer = startTimer(1000);
    m_videoRectTicks = 0;
}

void MainForm::StopVideoRectTimer() {
    if (m_videoRectTimer != 0)
        killTimer(m_videoRectTimer);
    m_videoRectTimer = 0;
}

// Waits at most 10 ticks for the engine to draw the new resolution, then puts the floating
// window at the start of the new video area.
void MainForm::timerEvent(QTimerEvent* event) {
    if (m_videoRectTimer == 0 || event->timerId() != m_videoRectTimer) {
        QDialog::timerEvent(event);
        return;
    }
    VideoRect video;
    ZoGetVideoRectEx(m_settings.devIndex, video.left, video.top, video.right, video.bottom);
    if (video.isValid()) {
        UpdatePipRegion();
        m_smallWidget->placeAt(m_smallWidget->region().topLeft());
        StopVideoRectTimer();
        return;
    }
    if (++m_videoRectTicks > 9)
        StopVideoRectTimer();
}
