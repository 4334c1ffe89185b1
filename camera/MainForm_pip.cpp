#include "MainForm.h"

#include "ui_MainForm.h"

#include "PipGeometry.h"
#include "WindowHandle.h"
#include "ZoApi.h"

#include <QMoveEvent>

void MainForm::OnPip() {
    if (ui->checkBoxInVideo->isChecked()) {
        ShowSmallWidget();
    } else {
        m_smallWidget->hide();
        ZoSetHwnd(m_subCamera, handleOf(ui->widgetFu));
        m_zoomEnabled = true;
        ZoSetMouseMode(m_settings.devIndex, 0);
    }
}

// The main picture is shown whole and keeps still under the floating window.
void MainForm::ShowSmallWidget() {
    ZoResetVideo(m_settings.devIndex);
    ZoSetMouseMode(m_settings.devIndex, -1);
    m_zoomEnabled = false;
    UpdatePipRegion();
    m_smallWidget->placeAt(m_smallWidget->region().bottomRight());
    m_smallWidget->show();
    ZoSetHwnd(m_subCamera, handleOf(m_smallWidget));
}

void MainForm::UpdatePipRegion() {
    if (m_smallWidget == nullptr || m_previewWidget == nullptr)
        return;
    VideoRect video;
    ZoGetVideoRectEx(m_settings.devIndex, video.left, video.top, video.right, video.bottom);
    m_smallWidget->setRegion(
        pipRegion(m_previewWidget->mapToGlobal(QPoint(0, 0)), video, m_smallWidget->size()));
}

// The region moves first: the floating window is clamped against where the video now is.
void MainForm::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (m_smallWidget == nullptr)
        return;
    UpdatePipRegion();
    m_smallWidget->placeAt(m_smallWidget->pos() + event->pos() - event->oldPos());
}

// The box keeps its state while the sub camera is off; the window only shows with the camera.
void MainForm::KeepSmallWidgetOverVideo() {
    if (ui == nullptr || m_smallWidget == nullptr || !ui->checkBoxPIP->isChecked() ||
        !ui->checkBoxInVideo->isChecked())
        return;
    UpdatePipRegion();
    m_smallWidget->placeAt(m_smallWidget->region().bottomRight());
    m_smallWidget->show();
}
