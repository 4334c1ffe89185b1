#include "MainForm.h"

// Steps and commands of subsystems that are not built yet. Each keeps its place in the start-up
// sequence and in the command table, and does nothing until its subsystem fills it in.

// OCR
void MainForm::InitOCR() {}
void MainForm::onOCRVideo() {}

// Camera selection and preview
void MainForm::CreateSmallWidget() {}
void MainForm::InitCameraList() {}
void MainForm::onDevChange() {}
void MainForm::onSubDevChange() {}
void MainForm::onResolutionChange() {}
void MainForm::onResolutionChange2() {}
void MainForm::OnStartSubPreview() {}
void MainForm::OnPip() {}
void MainForm::onSwitchMainSub() {}
void MainForm::InitResolution() {}
void MainForm::InitResolution2() {}

// External commands, hot key and device events
void MainForm::CreateCommandReceiver() {}
void MainForm::RegisterDeviceNotification() {}
void MainForm::UnregisterDeviceNotification() {}
void MainForm::RegisterHotKey() {}
void MainForm::UnregisterHotKey() {}

// Image controls
void MainForm::InitDPI() {}
void MainForm::InitPixtype() {}
void MainForm::InitThreshold() {}
void MainForm::InitJPGQuality() {}
void MainForm::InitBrightExposure() {}
void MainForm::InitZoom() {}
void MainForm::onColorChange() {}
void MainForm::onDPIChange() {}
void MainForm::onRadioDoc() {}
void MainForm::onRadioCred() {}
void MainForm::onRotateLeft() {}
void MainForm::onRotateRight() {}
void MainForm::onZoomIn() {}
void MainForm::onZoomOut() {}
void MainForm::onSetScale() {}
void MainForm::onSetDrag() {}
void MainForm::onSetDrawRect() {}
void MainForm::onFullSrn() {}
void MainForm::onSetImage() {}
void MainForm::onSetImage2() {}
void MainForm::onSliderBright(int) {}
void MainForm::onSliderExpos(int) {}
void MainForm::OnAutoExp() {}
void MainForm::onSliderJPG(int) {}
void MainForm::onAutoRotate() {}
void MainForm::onDelBack() {}
void MainForm::onDenoising() {}

// Work directory and naming
void MainForm::InitNameRule() {}
void MainForm::onNameRuleChange() {}
void MainForm::onFileNameChange() {}
void MainForm::onFileNameCountChange() {}
void MainForm::onFileNameStepChange() {}
void MainForm::onFileNameInitChange() {}
void MainForm::openSetFolderDlg() {}

// Capture pipeline
void MainForm::InitFmt() {}
void MainForm::onScan() {}
void MainForm::onTkphto2() {}
void MainForm::onSplitCap() {}
void MainForm::onFmtChange() {}

// Merge and composite capture
void MainForm::onDoubleCapture() {}
void MainForm::onClickBoxMix() {}
void MainForm::onMainSubComp() {}

// Multi-capture, barcode and OCR result dialogs
void MainForm::CreateResultDialogs() {}
void MainForm::onAutoScan() {}

// Barcode, identity card, fingerprint, recording and printing
void MainForm::onReadBarcode() {}
void MainForm::onReadIDCard() {}
void MainForm::onRecogIDCard() {}
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
