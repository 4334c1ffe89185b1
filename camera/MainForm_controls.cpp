#include "MainForm.h"

#include "ui_MainForm.h"

#include "ZoApi.h"

#include <QSignalBlocker>

#include <algorithm>
#include <iterator>

namespace {

// Index 2 is 255, not 250.
const char* const kDpiTexts[] = {"100", "200", "255", "300", "400", "500", "600"};
constexpr int kDpiCount = static_cast<int>(std::size(kDpiTexts));

// The engine knows quarter turns only; any other stored angle was sent as 0 at start.
int quarterAngle(int angle) {
    return angle == 90 || angle == 180 || angle == 270 ? angle : 0;
}

} // namespace

void MainForm::InitDPI() {
    if (m_settings.dpiIndex < 0 || m_settings.dpiIndex >= kDpiCount)
        m_settings.dpiIndex = 1; // 200, the start value
    const QSignalBlocker blocker(ui->comboBoxDPI);
    ui->comboBoxDPI->clear();
    for (const char* text : kDpiTexts)
        ui->comboBoxDPI->addItem(QString::fromLatin1(text));
    ui->comboBoxDPI->setCurrentIndex(m_settings.dpiIndex);
}

void MainForm::onDPIChange() {
    const int index = ui->comboBoxDPI->currentIndex();
    if (index < 0 || index == m_settings.dpiIndex)
        return;
    m_settings.dpiIndex = index;
    ZoSetDPI(m_settings.devIndex, ui->comboBoxDPI->currentText().toInt());
}

// The threshold has no control in this window.
void MainForm::InitThreshold() {}

// A quarter turn moves the video area; the floating window goes to its new start.
void MainForm::onRotateLeft() {
    ZoRotateLeft(m_settings.devIndex);
    m_settings.rotateAngle = (quarterAngle(m_settings.rotateAngle) + 270) % 360;
    if (ui->checkBoxInVideo->isChecked()) {
        UpdatePipRegion();
        m_smallWidget->placeAt(QPoint(0, 0));
    }
}

void MainForm::onRotateRight() {
    ZoRotateRight(m_settings.devIndex);
    m_settings.rotateAngle = (quarterAngle(m_settings.rotateAngle) + 90) % 360;
    if (ui->checkBoxInVideo->isChecked()) {
        UpdatePipRegion();
        m_smallWidget->placeAt(QPoint(0, 0));
    }
}

void MainForm::onSetDrag() {
    ui->pushButtonDrag->setChecked(true); // a second click keeps the mode
    ui->pushButtonCut->setChecked(false);
    ZoSetMouseMode(m_settings.devIndex, 0);
}

void MainForm::onSetDrawRect() {
    ui->pushButtonCut->setChecked(true);
    ui->pushButtonDrag->setChecked(false);
    ZoSetMouseMode(m_settings.devIndex, 1);
}

void MainForm::onFullSrn() {
    ZoResetVideo(m_settings.devIndex);
    if (ui->checkBoxInVideo->isChecked())
        UpdatePipRegion();
}

void MainForm::InitJPGQuality() {
    m_settings.jpgQuality = std::clamp(m_settings.jpgQuality, 1, 100);
    ui->horizontalSliderJPG->setRange(1, 100);
    ui->horizontalSliderJPG->setValue(m_settings.jpgQuality);
    ui->label_JPG->setNum(m_settings.jpgQuality);
    ZoSetJpgQuality(m_settings.devIndex, m_settings.jpgQuality);
}

void MainForm::onSliderJPG(int value) {
    ZoSetJpgQuality(m_settings.devIndex, value);
    m_settings.jpgQuality = value;
    ui->label_JPG->setNum(value);
}

void MainForm::onAutoRotate() {
    m_settings.autoCrop = ui->checkBoxAutoCrop->isChecked();
    ZoEnableAutoRotate(m_settings.devIndex, m_settings.autoCrop);
}

void MainForm::onDelBack() {
    m_settings.delBack = ui->checkBoxDelBack->isChecked();
    ZoDelBackColor(m_settings.devIndex, m_settings.delBack);
}

// The engine has no denoising; the box is read and nothing changes.
void MainForm::onDenoising() {
    static_cast<void>(ui->checkBoxDenoising->isChecked());
}
