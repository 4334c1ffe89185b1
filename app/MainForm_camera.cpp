#include "MainForm.h"

#include "ui_MainForm.h"

#include "PreferredCamera.h"
#include "ZoApi.h"
#include "platform/Message.h"

namespace {

int rotateCode(int angle) {
    switch (angle) {
    case 90:
        return 1;
    case 180:
        return 2;
    case 270:
        return 3;
    default:
        return 0;
    }
}

} // namespace

void MainForm::InitParam() {
    m_settings.devIndex = 0;
    m_settings.resolution = 0;
    m_settings.exposure = -3;
    m_settings.pixtype = 0;
    m_settings.dpiIndex = 1;
    m_settings.rotateIndex = 0;
    m_settings.scanSize = 0;
    m_settings.threshold = 196;
    m_settings.autoCrop = false;
}

// Without a camera the window still opens and works; a camera plugged in later is opened then.
void MainForm::ChooseMainCamera() {
    const int count = ZoGetCameraCount();
    if (count <= 0) {
        m_cameraLost = true;
        if (m_language == 0)
            platform::showMessage(QStringLiteral("提示"), QStringLiteral("请连接高拍仪!"));
        else if (m_language == 1)
            platform::showMessage(QStringLiteral("Information"),
                                  QStringLiteral("Please connect the Document scanner!"));
    } else {
        const int listed = m_settings.devIndex;
        m_settings.devIndex =
            preferredCamera(m_programDir + QStringLiteral("conf.ini"), count, m_settings.devIndex);
        if (m_settings.devIndex != listed)
            FollowMainCameraChoice(listed);
    }
    if (count > 0 && m_settings.devIndex >= count)
        m_settings.devIndex = count - 1;
}

void MainForm::OpenMainCamera() {
    const int cam = m_settings.devIndex;
    ZoSetDefaultResolution(cam, m_settings.resolution);
    ZoOpenCamera(cam, static_cast<ZoWindow>(m_previewWidget->winId()));
    ZoSetResize(cam, m_settings.resizeImage, static_cast<float>(m_settings.resizeImageRatio));
    ZoSetShowZoomRate(cam, m_settings.showRatio);
    ZoSetDPI(cam, ui->comboBoxDPI->currentText().toInt());
    m_curWidth = ZoGetResWidth(cam, 0);
    m_curHeight = ZoGetResHeight(cam, 0);
}

void MainForm::ApplyStoredControls() {
    const int cam = m_settings.devIndex;
    ui->radioButtonCredent->setChecked(true);
    ui->checkBoxDelBack->setChecked(m_settings.delBack);
    ZoSetRotate(cam, rotateCode(m_settings.rotateAngle));
    ZoDelBackColor(cam, m_settings.delBack);
    ZoEnableAutoRotate(cam, m_settings.autoCrop);
    ui->checkBoxAutoCrop->setChecked(m_settings.autoCrop);
    ui->compinfo->hide();
}

void MainForm::CloseCameras() {
    ZoCloseCamera(m_settings.devIndex);
    ZoCloseCamera(m_subCamera);
}
