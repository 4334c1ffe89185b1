#include "MainForm.h"

#include "ui_MainForm.h"

#include "ZoApi.h"

#include <QSignalBlocker>

void MainForm::InitBrightExposure() {
    ReadBrightExposure(false);
}

// At start the stored exposure is applied unless the camera runs automatic exposure; after the
// property page the page's choice of automatic exposure is taken and nothing is sent.
void MainForm::ReadBrightExposure(bool afterPropertyPage) {
    const int camera = m_settings.devIndex;
    bool automatic = false;
    int upper = 0;
    int lower = 0;
    int value = 0;
    ZoGetBrightness(camera, automatic, upper, lower, value);
    {
        // Showing the camera's brightness is no change of it.
        const QSignalBlocker blocker(ui->horizontalSliderBright);
        ui->horizontalSliderBright->setRange(lower, upper);
        ui->horizontalSliderBright->setValue(value);
    }
    ui->label_Bright->setNum(value);

    ZoGetExposure(camera, automatic, upper, lower, value);
    if (afterPropertyPage)
        m_settings.autoExp = automatic;
    ui->horizontalSliderexpos->setRange(lower, upper);
    ui->horizontalSliderexpos->setValue(m_settings.exposure);
    // Automatic exposure off sends the number shown here, so it always shows the stored value.
    ui->label_Expos->setNum(m_settings.exposure);
    ui->horizontalSliderexpos->setEnabled(!m_settings.autoExp);
    ui->label_Expos->setEnabled(!m_settings.autoExp);
    if (!afterPropertyPage && !m_settings.autoExp && m_settings.exposure != value)
        ZoSetExposure(camera, false, m_settings.exposure);
    ui->checkBoxAutoExp->setChecked(m_settings.autoExp);
}

void MainForm::onSliderBright(int value) {
    ZoSetBrightness(m_settings.devIndex, false, value);
    ui->label_Bright->setNum(value);
}

void MainForm::onSliderExpos(int value) {
    ui->label_Expos->setNum(value);
    if (!m_settings.autoExp && value != m_settings.exposure) {
        ZoSetExposure(m_settings.devIndex, false, value);
        m_settings.exposure = value;
    }
}

void MainForm::OnAutoExp() {
    m_settings.autoExp = ui->checkBoxAutoExp->isChecked();
    ui->horizontalSliderexpos->setEnabled(!m_settings.autoExp);
    ui->label_Expos->setEnabled(!m_settings.autoExp);
    ZoSetExposure(m_settings.devIndex, m_settings.autoExp, ui->label_Expos->text().toInt());
}

void MainForm::onSetImage() {
    ZoShowVideoProperty(m_settings.devIndex);
    ReadBrightExposure(true);
}

void MainForm::onSetImage2() {
    ZoShowVideoProperty(m_subCamera);
}
