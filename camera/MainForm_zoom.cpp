#include "MainForm.h"

#include "ui_MainForm.h"

#include "ZoApi.h"
#include "ZoomScale.h"

// The range is read once; a later main camera shares it.
void MainForm::InitZoom() {
    ui->horizontalSliderScale->setRange(0, kScaleSliderMax);
    m_minZoomRatio = ZoGetMinZoomRatio(m_settings.devIndex);
    m_maxZoomRatio = ZoGetMaxZoomRatio(m_settings.devIndex);
    ZoSetZoomCB(m_settings.devIndex, &MainForm::ZoomReported);
}

// Zoom is off while picture-in-picture is shown: the floating window's region follows the
// whole picture.
void MainForm::onZoomIn() {
    if (m_zoomEnabled)
        ZoZoomIn(m_settings.devIndex);
}

void MainForm::onZoomOut() {
    if (m_zoomEnabled)
        ZoZoomOut(m_settings.devIndex);
}

void MainForm::onSetScale() {
    if (m_zoomEnabled)
        ZoZoom(m_settings.devIndex,
               zoomForSlider(m_minZoomRatio, m_maxZoomRatio, ui->horizontalSliderScale->value()));
}

// setValue does not emit sliderReleased, so following the engine does not zoom again.
void MainForm::ZoomReported(float ratio) {
    if (g_pMainForm == nullptr || g_pMainForm->ui == nullptr)
        return;
    const auto value =
        sliderForZoom(g_pMainForm->m_minZoomRatio, g_pMainForm->m_maxZoomRatio, ratio);
    if (value)
        g_pMainForm->ui->horizontalSliderScale->setValue(*value);
}
