#include "MainForm.h"

// Slots kept from the scanner dialog this window descends from; nothing is connected to them and
// they have no effect.
void MainForm::on_pPushButton_Profile_Save_clicked() {}
void MainForm::on_pComboBox_Source_activated(int) {}
void MainForm::on_pHorizontalSlider_Contrast_valueChanged(int) {}
void MainForm::onJoinPic1() {}
void MainForm::onJoinPic2() {}
void MainForm::InitScanSize() {}
void MainForm::onScanSizeChange() {}
void MainForm::InitRotateInfo() {}
void MainForm::onRotate() {}
void MainForm::onPixtypeChange() {}
void MainForm::onExposureChange() {}
void MainForm::onThresholdChange() {}
void MainForm::InitAutoRotate() {}
void MainForm::InitAutoCrop() {}
void MainForm::InitDevInfo() {}
void MainForm::onSetLight() {}
void MainForm::onWaterMakrTime() {}
void MainForm::onViceCam() {}
void MainForm::onAutoCap() {}

// The button opens the main menu attached to it.
void MainForm::on_btnMenu_clicked() {}
