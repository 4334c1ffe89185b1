#include "MainForm.h"

// Steps and commands of subsystems that are not built yet. Each keeps its place in the start-up
// sequence and in the command table, and does nothing until its subsystem fills it in.

// OCR
void MainForm::InitOCR() {}
void MainForm::onOCRVideo() {}

// External commands, hot key and device events
void MainForm::CreateCommandReceiver() {}
void MainForm::RegisterDeviceNotification() {}
void MainForm::UnregisterDeviceNotification() {}
void MainForm::RegisterHotKey() {}
void MainForm::UnregisterHotKey() {}

// Merge and composite capture. Until they are built, the capture button takes an ordinary
// picture of the main camera in their place, so that a press is never lost.
void MainForm::onClickBoxMix() {}
void MainForm::CaptureMixed() {
    CaptureToFile(m_settings.devIndex);
}
QByteArray MainForm::CaptureCombineMainSub() {
    CaptureToFile(m_settings.devIndex);
    return {};
}
void MainForm::CaptureMainSubMix() {
    CaptureToFile(m_settings.devIndex);
}

// Multi-capture, barcode and OCR result dialogs
void MainForm::CreateResultDialogs() {}
void MainForm::onAutoScan() {}

// Barcode, identity card, fingerprint, recording and printing
void MainForm::onReadBarcode() {}
void MainForm::onReadIDCard() {}
void MainForm::CreateFingerDlg() {}
void MainForm::onFingerRecog() {}
void MainForm::onRecord() {}
void MainForm::onSubRecord() {}
void MainForm::onPrintFrame() {}

// Watermark
void MainForm::CreateWaterMarkDlg() {}
void MainForm::ApplyWaterMark() {}
void MainForm::StoreWaterMarkSettings() {}
void MainForm::onWaterMark() {}
void MainForm::onWaterMarkSet() {}

// Presentation and snap mode
void MainForm::CreatePresentationWindows() {}
void MainForm::enterVisualizer() {}
void MainForm::switch2SnapMode(QString) {}

// Skin dialog, settings and about dialogs
void MainForm::onSwitchUI() {}
void MainForm::onSetting() {}
void MainForm::onAbout() {}
