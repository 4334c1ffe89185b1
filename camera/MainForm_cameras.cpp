#include "MainForm.h"

#include "ui_MainForm.h"

#include "WindowHandle.h"
#include "ZoApi.h"
#include "platform/Message.h"

#include <QSignalBlocker>

#include <utility>

// The sub camera list holds every camera but the main one, in engine order.
namespace {

int subEntryCamera(int entry, int mainCamera) {
    return entry < mainCamera ? entry : entry + 1;
}

int subCameraEntry(int camera, int mainCamera) {
    return camera < mainCamera ? camera : camera - 1;
}

} // namespace

void MainForm::CreateSmallWidget() {
    m_smallWidget = new QSmallWidget(this);
    m_smallWidget->setGeometry(0, 0, 136, 100);
    m_smallWidget->setFixedSize(136, 100);
    m_smallWidget->hide();
}

// Runs before the controls are connected, so filling the lists sends nothing.
void MainForm::InitCameraList() {
    const int count = ZoGetCameraCount();
    if (count < 1) {
        ui->checkBoxPIP->setEnabled(false);
        return;
    }
    if (m_settings.devIndex >= count)
        m_settings.devIndex = count - 1;
    for (int i = 0; i < count; ++i)
        ui->comboBoxDev->addItem(QString::fromLocal8Bit(ZoGetDevName(i)));
    // Shown as chosen, so that picking another camera and back again both reach onDevChange.
    ui->comboBoxDev->setCurrentIndex(m_settings.devIndex);
    if (count < 2) {
        ui->checkBoxPIP->setEnabled(false);
        return;
    }
    for (int i = 0; i < count; ++i)
        if (i != m_settings.devIndex)
            ui->comboBoxDev_2->addItem(QString::fromLocal8Bit(ZoGetDevName(i)));
    ui->checkBoxPIP->setChecked(m_settings.openSub);
    OnStartSubPreview();
}

// The preferred camera is chosen after the lists were filled and the sub camera was opened: the
// lists follow the choice, and a sub camera that is now the main one hands that role over.
void MainForm::FollowMainCameraChoice(int listedMain) {
    {
        const QSignalBlocker blocker(ui->comboBoxDev);
        ui->comboBoxDev->setCurrentIndex(m_settings.devIndex);
    }
    if (ui->checkBoxPIP->isChecked() && m_subCamera == m_settings.devIndex) {
        ZoCloseCamera(m_subCamera);
        m_subCamera = listedMain;
        ZoOpenCamera(m_subCamera, handleOf(ui->widgetFu));
        ZoSetShowZoomRate(m_subCamera, false);
        InitResolution2();
    }
    FillSubCameraList();
}

// Rebuilt without signals: a refill would otherwise pass through entry 0 and open that camera
// as the sub camera. While the sub camera is off it becomes the last camera listed.
void MainForm::FillSubCameraList() {
    const QSignalBlocker blocker(ui->comboBoxDev_2);
    const bool subOn = ui->checkBoxPIP->isChecked();
    ui->comboBoxDev_2->clear();
    const int count = ZoGetCameraCount();
    for (int i = 0; i < count; ++i) {
        if (i == m_settings.devIndex)
            continue;
        ui->comboBoxDev_2->addItem(QString::fromLocal8Bit(ZoGetDevName(i)));
        if (!subOn)
            m_subCamera = i;
    }
    if (subOn)
        ui->comboBoxDev_2->setCurrentIndex(subCameraEntry(m_subCamera, m_settings.devIndex));
}

void MainForm::OnStartSubPreview() {
    const bool on = ui->checkBoxPIP->isChecked();
    for (QWidget* control :
         {static_cast<QWidget*>(ui->checkBoxInVideo), static_cast<QWidget*>(ui->pushButtonTakePh2),
          static_cast<QWidget*>(ui->pushButtonSubRec),
          static_cast<QWidget*>(ui->pushButtonSwitchMainSub)}) {
        control->setEnabled(on);
        control->setVisible(on);
    }
    if (on) {
        const int entry = ui->comboBoxDev_2->currentIndex();
        const int count = ZoGetCameraCount();
        for (int i = 0, n = 0; i < count; ++i) {
            if (i == m_settings.devIndex)
                continue;
            if (n++ != entry)
                continue;
            ZoOpenCamera(i, handleOf(ui->widgetFu));
            m_subCamera = i;
            ZoSetShowZoomRate(i, false);
            InitResolution2();
            // The picture-in-picture box kept its state while the sub camera was off.
            if (ui->checkBoxInVideo->isChecked())
                ShowSmallWidget();
            break;
        }
    } else {
        ZoCloseCamera(m_subCamera);
        ui->widgetFu->update();
        m_smallWidget->hide();
        // Without the floating window the main picture takes zoom and mouse again.
        if (ui->checkBoxInVideo->isChecked()) {
            m_zoomEnabled = true;
            ApplyMainMouseMode();
        }
    }
    m_settings.openSub = on;
}

void MainForm::onSubDevChange() {
    if (!ui->checkBoxPIP->isChecked())
        return;
    const int entry = ui->comboBoxDev_2->currentIndex();
    if (entry < 0)
        return;
    const int camera = subEntryCamera(entry, m_settings.devIndex);
    if (camera == m_subCamera)
        return;
    ZoCloseCamera(m_subCamera);
    m_subCamera = camera;
    ZoOpenCamera(camera,
                 handleOf(ui->checkBoxInVideo->isChecked() ? static_cast<QWidget*>(m_smallWidget)
                                                           : ui->widgetFu));
    ZoSetShowZoomRate(camera, false);
    InitResolution2();
}

void MainForm::onDevChange() {
    const int camera = ui->comboBoxDev->currentIndex();
    if (camera != -1 && camera != m_settings.devIndex) {
        if (ui->checkBoxPIP->isChecked() && camera == m_subCamera) {
            SwapMainAndSub(); // both keep streaming; only their windows change
        } else {
            ZoCloseCamera(m_settings.devIndex);
            m_settings.devIndex = camera;
            ZoOpenCamera(camera, handleOf(m_previewWidget));
            ZoSetShowZoomRate(camera, m_settings.showRatio);
            ZoSetDPI(camera, ui->comboBoxDPI->currentText().toInt());
            ZoSetZoomCB(camera, &MainForm::ZoomReported);
            ApplyMainMouseMode();
            if (!ui->checkBoxPIP->isChecked()) {
                ui->comboBoxRes->setCurrentIndex(0);
                ui->comboBoxColor->setCurrentIndex(0);
            }
        }
        InitResolution();
        if (ui->checkBoxPIP->isChecked())
            InitResolution2();
    }
    FillSubCameraList();
}

void MainForm::onSwitchMainSub() {
    if (!ui->checkBoxPIP->isChecked()) {
        platform::showMessage(QStringLiteral("提示"), QStringLiteral("副头未开启"));
        return;
    }
    SwapMainAndSub();
    InitResolution();
    InitResolution2();
    FillSubCameraList();
    const QSignalBlocker blocker(ui->comboBoxDev);
    ui->comboBoxDev->setCurrentIndex(m_settings.devIndex);
}

// The main camera's settings that are not per picture follow the main role: its window, the
// zoom ratio display and callback, the mouse, the watermark and automatic crop.
void MainForm::SwapMainAndSub() {
    ZoSetHwnd(m_subCamera, handleOf(m_previewWidget));
    std::swap(m_settings.devIndex, m_subCamera);
    std::swap(m_settings.resolution, m_subResolution);
    AttachSubVideo();
    ZoSetShowZoomRate(m_settings.devIndex, m_settings.showRatio);
    ZoSetShowZoomRate(m_subCamera, false);
    ZoSetZoomCB(m_settings.devIndex, &MainForm::ZoomReported);
    ApplyMainMouseMode();
    if (ui->checkBoxWaterMark->isChecked()) {
        ZoClearWatermark(m_subCamera);
        ApplyWaterMark();
    }
    if (ui->checkBoxAutoCrop->isChecked()) {
        ZoEnableAutoRotate(m_settings.devIndex, true);
        ZoEnableAutoRotate(m_subCamera, false);
    }
}

void MainForm::AttachSubVideo() {
    ZoSetHwnd(m_subCamera,
              handleOf(ui->checkBoxInVideo->isChecked() ? static_cast<QWidget*>(m_smallWidget)
                                                        : ui->widgetFu));
}

// Picture-in-picture keeps the mouse off the main picture; otherwise the mode buttons rule.
void MainForm::ApplyMainMouseMode() {
    int mode = ui->pushButtonCut->isChecked() ? 1 : 0;
    if (ui->checkBoxPIP->isChecked() && ui->checkBoxInVideo->isChecked())
        mode = -1;
    ZoSetMouseMode(m_settings.devIndex, mode);
}
